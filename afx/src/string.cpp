#include "afxstr.h"
#include "afxwin.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <algorithm>

namespace {
// Searches step over whole characters: a trail byte of a double-byte GBK character can equal an
// ASCII byte ('\\' among them) and must never match by itself, as in MFC's multibyte CString.
size_t next_char(const std::string& s, size_t i) {
    return i + (::IsDBCSLeadByte((BYTE)s[i]) && i + 1 < s.size() ? 2 : 1);
}

// The first character start at or after `start` where `what` (n bytes) begins, or npos.
size_t find_whole(const std::string& s, const char* what, size_t n, size_t start) {
    for (size_t i = 0; i + n <= s.size(); i = next_char(s, i))
        if (i >= start && s.compare(i, n, what, n) == 0) return i;
    return std::string::npos;
}
}  // namespace

int CString::Find(char c, int start) const {
    if (start < 0 || start >= GetLength()) return -1;
    size_t p = find_whole(m_s, &c, 1, start);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Find(const char* s, int start) const {
    if (!s || start < 0 || start > GetLength()) return -1;
    size_t p = *s ? find_whole(m_s, s, strlen(s), start) : start;
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::ReverseFind(char c) const {
    int found = -1;
    for (size_t i = 0; i < m_s.size(); i = next_char(m_s, i))
        if (m_s[i] == c) found = static_cast<int>(i);
    return found;
}

CString CString::Left(int n) const { return CString(m_s.substr(0, std::clamp(n, 0, GetLength()))); }

CString CString::Right(int n) const {
    n = std::clamp(n, 0, GetLength());
    return CString(m_s.substr(m_s.size() - n));
}

CString CString::Mid(int first, int n) const {
    first = std::clamp(first, 0, GetLength());
    if (n < 0) n = GetLength() - first;
    return CString(m_s.substr(first, std::clamp(n, 0, GetLength() - first)));
}

void CString::MakeUpper() { if (!m_s.empty()) CharUpperBuffA(&m_s[0], m_s.size()); }
void CString::MakeLower() { if (!m_s.empty()) CharLowerBuffA(&m_s[0], m_s.size()); }

void CString::TrimLeft() {
    size_t p = m_s.find_first_not_of(" \t\r\n");
    m_s.erase(0, p == std::string::npos ? m_s.size() : p);
}

void CString::TrimRight() {
    size_t p = m_s.find_last_not_of(" \t\r\n");
    m_s.erase(p == std::string::npos ? 0 : p + 1);
}

int CString::Replace(const char* from, const char* to) {
    if (!from || !*from) return 0;
    const size_t n = strlen(from);
    const std::string repl = to ? to : "";
    int count = 0;
    for (size_t p = find_whole(m_s, from, n, 0); p != std::string::npos; p = find_whole(m_s, from, n, p + repl.size())) {
        m_s.replace(p, n, repl);
        ++count;
    }
    return count;
}

void CString::Format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list copy;
    va_copy(copy, ap);
    int n = vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n < 0) {
        m_s.clear();
    } else {
        std::string out(n + 1, '\0');
        vsnprintf(&out[0], out.size(), fmt, ap);
        out.resize(n);
        m_s.swap(out);
    }
    va_end(ap);
}

BOOL CString::LoadString(UINT id) {
    char buf[1024];
    int n = ::LoadStringA(AfxGetResourceHandle(), id, buf, sizeof buf);
    m_s.assign(buf, n > 0 ? n : 0);
    return n > 0;
}

char* CString::GetBuffer(int min_length) {
    if (min_length > GetLength()) m_s.resize(min_length);
    m_s.reserve(m_s.size() + 1);
    return &m_s[0];
}

void CString::ReleaseBuffer(int new_length) {
    if (new_length < 0) new_length = static_cast<int>(strnlen(m_s.c_str(), m_s.size()));
    m_s.resize(std::min<size_t>(new_length, m_s.size()));
}
