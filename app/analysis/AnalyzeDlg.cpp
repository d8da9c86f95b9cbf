#include "app/analysis/AnalyzeDlg.h"
#include <commctrl.h>
#include <cstdio>
#include <cstring>
#include "app/analysis/analysis_libraries.h"
#include "app/analysis/analyze_res.h"
#include "engine/main_window/main_window.h"
#include "engine/state/run_state.h"

namespace {

// What the thread asks of the dialog's controls, sent to the interface thread that owns them.
constexpr UINT WM_ANALYSIS_UI = WM_USER + 41;
constexpr UINT WM_ANALYSIS_END = WM_USER + 42;
constexpr UINT WM_ANALYSIS_NEXT = WM_USER + 43;
enum UiOp { kShow, kHide, kCaption, kStatus, kRange, kPosition };
constexpr int kTakeBack = 45;
// While a play or a conversion runs, a queued analysis looks again this often for the run's end.
constexpr UINT_PTR kIdleTimer = 1;
constexpr UINT kIdleCheckMs = 500;

class DialogHost : public AnalysisHost {
public:
    DialogHost(HWND dialog, const std::atomic<bool>& stop) : dialog_(dialog), stop_(stop) {}
    void show(bool visible) override { SendMessageA(dialog_, WM_ANALYSIS_UI, visible ? kShow : kHide, 0); }
    void set_caption(const std::string& t) override { SendMessageA(dialog_, WM_ANALYSIS_UI, kCaption, LPARAM(t.c_str())); }
    void set_status(const std::string& t) override { SendMessageA(dialog_, WM_ANALYSIS_UI, kStatus, LPARAM(t.c_str())); }
    void set_range(int count) override { SendMessageA(dialog_, WM_ANALYSIS_UI, kRange, count); }
    void set_position(int position) override { SendMessageA(dialog_, WM_ANALYSIS_UI, kPosition, position); }
    bool stop_requested() override { return stop_.load(); }

private:
    HWND dialog_;
    const std::atomic<bool>& stop_;
};

void copy_text(char* field, size_t size, const std::string& text) { std::snprintf(field, size, "%s", text.c_str()); }

}  // namespace

// The analysis of the running job; the outcome goes to the interface thread before the thread ends.
DWORD WINAPI analysis_thread(LPVOID parameter) {
    auto* dlg = static_cast<CAnalyzeDlg*>(parameter);
    const HWND dialog = dlg->m_hWnd;
    DialogHost host(dialog, dlg->m_stop);
    AnalysisOutcome outcome = run_analysis(dlg->m_running.request, analysis_libraries(), host);
    SendMessageA(dialog, WM_ANALYSIS_END, 0, LPARAM(&outcome));
    PostMessageA(dialog, WM_ANALYSIS_NEXT, 0, 0);
    return 0;
}

CAnalyzeDlg::CAnalyzeDlg() : CSkinDialog(IDD_ANALYZE) {}

CAnalyzeDlg::~CAnalyzeDlg() {
    if (m_thread) CloseHandle(m_thread);
}

BEGIN_MESSAGE_MAP(CAnalyzeDlg, CSkinDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_TIMER()
    ON_MESSAGE(WM_ANALYSIS_UI, OnAnalysisUi)
    ON_MESSAGE(WM_ANALYSIS_END, OnAnalysisEnd)
    ON_MESSAGE(WM_ANALYSIS_NEXT, OnAnalysisNext)
END_MESSAGE_MAP()

void CAnalyzeDlg::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ANALYZE_STATUS, m_status);
    DDX_Control(dx, IDC_ANALYZE_BAR, m_bar);
    DDX_Control(dx, IDC_ANALYZE_BAR2, m_bar2);
}

BOOL CAnalyzeDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    m_bar.SetBarColour(0x0000FF);
    m_bar.SendMessage(PBM_SETSTEP, 1, 0);
    m_bar.SendMessage(PBM_SETRANGE32, 0, 100);
    m_bar2.SetBarColour(0xFF0000);
    m_bar2.SendMessage(PBM_SETSTEP, 1, 0);
    m_bar2.SendMessage(PBM_SETRANGE32, 0, 100);
    m_status.SetBkColor(0xF28420).SetTextColor(0x080808).SetFontSize(12).SetFont3D(TRUE, 0);
    m_status.SetText("欢迎使用Orvane多媒体MP4转换器");
    segment_count = 0;
    segments.clear();
    index_path[0] = media_path[0] = 0;
    file_row = -1;
    return TRUE;
}

void CAnalyzeDlg::OnShowWindow(BOOL, UINT) { Default(); }

void CAnalyzeDlg::OnTimer(UINT_PTR id) {
    if (id != kIdleTimer) return;
    KillTimer(kIdleTimer);
    StartNext();
}

int CAnalyzeDlg::StartAnalysis() {
    if (std::strlen(media_path) < 3) return -2;
    bool alt = false;
    if (analysis_kind(type_name, &alt) == AnalysisKind::kNone) return 0;
    alt_format = alt;
    Job job;
    job.request.media_path = media_path;
    job.request.index_path = index_path;
    job.request.type_name = type_name;
    job.row = file_row;
    m_queue.push_back(std::move(job));
    if (!m_thread) StartNext();
    return flag_on(g_busy) ? -1 : 0;
}

void CAnalyzeDlg::StartNext() {
    if (m_thread || m_stopAll || m_queue.empty() || !m_hWnd) return;
    // A play or a conversion uses the decoder libraries the analysis shares: the queue waits for its end.
    if (flag_on(g_busy)) {
        SetTimer(kIdleTimer, kIdleCheckMs, nullptr);
        return;
    }
    KillTimer(kIdleTimer);
    m_running = std::move(m_queue.front());
    m_queue.pop_front();
    m_stop = false;
    m_handBack = true;
    m_thread = CreateThread(nullptr, 0, analysis_thread, this, 0, nullptr);
}

void CAnalyzeDlg::ForgetFile(const char* path) {
    if (!path) return;
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        if (it->request.media_path == path) it = m_queue.erase(it);
        else ++it;
    }
    if (m_thread && m_running.request.media_path == path) {
        m_handBack = false;
        m_stop = true;
    }
}

void CAnalyzeDlg::StopAll() {
    m_stopAll = true;
    m_queue.clear();
    m_handBack = false;
    m_stop = true;
}

LRESULT CAnalyzeDlg::OnAnalysisUi(WPARAM op, LPARAM argument) {
    switch (int(op)) {
    case kShow: ShowWindow(SW_SHOW); break;
    case kHide: ShowWindow(SW_HIDE); break;
    case kCaption: SetWindowText(reinterpret_cast<const char*>(argument)); break;
    case kStatus:
        m_status.SetText(reinterpret_cast<const char*>(argument));
        m_status.RedrawWindow();
        break;
    case kRange: m_bar.SendMessage(PBM_SETRANGE32, 0, argument); break;
    case kPosition: m_bar.SendMessage(PBM_SETPOS, WPARAM(argument), 0); break;
    default: break;
    }
    return 0;
}

LRESULT CAnalyzeDlg::OnAnalysisEnd(WPARAM, LPARAM argument) {
    AnalysisOutcome& outcome = *reinterpret_cast<AnalysisOutcome*>(argument);
    m_lastDecoded = outcome.decoded;
    m_lastEnd = outcome.end;
    if (outcome.end == AnalysisEnd::kWritten && m_handBack && !m_stopAll) TakeResult(outcome);
    return 0;
}

// The list goes into the fields the main dialog reads on 45, which it handles before this returns.
void CAnalyzeDlg::TakeResult(AnalysisOutcome& outcome) {
    IndexFile& index = outcome.index;
    copy_text(media_path, sizeof media_path, m_running.request.media_path);
    copy_text(index_path, sizeof index_path, m_running.request.index_path);
    copy_text(type_name, sizeof type_name, m_running.request.type_name);
    file_row = m_running.row;
    segments = std::move(index.segments);
    segment_count = int(segments.size());
    // The reader holds blocks to 512 bytes, within the 1024 of these fields.
    param_len1 = int(index.block1.size());
    param_len2 = int(index.block2.size());
    std::memset(param_block1, 0, sizeof param_block1);
    std::memset(param_block2, 0, sizeof param_block2);
    std::memcpy(param_block1, index.block1.data(), std::min(index.block1.size(), sizeof param_block1));
    std::memcpy(param_block2, index.block2.data(), std::min(index.block2.size(), sizeof param_block2));
    if (m_hMainWnd) ::SendMessageA(m_hMainWnd, WM_DLG_NOTIFY, kTakeBack, 0);
    segments.clear();
    segment_count = 0;
}

LRESULT CAnalyzeDlg::OnAnalysisNext(WPARAM, LPARAM) {
    if (m_thread) {
        // The thread posted this as its last act.
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    StartNext();
    return 0;
}
