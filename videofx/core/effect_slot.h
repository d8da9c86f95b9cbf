// One record of the effect table. In memory the slot holds a real pointer to the pixel buffer it owns
// (the loaded picture of effect 11, the rendered text of effect 12); in project files the record is
// the 724-byte little-endian EffectSlotRecord, whose 4-byte pointer slot is stored as 0.
#pragma once
#include <cstddef>
#include <cstdint>

namespace videofx {

constexpr int kSlotCount = 16;    // records 14 and 15 are spare
constexpr int kEffectCount = 14;  // effect ids 1..14 belong to records 0..13
constexpr int kTextSize = 512;
constexpr int kNameSize = 128;

enum EffectId : int32_t {
    kAdjustRgb = 1,
    kHueSaturation = 2,
    kBrightnessContrast = 3,
    kFlip = 4,
    kMirror = 5,
    kInvert = 6,
    kMosaic = 7,
    kWeathering = 8,
    kSharpen = 9,
    kBlur = 10,
    kPictureOverlay = 11,
    kTextOverlay = 12,
    kBlinds = 13,
    kExpand = 14,
};

// The record of an effect id.
constexpr int slot_of(int effect_id) { return effect_id - 1; }
constexpr int kPictureSlot = slot_of(kPictureOverlay);
constexpr int kTextSlot = slot_of(kTextOverlay);

struct EffectSlot {
    int32_t effect_id = 0;      // 1..14 for records 0..13, 0 for the spare records
    int32_t region_x = 0;       // effect rectangle in frame pixels; row 0 = first row of the frame
    int32_t region_y = 0;
    int32_t region_width = 0;
    int32_t region_height = 0;
    uint8_t enabled = 0;        // 1 = on; any other value counts as off
    uint8_t whole_frame = 0;    // 1 = the whole frame, else the rectangle
    uint8_t reserved1[2] = {};
    uint8_t* data = nullptr;    // malloc'd pixel buffer owned by the slot, or null
    int32_t data_size = 0;      // bytes of data
    int32_t data_width = 0;     // the picture or text bitmap: B,G,R rows of (3w+3)&~3 bytes, top first
    int32_t data_height = 0;
    int32_t int_params[8] = {};
    char text[kTextSize] = {};  // picture path (11) or overlay text (12), zero-terminated
    uint8_t byte_params[8] = {};
    char name[kNameSize] = {};  // display name, zero-terminated
    uint8_t slot_index = 0;     // the record's own index
    uint8_t reserved2[3] = {};
};

#pragma pack(push, 1)
struct EffectSlotRecord {
    int32_t effect_id;
    int32_t region_x;
    int32_t region_y;
    int32_t region_width;
    int32_t region_height;
    uint8_t enabled;
    uint8_t whole_frame;
    uint8_t reserved1[2];
    uint32_t data_pointer;  // a 32-bit pointer in the original layout: written 0, ignored on reading
    int32_t data_size;
    int32_t data_width;
    int32_t data_height;
    int32_t int_params[8];
    char text[kTextSize];
    uint8_t byte_params[8];
    char name[kNameSize];
    uint8_t slot_index;
    uint8_t reserved2[3];
};
#pragma pack(pop)

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "records are stored in the machine's byte order");
static_assert(sizeof(EffectSlotRecord) == 724);
static_assert(offsetof(EffectSlotRecord, effect_id) == 0);
static_assert(offsetof(EffectSlotRecord, region_x) == 4);
static_assert(offsetof(EffectSlotRecord, region_y) == 8);
static_assert(offsetof(EffectSlotRecord, region_width) == 12);
static_assert(offsetof(EffectSlotRecord, region_height) == 16);
static_assert(offsetof(EffectSlotRecord, enabled) == 20);
static_assert(offsetof(EffectSlotRecord, whole_frame) == 21);
static_assert(offsetof(EffectSlotRecord, reserved1) == 22);
static_assert(offsetof(EffectSlotRecord, data_pointer) == 24);
static_assert(offsetof(EffectSlotRecord, data_size) == 28);
static_assert(offsetof(EffectSlotRecord, data_width) == 32);
static_assert(offsetof(EffectSlotRecord, data_height) == 36);
static_assert(offsetof(EffectSlotRecord, int_params) == 40);
static_assert(offsetof(EffectSlotRecord, text) == 72);
static_assert(offsetof(EffectSlotRecord, byte_params) == 584);
static_assert(offsetof(EffectSlotRecord, name) == 592);
static_assert(offsetof(EffectSlotRecord, slot_index) == 720);
static_assert(offsetof(EffectSlotRecord, reserved2) == 721);

// The stored form of a slot, pointer slot 0.
EffectSlotRecord to_record(const EffectSlot& slot);
// A slot from its stored form, without data (the caller attaches the bytes that follow it).
EffectSlot from_record(const EffectSlotRecord& record);

// Bytes a B,G,R row of `width` pixels takes, and a picture of width x height (0 when either is not
// positive or the product overflows int32).
constexpr int bgr_stride(int width) { return (3 * width + 3) & ~3; }
int64_t bgr_bytes(int width, int height);

// Whether the slot's data holds the whole width x height picture its fields promise.
bool slot_picture_complete(const EffectSlot& slot);

// The sixteen records; frees every slot's data when destroyed.
struct SlotTable {
    EffectSlot slots[kSlotCount];

    SlotTable() = default;
    ~SlotTable() { free_all_data(); }
    SlotTable(const SlotTable&) = delete;
    SlotTable& operator=(const SlotTable&) = delete;

    EffectSlot& operator[](int i) { return slots[i]; }
    const EffectSlot& operator[](int i) const { return slots[i]; }
    // Frees the slot's data and clears data, data_size, data_width and data_height.
    void free_data(int i);
    void free_all_data();
    // Exchanges the whole table, data ownership included.
    void swap(SlotTable& other);
};

}  // namespace videofx
