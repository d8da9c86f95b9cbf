#include "engine/ui/win32/main_window_ui.h"
#include <commctrl.h>
#include <cstring>
#include "engine/image/gdi/rgb_image_gdi.h"
#include "engine/main_window/main_window.h"
#include "engine/state/run_state.h"
#include "media/records/segment_list.h"

// GetDlgItem is a round trip to the Wine server, and a worker asks for the same few controls thousands
// of times a job (two bars every per-mille step). A handle found is kept while it is still the main
// window's child of that id; both checks are answered within the process.
HWND MainWindowUi::item(int control) const {
    HWND main = g_main_hwnd.load();
    if (!main) return nullptr;
    std::lock_guard<std::mutex> hold(items_lock_);
    for (KnownItem& known : items_) {
        if (known.control != control) continue;
        if (!known.hwnd || ::GetAncestor(known.hwnd, GA_PARENT) != main || ::GetDlgCtrlID(known.hwnd) != control)
            known.hwnd = ::GetDlgItem(main, control);
        return known.hwnd;
    }
    HWND found = ::GetDlgItem(main, control);
    if (found && items_.size() < kKnownItems) items_.push_back({control, found});
    return found;
}

void MainWindowUi::set_status(const char* text) {
    HWND h = item(kCtlStatus);
    if (!h) return;
    ::SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
    ::InvalidateRect(h, nullptr, TRUE);
    // A worker's text can reach the status line just after Pause wrote the pause text (the worker had
    // not yet seen the flag). Pause sets the flag before its text, so a flag seen here after our text
    // was handled means the pause text must stand.
    if (flag_on(g_busy) && flag_on(g_paused) && current_) {
        const std::string paused = paused_status_text(current_->get(), flag_on(g_write_output));
        ::SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(paused.c_str()));
    }
}

void MainWindowUi::set_label(const char* text) {
    if (HWND h = item(kCtlLabel2)) {
        ::SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
        ::InvalidateRect(h, nullptr, TRUE);
    }
}

// The bars and the timeline notice go without waiting for the interface thread (a worker sets the
// bars up to 1000 times a job): SendNotifyMessage queues them with the sent messages, so they are
// handled in the order sent, and all of them before any later message the worker waits for (the
// clock notice, a status text, the end of the run's notices).
void MainWindowUi::set_bars(int file_permille, int overall_permille) {
    if (HWND h = item(kCtlFileBar)) ::SendNotifyMessageA(h, PBM_SETPOS, WPARAM(file_permille), 0);
    if (HWND h = item(kCtlTotalBar)) ::SendNotifyMessageA(h, PBM_SETPOS, WPARAM(overall_permille), 0);
}

void MainWindowUi::enable(int control, bool enabled) {
    if (HWND h = item(control)) ::EnableWindow(h, enabled ? TRUE : FALSE);
}

void MainWindowUi::set_pressed(int control, bool pressed) {
    // The skinned button takes BM_SETCHECK as its pressed state and repaints.
    if (HWND h = item(control)) ::SendMessageA(h, BM_SETCHECK, pressed ? BST_CHECKED : BST_UNCHECKED, 0);
}

intptr_t MainWindowUi::notify(int code, intptr_t argument) {
    HWND main = g_main_hwnd.load();
    return main ? ::SendMessageA(main, WM_DLG_NOTIFY, WPARAM(code), LPARAM(argument)) : 0;
}

void MainWindowUi::notify_timeline(intptr_t argument) {
    if (HWND h = item(kTimelineViewId)) ::SendNotifyMessageA(h, WM_DLG_NOTIFY, 8888, LPARAM(argument));
}

void MainWindowUi::open_preview() {
    close_preview();
    preview_ = item(kCtlPreview);
    if (!preview_) return;
    preview_dc_ = ::GetDC(preview_);
    RECT window = {};
    ::GetWindowRect(preview_, &window);
    preview_rect_ = RECT{0, 0, window.right - window.left - 4, window.bottom - window.top - 2};
}

void MainWindowUi::draw_preview(const PictureView& picture) {
    if (!preview_dc_ || picture.format != PixelFormat::kBgr24 || !picture::valid(picture)) return;
    if (preview_picture_.width() != picture.width || preview_picture_.height() != picture.height)
        preview_picture_ = CRgbImage(picture.width, picture.height);
    if (preview_picture_.empty()) return;
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(preview_picture_.row(y), picture.data + size_t(picture.stride) * size_t(y), size_t(picture.width) * 3);
    CRgbImageGdi::StretchDraw(preview_dc_, preview_rect_, preview_picture_, 0, 0);
}

void MainWindowUi::close_preview() {
    if (preview_ && preview_dc_) ::ReleaseDC(preview_, preview_dc_);
    preview_picture_ = CRgbImage(0, 0);
    preview_ = nullptr;
    preview_dc_ = nullptr;
}

void MainWindowUi::repaint(int control) {
    if (HWND h = item(control)) ::InvalidateRect(h, nullptr, TRUE);
}

void MainWindowUi::attach(const JobTable* jobs, MediaFile* files, int file_count, CurrentFileName* current) {
    jobs_ = jobs;
    files_ = files;
    file_count_ = file_count;
    current_ = current;
}

const JobTable& MainWindowUi::jobs() const {
    static const JobTable none{};
    return jobs_ ? *jobs_ : none;
}

MediaFile* MainWindowUi::file_row(int file_index) {
    return files_ && file_index >= 0 && file_index < file_count_ ? &files_[file_index] : nullptr;
}

int MainWindowUi::speed_mode() {
    HWND h = item(kCtlSpeedMode);
    return h ? int(::SendMessageA(h, CB_GETCURSEL, 0, 0)) : 0;
}

void MainWindowUi::set_current_path(const char* path) {
    if (current_) current_->set(path ? path : "");
}
