// The effect table of the video-effects library and everything the exports do to it: the resets,
// the fit of the effect rectangles to a new frame size, the per-frame chain, the getters and the
// close. The exports, the panel and the pages use one EffectTable; its lock is held around the
// effect loop and around every change of slot data or of the overlay work picture, so a page never
// frees a picture while a frame is being processed on the host's thread.
#pragma once
#include <cstdint>
#include <mutex>
#include <vector>
#include "base/picture.h"
#include "engine/image/rgb_image.h"
#include "videofx/core/effect_catalog.h"
#include "videofx/core/effect_slot.h"

namespace videofx {

class EffectTable {
public:
    static constexpr int kDefaultWidth = 352;
    static constexpr int kDefaultHeight = 288;
    static constexpr uint32_t kAllSlots = (1u << kSlotCount) - 1;

    // The state the library has when it is loaded: ids and slot indices set, everything else 0.
    EffectTable();
    EffectTable(const EffectTable&) = delete;
    EffectTable& operator=(const EffectTable&) = delete;

    // tolmvideo_begin's part: frame size 352 x 288, every record cleared (its data freed) with the
    // default rectangle (88, 72, 88, 72) and its display name, counters 0, no overlay picture.
    void begin();

    // tolmvideo_init's and tolmvideo_setwh's part: the new frame size, counters 0, and with reset 1
    // every record reset to its effect's defaults (data and overlay picture freed); otherwise each
    // rectangle fitted to the new size, records that cannot be fitted reset to the default
    // rectangle and switched off. Returns the records whose panel state must show them off (all for
    // a full reset). A size below 1 or above CRgbImage::kMaxSide changes nothing and returns 0.
    uint32_t set_frame_size(int width, int height, uint8_t reset);

    // tolmvideo_change's part: runs the enabled effects in `order` (effect ids as the chain list
    // rows give them) over the frame in place and returns size. Nothing happens when frame is null,
    // size is below stride x height of the frame size, or no record is on; otherwise the transition
    // counters advance by one first. After the loop `after` (when given) sees the processed frame
    // while the lock is still held.
    using FrameHook = void (*)(const PictureView& frame, void* context);
    int change(uint8_t* frame, int size, const std::vector<int>& order, FrameHook after = nullptr,
               void* context = nullptr);

    // The effect loop over any B,G,R frame: each enabled effect of `order` (ids outside 1..14 and
    // records not on are skipped) on its area, the area intersected with the frame, an empty one
    // skipped. Neither checks nor advances the counters.
    void apply_chain(const PictureView& frame, const std::vector<int>& order);

    // Whether any record's enabled byte is non-zero (the exports read the chain list only then).
    bool any_enabled() const;

    // tolmvideo_close's part: the overlay picture and all slot data freed, every record off with
    // its parameters cleared; rectangles and names stay.
    void close();

    // tolmvideo_text and tolmvideo_picture: the enabled byte of an effect, stored as given.
    void set_enabled(int effect_id, uint8_t on);
    // 1 when the effect's record is on (enabled == 1) and has data; the *_valid forms only ask for data.
    bool text_flag() const;
    bool picture_flag() const;
    bool text_valid() const;
    bool picture_valid() const;

    int frame_width() const;
    int frame_height() const;
    uint32_t blinds_frame() const;
    uint32_t expand_frame() const;

    // A copy of a record with its data pointer cleared (for the pages and tests).
    EffectSlot slot(int index) const;
    // Gives the record `data` (malloc'd, taken over even when refused) of size bytes holding a
    // width x height B,G,R picture, freeing what it had; refused (false) when the bytes cannot hold
    // that picture. A null data clears the record's data.
    bool set_slot_data(int index, uint8_t* data, int size, int width, int height);

    // The overlay work picture that effect 11 copies into the frame, and its key.
    void set_overlay_picture(const CRgbImage& picture);
    void set_overlay_key(bool keyed, const uint8_t low[3], const uint8_t high[3]);
    void clear_overlay_picture();
    bool overlay_present() const;

    // Runs f(slots) with the lock held: for the pages' edits of the records and for project files.
    template <typename F>
    auto with_slots(F f) {
        std::lock_guard<std::mutex> hold(mutex_);
        return f(slots_);
    }
    template <typename F>
    auto with_slots(F f) const {
        std::lock_guard<std::mutex> hold(mutex_);
        return f(static_cast<const SlotTable&>(slots_));
    }
    // Puts `fresh` in place of the whole table (it gets the old records, whose data its destructor
    // frees) and drops the overlay picture built from the old picture.
    void replace_slots(SlotTable& fresh);

private:
    void load_reset(int i);
    void full_reset(int i, int width, int height);
    void fit_reset(int i, int width, int height);
    uint32_t fit(int width, int height);
    void run_chain(const PictureView& frame, const std::vector<int>& order);

    mutable std::mutex mutex_;
    SlotTable slots_;
    int frame_width_ = kDefaultWidth;
    int frame_height_ = kDefaultHeight;
    uint32_t blinds_frame_ = 0;
    uint32_t expand_frame_ = 0;
    CEffectImage work_;  // the image each effect of the chain runs on, kept between frames
    CRgbImage overlay_{0, 0};
    uint8_t overlay_keyed_ = 0;
    uint8_t overlay_low_[3] = {};
    uint8_t overlay_high_[3] = {};
};

}  // namespace videofx
