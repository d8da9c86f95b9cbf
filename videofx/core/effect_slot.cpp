#include "effect_slot.h"
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace videofx {

namespace {
// Every field but the pointer lies at the same place in both forms' member lists; copy field by field.
template <typename From, typename To>
void copy_fields(const From& from, To& to) {
    to.effect_id = from.effect_id;
    to.region_x = from.region_x;
    to.region_y = from.region_y;
    to.region_width = from.region_width;
    to.region_height = from.region_height;
    to.enabled = from.enabled;
    to.whole_frame = from.whole_frame;
    std::memcpy(to.reserved1, from.reserved1, sizeof to.reserved1);
    to.data_size = from.data_size;
    to.data_width = from.data_width;
    to.data_height = from.data_height;
    std::memcpy(to.int_params, from.int_params, sizeof to.int_params);
    std::memcpy(to.text, from.text, sizeof to.text);
    std::memcpy(to.byte_params, from.byte_params, sizeof to.byte_params);
    std::memcpy(to.name, from.name, sizeof to.name);
    to.slot_index = from.slot_index;
    std::memcpy(to.reserved2, from.reserved2, sizeof to.reserved2);
}
}  // namespace

EffectSlotRecord to_record(const EffectSlot& slot) {
    EffectSlotRecord record;
    std::memset(&record, 0, sizeof record);
    copy_fields(slot, record);
    record.data_pointer = 0;
    return record;
}

EffectSlot from_record(const EffectSlotRecord& record) {
    EffectSlot slot;
    copy_fields(record, slot);
    slot.data = nullptr;
    return slot;
}

int64_t bgr_bytes(int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    const int64_t bytes = ((3 * int64_t(width) + 3) & ~int64_t(3)) * height;
    return bytes > INT32_MAX ? 0 : bytes;
}

bool slot_picture_complete(const EffectSlot& slot) {
    const int64_t needed = bgr_bytes(slot.data_width, slot.data_height);
    return slot.data && needed > 0 && slot.data_size >= needed;
}

void SlotTable::free_data(int i) {
    EffectSlot& s = slots[i];
    std::free(s.data);
    s.data = nullptr;
    s.data_size = s.data_width = s.data_height = 0;
}

void SlotTable::free_all_data() {
    for (int i = 0; i < kSlotCount; ++i) free_data(i);
}

void SlotTable::swap(SlotTable& other) {
    for (int i = 0; i < kSlotCount; ++i) std::swap(slots[i], other.slots[i]);
}

}  // namespace videofx
