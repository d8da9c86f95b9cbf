// COleDateTime over the system's OLE date conversions.
#include "afxwin.h"
#include "afxdisp.h"
#include <oleauto.h>

BOOL COleDateTime::ParseDateTime(const char* text, DWORD flags, LCID lcid) {
    m_dt = 0;
    m_status = invalid;
    if (!text) return FALSE;
    int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0) return FALSE;
    BSTR wide = ::SysAllocStringLen(nullptr, (UINT)n);
    if (!wide) return FALSE;
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide, n);
    DATE date = 0;
    HRESULT hr = ::VarDateFromStr(wide, lcid, flags, &date);
    ::SysFreeString(wide);
    if (FAILED(hr)) return FALSE;
    m_dt = date;
    m_status = valid;
    return TRUE;
}

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME st{};
    st.wYear = (WORD)year;
    st.wMonth = (WORD)month;
    st.wDay = (WORD)day;
    st.wHour = (WORD)hour;
    st.wMinute = (WORD)minute;
    st.wSecond = (WORD)second;
    DATE date = 0;
    bool ok = year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour >= 0 &&
              hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
              ::SystemTimeToVariantTime(&st, &date);
    m_dt = ok ? date : 0;
    m_status = ok ? valid : invalid;
    return ok ? 0 : 1;
}

BOOL COleDateTime::parts(SYSTEMTIME* st) const {
    return m_status == valid && ::VariantTimeToSystemTime(m_dt, st);
}

int COleDateTime::GetYear() const { SYSTEMTIME st; return parts(&st) ? st.wYear : -1; }
int COleDateTime::GetMonth() const { SYSTEMTIME st; return parts(&st) ? st.wMonth : -1; }
int COleDateTime::GetDay() const { SYSTEMTIME st; return parts(&st) ? st.wDay : -1; }
int COleDateTime::GetHour() const { SYSTEMTIME st; return parts(&st) ? st.wHour : -1; }
int COleDateTime::GetMinute() const { SYSTEMTIME st; return parts(&st) ? st.wMinute : -1; }
int COleDateTime::GetSecond() const { SYSTEMTIME st; return parts(&st) ? st.wSecond : -1; }
