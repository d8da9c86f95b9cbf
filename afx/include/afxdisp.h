// OLE for the program's own thread, as the framework gives it: AfxOleInit at start-up, released again
// when the application ends (AfxWinMain calls AfxOleTerm on the thread that initialised it); and OLE's
// date and time.
#pragma once
#include <windows.h>
#include <oleauto.h>

// Initialises OLE (and COM) on the calling thread; TRUE when it is initialised.
BOOL AfxOleInit();
// Releases what AfxOleInit set up, when called on the thread that called it.
void AfxOleTerm(BOOL just_revoke = FALSE);

// A date and time as OLE keeps it: days since 30 December 1899, the time of day as the fraction.
class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTime() = default;
    COleDateTime(DATE date) : m_dt(date) {}
    COleDateTime(int year, int month, int day, int hour, int minute, int second) {
        SetDateTime(year, month, day, hour, minute, second);
    }

    // Reads a date, a time or both as the system reads them for `lcid` (VarDateFromStr); FALSE, with the
    // status invalid and the value 0, when the text is neither.
    BOOL ParseDateTime(const char* text, DWORD flags = 0, LCID lcid = LANG_USER_DEFAULT);
    // 0 on success; 1 (and the status invalid) for a date OLE cannot hold.
    int SetDateTime(int year, int month, int day, int hour, int minute, int second);
    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    operator DATE() const { return m_dt; }

    bool operator==(const COleDateTime& o) const { return m_status == o.m_status && m_dt == o.m_dt; }
    bool operator!=(const COleDateTime& o) const { return !(*this == o); }
    bool operator<(const COleDateTime& o) const { return m_dt < o.m_dt; }
    bool operator>(const COleDateTime& o) const { return m_dt > o.m_dt; }
    bool operator<=(const COleDateTime& o) const { return m_dt <= o.m_dt; }
    bool operator>=(const COleDateTime& o) const { return m_dt >= o.m_dt; }

    DATE m_dt = 0;
    DateTimeStatus m_status = valid;

private:
    // The value's parts; FALSE when it holds no valid date.
    BOOL parts(SYSTEMTIME* st) const;
};
