// The main dialog of the converter (dialog 102): start-up and exit, the file table behind the file
// page's media list, the notify bus (WM_DLG_NOTIFY), the command buttons that drive the workers, the
// wave scope, the caption's colour dialog. The workers reach it only through its EngineUi, which
// hands out no window handles: every change to a control is a message to the interface thread.
#pragma once
#include <memory>
#include "app/core/file_table.h"
#include "app/core/h264_bridge.h"
#include "controls/button/SkinButton.h"
#include "controls/combo/SkinComboBox.h"
#include "controls/label/SkinLabel.h"
#include "controls/progress/SkinProgressCtrl.h"
#include "controls/readout/ColorStatic.h"
#include "controls/skin/SkinDialog.h"
#include "controls/tab/BaseTabCtrl.h"
#include "controls/tip/BalloonTip.h"
#include "engine/state/media_job.h"
#include "engine/ui/win32/main_window_ui.h"
#include "engine/video/win32/video_wnd_dlg.h"
#include "FileListPage.h"
#include "3gpSettingsPage.h"
#include "AviSettingsPage.h"
#include "Mp4SettingsPage.h"

class CColorSetDlg;
class CAnalyzeDlg;
class myeditview;

class CConverterDlg : public CSkinDialog {
public:
    explicit CConverterDlg(CWnd* parent = nullptr);
    ~CConverterDlg() override;

    // What the workers read and report through: the program's EngineUi over this dialog's job
    // table, file table and current-file name.
    EngineUi& engine_ui() { return m_ui; }
    FileTable& files() { return m_files; }
    // Hides the colour dialog when it is shown (the caption button toggles it again later).
    void HideColorDialog();
    // Applies the UI colour to every control, the pages and the list (notify code 8886).
    void ApplyUiColor();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // The skinned frame and caption buttons: painted after the default painting, hit-tested before it.
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Enter and Escape do nothing: only Exit ends the program.
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnSysCommand(UINT id, LPARAM lp);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnClose();
    afx_msg LRESULT OnDlgNotify(WPARAM code, LPARAM argument);
    afx_msg void OnPlay();
    afx_msg void OnStop();
    afx_msg void OnConvert();
    afx_msg void OnPause();
    afx_msg void OnVideoToggle();
    afx_msg void OnAudioToggle();
    afx_msg void OnTrimToggle();
    afx_msg void OnSoundEffects();
    afx_msg void OnAbout();
    afx_msg void OnHelp();
    afx_msg void OnVisit();
    afx_msg void OnContact();
    afx_msg void OnExit();
    afx_msg void OnEditRange();
    afx_msg void OnRangeStart();
    afx_msg void OnRangeEnd();
    afx_msg void OnRangeDone();
    DECLARE_MESSAGE_MAP()

private:
    class DialogUi : public MainWindowUi {
    public:
        explicit DialogUi(CConverterDlg& dlg) : m_dlg(dlg) {}
        const JobTable& jobs() const override { return *m_dlg.m_jobs; }
        MediaFile* file_row(int file_index) override;
        void set_current_path(const char* path) override { m_dlg.m_current.set(path ? path : ""); }

    private:
        CConverterDlg& m_dlg;
    };

    bool BindLibraries();
    void StyleControls();
    void StartScope(int argument);
    bool WorkerRunning() const;
    // Media list actions (8888 sub-codes).
    void OnListAction(int sub_code);
    void AddFile();
    void RemoveRows();
    void SaveList();
    void RebuildList(bool from_saved_list);
    void ScanDiscs();
    void InsertRow(const MediaFileRecord& record, int running_number, const char* type_text);
    void ColourList();
    bool IsCdRom(const char* path) const;
    void ShowClock(int seconds);
    LRESULT OnH264Notice(int sub_code);
    // Analysis hand-over (44) of file f, and take-back (45) of a finished list.
    void HandOverAnalysis(int f);
    void TakeBackAnalysis();
    void WaitForThreads();
    void StartWorker(bool play);
    // The three settings pages copy their controls into the settings (3GP, AVI, MP4), writing their
    // keys when `write`; false when a page refused (each page still had its turn).
    bool SaveSettingsPages(bool write);
    // The timeline (ConverterDlgTimeline.cpp): the view, the shown file, the range editing.
    void SetupTimelineView();
    void RestoreSegmentList(int file_index);
    void ShowSelectedSegments();
    void ClearTimeline();
    // Reads a restored row's index file when it has none loaded yet (before it is shown or used).
    void LoadSegments(int file_index);
    void OnRangeChosen(bool is_end, int index);
    void ShowThumbnail(int file_index, int segment);
    void ShowRangeStatus(const char* format, int start, int end);
    void LeaveEditMode();
    bool Editing() const;

    HICON m_hIcon;
    DialogUi m_ui;
    std::unique_ptr<JobTable> m_jobs;
    FileTable m_files;
    CurrentFileName m_current;
    int m_currentFile = -1;  // the file whose segments the timeline shows
    H264Bridge m_h264;      // the workers' H.264 decoder (notice 678)
    int m_rangeStart = 0;    // the accepted range on the timeline
    int m_rangeEnd = 0;
    myeditview* m_timeline = nullptr;  // a child window: destroyed (and deleted) with the dialog

    CFileListPage m_filePage;
    C3gpSettingsPage m_3gpPage;
    CMp4SettingsPage m_mp4Page;
    CAviSettingsPage m_aviPage;
    CBaseTabCtrl m_tabs;
    CImageList m_tabImages;  // the tabs' icons
    CBalloonTip m_tip;
    CColorSetDlg* m_pColorDlg = nullptr;
    CAnalyzeDlg* m_pAnalyzeDlg = nullptr;  // modeless and hidden; shown by a running analysis

    CSkinButton m_btnSoundEffects, m_btnPlay, m_btnStop, m_btnPause, m_btnConvert, m_btnVideo, m_btnAudio, m_btnTrim,
        m_btnAbout, m_btnHelp, m_btnVisit, m_btnContact, m_btnExit, m_btnRangeEdit, m_btnRangeStart, m_btnRangeEnd,
        m_btnRangeDone;
    CSkinLabel m_banner, m_welcome, m_spare, m_scope, m_status, m_rangeCaption;
    CColorStatic m_clock;
    CSkinComboBox m_speedMode, m_outputType;
    CSkinProgressCtrl m_fileBar, m_totalBar;

    CWinThread* m_worker = nullptr;  // the conversion thread of the last run
    HANDLE m_playThread = nullptr;   // the playback thread of the last run
    HANDLE m_scopeThread = nullptr;
    bool m_exiting = false;
    // The video dialog, made modeless and hidden at start-up; playback shows pictures in it.
    CVideoWndDlg m_videoWnd;
};

// The list's CD-ROM scan folders and the index files live beside the program.
std::string program_file(const char* name);
