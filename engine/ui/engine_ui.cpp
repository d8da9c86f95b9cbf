#include "engine/ui/engine_ui.h"

namespace {

int per_mille(double fraction, int scale) {
    if (!(fraction > 0)) return 0;
    if (fraction > 1) fraction = 1;
    return int(fraction * scale);
}

class SilentUi : public EngineUi {
public:
    void set_status(const char*) override {}
    void set_label(const char*) override {}
    void set_bars(int, int) override {}
    void enable(int, bool) override {}
    void set_pressed(int, bool) override {}
    intptr_t notify(int, intptr_t) override { return 0; }
    void notify_timeline(intptr_t) override {}
    void open_preview() override {}
    void draw_preview(const PictureView&) override {}
    void close_preview() override {}
    void repaint(int) override {}
    const JobTable& jobs() const override { return table_; }
    MediaFile* file_row(int) override { return nullptr; }
    int speed_mode() override { return 1; }
    void set_current_path(const char*) override {}

private:
    JobTable table_;
};

}  // namespace

int file_bar_value(double fraction) { return per_mille(fraction, 1000); }

int overall_bar_value(double fraction, int job_index, int job_count) {
    if (job_count < 1) return 0;
    const int q = 1000 / job_count;
    return per_mille(fraction, q) + job_index * q;
}

std::string paused_status_text(const std::string& path, bool writing_output) {
    return "暂停文件" + path + (writing_output ? "转换" : "播放");
}

EngineUi& silent_engine_ui() {
    static SilentUi ui;
    return ui;
}
