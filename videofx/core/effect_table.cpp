#include "effect_table.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace videofx {

namespace {

constexpr int32_t load_id(int i) { return i < kEffectCount ? i + 1 : 0; }

void clear_parameters(EffectSlot& s) {
    std::memset(s.int_params, 0, sizeof s.int_params);
    std::memset(s.byte_params, 0, sizeof s.byte_params);
    s.text[0] = '\0';
}

void set_region(EffectSlot& s, int x, int y, int w, int h) {
    s.region_x = x;
    s.region_y = y;
    s.region_width = w;
    s.region_height = h;
}

struct Area {
    int x, y, width, height;
};

// The effect's area inside a frame of width x height; empty when nothing of it lies inside.
Area area_in_frame(const EffectSlot& s, int width, int height) {
    if (s.whole_frame == 1) return {0, 0, width, height};
    const int64_t left = std::max<int64_t>(s.region_x, 0), top = std::max<int64_t>(s.region_y, 0);
    const int64_t right = std::min<int64_t>(int64_t(s.region_x) + s.region_width, width);
    const int64_t bottom = std::min<int64_t>(int64_t(s.region_y) + s.region_height, height);
    if (right <= left || bottom <= top) return {0, 0, 0, 0};
    return {int(left), int(top), int(right - left), int(bottom - top)};
}

bool size_accepted(int width, int height) {
    return width >= 1 && height >= 1 && width <= CRgbImage::kMaxSide && height <= CRgbImage::kMaxSide;
}

}  // namespace

EffectTable::EffectTable() {
    for (int i = 0; i < kSlotCount; ++i) load_reset(i);
}

void EffectTable::load_reset(int i) {
    EffectSlot& s = slots_[i];
    s.effect_id = load_id(i);
    slots_.free_data(i);
    clear_parameters(s);
    s.slot_index = uint8_t(i);
}

void EffectTable::full_reset(int i, int width, int height) {
    EffectSlot& s = slots_[i];
    s.slot_index = uint8_t(i);
    s.enabled = s.whole_frame = 0;
    set_region(s, width / 4, height / 4, width / 4, height / 4);
    s.effect_id = load_id(i);
    slots_.free_data(i);
    clear_parameters(s);
    if (const EffectInfo* info = find_effect(s.effect_id)) {
        std::memcpy(s.byte_params, info->reset_bytes, sizeof info->reset_bytes);
        std::memcpy(s.int_params, info->reset_ints, sizeof info->reset_ints);
    }
}

void EffectTable::fit_reset(int i, int width, int height) {
    EffectSlot& s = slots_[i];
    s.enabled = s.whole_frame = 0;
    set_region(s, width / 4, height / 4, width / 4, height / 4);
}

// The fit rule as the panel has always applied it: a rectangle that sticks out keeps its start and
// takes (frame size - its size) as its new size when that leaves more than 2 pixels, else it is reset.
// What it leaves outside the frame is clipped when the frame is processed.
uint32_t EffectTable::fit(int width, int height) {
    uint32_t reset = 0;
    for (int i = 0; i < kSlotCount; ++i) {
        EffectSlot& s = slots_[i];
        const bool too_wide = int64_t(s.region_x) + s.region_width > width;
        const bool too_high = int64_t(s.region_y) + s.region_height > height;
        if (!too_wide && !too_high) continue;
        if (too_wide) {
            if (int64_t(width) - s.region_width > 2) {
                s.region_width = width - s.region_width;
            } else {
                fit_reset(i, width, height);
                reset |= 1u << i;
                continue;
            }
        }
        if (int64_t(s.region_y) + s.region_height > height) {
            if (int64_t(height) - s.region_height > 2) {
                s.region_height = height - s.region_height;
            } else {
                fit_reset(i, width, height);
                reset |= 1u << i;
            }
        }
    }
    return reset;
}

void EffectTable::begin() {
    std::lock_guard<std::mutex> hold(mutex_);
    frame_width_ = kDefaultWidth;
    frame_height_ = kDefaultHeight;
    for (int i = 0; i < kSlotCount; ++i) {
        EffectSlot& s = slots_[i];
        s.slot_index = uint8_t(i);
        set_region(s, 88, 72, 88, 72);
        s.enabled = s.whole_frame = 0;
        slots_.free_data(i);
        s.effect_id = load_id(i);
        clear_parameters(s);
        if (const EffectInfo* info = find_effect(s.effect_id)) {
            std::strncpy(s.name, info->name, kNameSize - 1);
            s.name[kNameSize - 1] = '\0';
        }
    }
    blinds_frame_ = expand_frame_ = 0;
    overlay_ = CRgbImage(0, 0);
}

uint32_t EffectTable::set_frame_size(int width, int height, uint8_t reset) {
    if (!size_accepted(width, height)) return 0;
    std::lock_guard<std::mutex> hold(mutex_);
    blinds_frame_ = expand_frame_ = 0;
    frame_width_ = width;
    frame_height_ = height;
    if (reset != 1) return fit(width, height);
    for (int i = 0; i < kSlotCount; ++i) full_reset(i, width, height);
    overlay_ = CRgbImage(0, 0);  // built from the picture just freed
    return kAllSlots;
}

bool EffectTable::any_enabled() const {
    std::lock_guard<std::mutex> hold(mutex_);
    for (const EffectSlot& s : slots_.slots)
        if (s.enabled) return true;
    return false;
}

int EffectTable::change(uint8_t* frame, int size, const std::vector<int>& order, FrameHook after, void* context) {
    std::lock_guard<std::mutex> hold(mutex_);
    const int64_t needed = int64_t(bgr_stride(frame_width_)) * frame_height_;
    if (!frame || size < needed) return size;
    bool on = false;
    for (const EffectSlot& s : slots_.slots) on = on || s.enabled;
    if (!on) return size;
    ++blinds_frame_;
    ++expand_frame_;
    const PictureView view = picture::bgr24(frame, frame_width_, frame_height_);
    run_chain(view, order);
    if (after) after(view, context);
    return size;
}

void EffectTable::apply_chain(const PictureView& frame, const std::vector<int>& order) {
    std::lock_guard<std::mutex> hold(mutex_);
    run_chain(frame, order);
}

void EffectTable::run_chain(const PictureView& frame, const std::vector<int>& order) {
    if (!picture::valid(frame) || frame.format != PixelFormat::kBgr24 || frame.stride < 3 * frame.width) return;
    ChainContext context;
    context.blinds_frame = blinds_frame_;
    context.expand_frame = expand_frame_;
    if (!overlay_.empty()) {
        context.overlay.pixels = overlay_.view();
        context.overlay.keyed = overlay_keyed_;
        std::memcpy(context.overlay.low, overlay_low_, 3);
        std::memcpy(context.overlay.high, overlay_high_, 3);
    }
    const EffectSlot& text = slots_[kTextSlot];
    if (slot_picture_complete(text)) {
        context.text_bitmap = picture::bgr24(text.data, text.data_width, text.data_height);
    }
    for (int id : order) {
        const EffectInfo* info = find_effect(id);
        if (!info) continue;
        const EffectSlot& s = slots_[slot_of(id)];
        if (s.enabled != 1) continue;
        const Area a = area_in_frame(s, frame.width, frame.height);
        if (a.width <= 0 || a.height <= 0) continue;
        uint8_t* first_row = frame.data + size_t(frame.stride) * size_t(a.y) + 3 * size_t(a.x);
        const size_t bytes = 3 * size_t(a.width);
        // Whole rows of a frame without row padding are an image's rows already: the routine runs
        // on them in place of a copy taken out and put back, with the same result.
        if (a.width == frame.width && frame.stride == int(bytes)) {
            CEffectImage rows;
            if (rows.Attach(first_row, a.width, a.height)) info->apply(rows, s, context);
            continue;
        }
        if (!work_.Prepare(a.width, a.height)) continue;
        for (int k = 0; k < a.height; ++k) std::memcpy(work_.memory_row(k), first_row + size_t(frame.stride) * k, bytes);
        info->apply(work_, s, context);
        for (int k = 0; k < a.height; ++k) std::memcpy(first_row + size_t(frame.stride) * k, work_.memory_row(k), bytes);
    }
}

void EffectTable::close() {
    std::lock_guard<std::mutex> hold(mutex_);
    work_.Release();
    overlay_ = CRgbImage(0, 0);
    for (int i = 0; i < kSlotCount; ++i) {
        EffectSlot& s = slots_[i];
        s.enabled = s.whole_frame = 0;
        slots_.free_data(i);
        s.effect_id = load_id(i);
        clear_parameters(s);
    }
}

void EffectTable::set_enabled(int effect_id, uint8_t on) {
    if (!find_effect(effect_id)) return;
    std::lock_guard<std::mutex> hold(mutex_);
    slots_[slot_of(effect_id)].enabled = on;
}

bool EffectTable::text_flag() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return slots_[kTextSlot].enabled == 1 && slots_[kTextSlot].data;
}

bool EffectTable::picture_flag() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return slots_[kPictureSlot].enabled == 1 && slots_[kPictureSlot].data;
}

bool EffectTable::text_valid() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return slots_[kTextSlot].data != nullptr;
}

bool EffectTable::picture_valid() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return slots_[kPictureSlot].data != nullptr;
}

int EffectTable::frame_width() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return frame_width_;
}

int EffectTable::frame_height() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return frame_height_;
}

uint32_t EffectTable::blinds_frame() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return blinds_frame_;
}

uint32_t EffectTable::expand_frame() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return expand_frame_;
}

EffectSlot EffectTable::slot(int index) const {
    std::lock_guard<std::mutex> hold(mutex_);
    EffectSlot copy = slots_[std::clamp(index, 0, kSlotCount - 1)];
    copy.data = nullptr;
    return copy;
}

bool EffectTable::set_slot_data(int index, uint8_t* data, int size, int width, int height) {
    if (index < 0 || index >= kSlotCount) {
        std::free(data);
        return false;
    }
    if (data && (width <= 0 || height <= 0 || bgr_bytes(width, height) == 0 || size < bgr_bytes(width, height))) {
        std::free(data);
        return false;
    }
    std::lock_guard<std::mutex> hold(mutex_);
    slots_.free_data(index);
    if (data) {
        EffectSlot& s = slots_[index];
        s.data = data;
        s.data_size = size;
        s.data_width = width;
        s.data_height = height;
    }
    return true;
}

void EffectTable::set_overlay_picture(const CRgbImage& picture) {
    CRgbImage copy(picture);
    std::lock_guard<std::mutex> hold(mutex_);
    overlay_ = copy;
}

void EffectTable::set_overlay_key(bool keyed, const uint8_t low[3], const uint8_t high[3]) {
    std::lock_guard<std::mutex> hold(mutex_);
    overlay_keyed_ = keyed ? 1 : 0;
    std::memcpy(overlay_low_, low, 3);
    std::memcpy(overlay_high_, high, 3);
}

void EffectTable::clear_overlay_picture() {
    std::lock_guard<std::mutex> hold(mutex_);
    overlay_ = CRgbImage(0, 0);
}

bool EffectTable::overlay_present() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return !overlay_.empty();
}

void EffectTable::replace_slots(SlotTable& fresh) {
    std::lock_guard<std::mutex> hold(mutex_);
    slots_.swap(fresh);
    overlay_ = CRgbImage(0, 0);
}

}  // namespace videofx
