// The analysis dialog (202): created modeless and hidden by the main dialog, shown while an analysis
// runs. Hand-overs (notice 44) queue here and run one at a time, each on a thread of its own working
// on a copy of the file's paths and type; the finished list comes back to the main dialog through
// notice 45, which reads it from this dialog's fields while the thread waits.
#pragma once
#include <atomic>
#include <deque>
#include <string>
#include "controls/label/SkinLabel.h"
#include "controls/progress/SkinProgressCtrl.h"
#include "controls/skin/SkinDialog.h"
#include "engine/analysis/segment_analysis.h"

class CAnalyzeDlg : public CSkinDialog {
public:
    CAnalyzeDlg();
    ~CAnalyzeDlg() override;

    // Filled by the main dialog before StartAnalysis (the hand-over), and by the end of an analysis
    // for the take-back: the list with its thumbnails and the index's two blocks.
    int segment_count = 0;
    SegmentList segments;
    int param_len1 = 0, param_len2 = 0;
    uint8_t param_block1[1024] = {};
    uint8_t param_block2[1024] = {};
    char index_path[512] = {};
    char media_path[512] = {};
    int file_row = -1;
    char type_name[32] = {};
    bool alt_format = false;
    HWND m_hMainWnd = nullptr;  // receives 45

    // -2 for a media path shorter than 3 characters; else an analysis of the six types is queued and
    // starts at once when none runs: 0, or -1 while a play or conversion runs (the analysis then waits
    // for the run's end).
    int StartAnalysis();
    // A file left the list: its queued analysis is dropped, a running one stops at its next entry and
    // hands nothing back.
    void ForgetFile(const char* path);
    // Exit: the queue is dropped and a running analysis stops at its next entry; nothing is handed back.
    void StopAll();
    // The running analysis thread, or null.
    HANDLE Thread() const { return m_thread; }
    // Entries decoded by the last analysis that ended (for tests).
    int LastDecoded() const { return m_lastDecoded; }
    AnalysisEnd LastEnd() const { return m_lastEnd; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnShowWindow(BOOL show, UINT status);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg LRESULT OnAnalysisUi(WPARAM op, LPARAM argument);
    afx_msg LRESULT OnAnalysisEnd(WPARAM, LPARAM outcome);
    afx_msg LRESULT OnAnalysisNext(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    struct Job {
        AnalysisRequest request;
        int row = -1;
    };
    friend DWORD WINAPI analysis_thread(LPVOID parameter);
    void StartNext();
    void TakeResult(AnalysisOutcome& outcome);

    CSkinLabel m_status;
    CSkinProgressCtrl m_bar, m_bar2;
    std::deque<Job> m_queue;
    Job m_running;
    HANDLE m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_handBack{true};
    bool m_stopAll = false;
    int m_lastDecoded = 0;
    AnalysisEnd m_lastEnd = AnalysisEnd::kNoThread;
};
