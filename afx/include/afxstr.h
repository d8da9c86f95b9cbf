// CString: an ANSI (GB2312/GBK bytes) string with the MFC members the system uses.
#pragma once
#include <windows.h>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* s) : m_s(s ? s : "") {}
    CString(const char* s, int n) : m_s(s ? s : "", s ? n : 0) {}
    CString(char c, int repeat = 1) : m_s(repeat > 0 ? repeat : 0, c) {}
    CString(const std::string& s) : m_s(s) {}

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    operator const char*() const { return m_s.c_str(); }
    const char* GetString() const { return m_s.c_str(); }
    char GetAt(int i) const { return m_s.at(i); }
    char operator[](int i) const { return m_s.at(i); }
    void SetAt(int i, char c) { m_s.at(i) = c; }

    CString& operator=(const char* s) { m_s = s ? s : ""; return *this; }
    CString& operator+=(const char* s) { if (s) m_s += s; return *this; }
    CString& operator+=(const CString& s) { m_s += s.m_s; return *this; }
    CString& operator+=(char c) { m_s += c; return *this; }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_s + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_s); }
    friend bool operator==(const CString& a, const char* b) { return a.m_s == (b ? b : ""); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_s < b.m_s; }

    int Compare(const char* s) const { return m_s.compare(s ? s : ""); }
    int CompareNoCase(const char* s) const { return lstrcmpiA(m_s.c_str(), s ? s : ""); }
    int Find(char c, int start = 0) const;
    int Find(const char* s, int start = 0) const;
    int ReverseFind(char c) const;
    CString Left(int n) const;
    CString Right(int n) const;
    CString Mid(int first, int n = -1) const;
    void MakeUpper();
    void MakeLower();
    void TrimLeft();
    void TrimRight();
    int Replace(const char* from, const char* to);

    void Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    BOOL LoadString(UINT id);

    // Direct access for Win32 calls that fill a buffer; ReleaseBuffer trims to the terminator.
    char* GetBuffer(int min_length);
    void ReleaseBuffer(int new_length = -1);

    const std::string& str() const { return m_s; }

private:
    std::string m_s;
};
