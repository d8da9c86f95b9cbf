#include "registry_key.h"

namespace {
constexpr DWORD kValueBytes = 200;
}

bool CRegistryKey::Open(const char* sub_key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(key_, sub_key, 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return false;
    Close();
    key_ = opened;
    return true;
}

bool CRegistryKey::QueryValue(const char* name, CString& text) {
    char value[kValueBytes] = {};
    DWORD type = 0, size = kValueBytes - 1;  // one byte kept for the terminator the registry may omit
    if (::RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    value[size < kValueBytes ? size : kValueBytes - 1] = '\0';
    text = value;
    return true;
}

LONG CRegistryKey::Close() {
    if (!key_) return 0;
    LONG result = ::RegCloseKey(key_);
    key_ = nullptr;
    return result;
}
