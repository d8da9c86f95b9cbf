// One open registry key, closed with the object (used for the shell folders of the shortcuts).
#pragma once
#include "afxwin.h"

class CRegistryKey : public CObject {
public:
    explicit CRegistryKey(HKEY root) : key_(root) {}
    ~CRegistryKey() override { Close(); }
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Opens a sub-key of the held key with all access; on success it replaces the held key.
    bool Open(const char* sub_key);
    // Reads a string value (at most 199 characters, always terminated) into text.
    bool QueryValue(const char* name, CString& text);
    // Closes the held key; the system's result, or 0 when nothing was held.
    LONG Close();
    HKEY handle() const { return key_; }

private:
    HKEY key_;
};
