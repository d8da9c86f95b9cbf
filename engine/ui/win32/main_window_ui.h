// EngineUi of the program: messages to the main dialog's controls (g_main_hwnd), which its interface
// thread handles; the preview is drawn into the preview static's device context.
#pragma once
#include <windows.h>
#include <mutex>
#include <vector>
#include "base/picture.h"
#include "engine/image/rgb_image.h"
#include "engine/ui/engine_ui.h"

constexpr int kTimelineViewId = 2006;  // the timeline view, a child of the main dialog

class MainWindowUi : public EngineUi {
public:
    void set_status(const char* text) override;
    void set_label(const char* text) override;
    void set_bars(int file_permille, int overall_permille) override;
    void enable(int control, bool enabled) override;
    void set_pressed(int control, bool pressed) override;
    intptr_t notify(int code, intptr_t argument) override;
    void notify_timeline(intptr_t argument) override;
    void open_preview() override;
    void draw_preview(const PictureView& picture) override;
    void close_preview() override;
    void repaint(int control) override;
    const JobTable& jobs() const override;
    MediaFile* file_row(int file_index) override;
    int speed_mode() override;
    void set_current_path(const char* path) override;

    // The dialog's job table, file table and current-path holder, which a run reads and writes.
    void attach(const JobTable* jobs, MediaFile* files, int file_count, CurrentFileName* current);

private:
    HWND item(int control) const;
    struct KnownItem {
        int control;
        HWND hwnd;
    };
    static constexpr size_t kKnownItems = 32;
    mutable std::mutex items_lock_;  // the play, conversion and interface threads all ask
    mutable std::vector<KnownItem> items_;
    HWND preview_ = nullptr;
    HDC preview_dc_ = nullptr;
    RECT preview_rect_ = {};
    CRgbImage preview_picture_{0, 0};  // the picture being drawn, its pixels reused from frame to frame
    const JobTable* jobs_ = nullptr;
    MediaFile* files_ = nullptr;
    int file_count_ = 0;
    CurrentFileName* current_ = nullptr;
};
