// An EngineUi that records what the engine shows, for tests. Calls may come from two threads
// (pictures and sound), so the record is kept under a lock.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>
#include "base/picture.h"
#include "engine/ui/engine_ui.h"
#include "media/records/segment_list.h"

class RecordingUi : public EngineUi {
public:
    struct Notice {
        int code;
        intptr_t argument;
    };
    void set_status(const char* text) override {
        std::lock_guard<std::mutex> l(lock_);
        statuses.push_back(text ? text : "");
    }
    void set_label(const char* text) override {
        std::lock_guard<std::mutex> l(lock_);
        labels.push_back(text ? text : "");
    }
    void set_bars(int file, int overall) override {
        std::lock_guard<std::mutex> l(lock_);
        bars.push_back({file, overall});
    }
    void enable(int control, bool on) override {
        std::lock_guard<std::mutex> l(lock_);
        enables.push_back({control, on});
    }
    void set_pressed(int control, bool pressed) override {
        std::lock_guard<std::mutex> l(lock_);
        pressed_states.push_back({control, pressed});
    }
    intptr_t notify(int code, intptr_t argument) override {
        std::lock_guard<std::mutex> l(lock_);
        notices.push_back({code, argument});
        return 0;
    }
    void notify_timeline(intptr_t argument) override {
        std::lock_guard<std::mutex> l(lock_);
        timeline.push_back(argument);
    }
    void open_preview() override {
        std::lock_guard<std::mutex> l(lock_);
        ++preview_opens;
    }
    void draw_preview(const PictureView& picture) override {
        std::lock_guard<std::mutex> l(lock_);
        ++previews;
        // The last picture drawn, as B,G,R rows without padding.
        preview_width = picture.width;
        preview_height = picture.height;
        last_preview.clear();
        for (int y = 0; y < picture.height; ++y) {
            const uint8_t* row = picture.data + size_t(picture.stride) * size_t(y);
            last_preview.insert(last_preview.end(), row, row + size_t(picture.width) * 3);
        }
    }
    void close_preview() override {
        std::lock_guard<std::mutex> l(lock_);
        ++preview_closes;
    }
    void repaint(int control) override {
        std::lock_guard<std::mutex> l(lock_);
        repaints.push_back(control);
    }

    const JobTable& jobs() const override { return table; }
    MediaFile* file_row(int index) override {
        return index >= 0 && size_t(index) < files.size() ? &files[size_t(index)] : nullptr;
    }
    int speed_mode() override { return speed; }
    void set_current_path(const char* path) override {
        std::lock_guard<std::mutex> l(lock_);
        current_paths.push_back(path ? path : "");
    }

    // What the dialog holds for a run.
    JobTable table;
    std::vector<MediaFile> files;
    int speed = 1;

    std::vector<std::string> current_paths;
    std::vector<std::string> statuses, labels;
    std::vector<std::pair<int, int>> bars;
    std::vector<std::pair<int, bool>> enables, pressed_states;
    std::vector<Notice> notices;
    std::vector<intptr_t> timeline;
    std::vector<int> repaints;
    int preview_opens = 0, previews = 0, preview_closes = 0;
    int preview_width = 0, preview_height = 0;
    std::vector<uint8_t> last_preview;

private:
    std::mutex lock_;
};
