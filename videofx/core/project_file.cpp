#include "project_file.h"
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "base/fileio.h"
#include "base/message_seam.h"

namespace videofx {

namespace {

const uint8_t kMagic[3] = {'v', 'c', 'p'};

void append(std::vector<uint8_t>& out, const void* bytes, size_t count) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    out.insert(out.end(), p, p + count);
}

std::vector<uint8_t> serialize(const SlotTable& slots) {
    std::vector<uint8_t> out;
    const uint8_t header[4] = {kMagic[0], kMagic[1], kMagic[2], kProjectVersion};
    const int32_t count = kSlotCount;
    append(out, header, sizeof header);
    append(out, &count, sizeof count);
    for (int i = 0; i < kSlotCount; ++i) {
        const EffectSlot& s = slots[i];
        EffectSlotRecord record = to_record(s);
        // A record without data says so, so that no reader expects bytes that are not there.
        if (!s.data) record.data_size = record.data_width = record.data_height = 0;
        append(out, &record, sizeof record);
        if (s.data && s.data_size > 1) append(out, s.data, size_t(s.data_size));
    }
    return out;
}

void tell_not_a_project() {
    seam::report("该文件不是Orvane视频处理配置文件", "Orvane视频处理器", seam::kOk);
}

// Reads record i and its data from the file into `slot`; false when the file is damaged.
bool read_entry(fileio::File& file, int64_t file_size, int i, EffectSlot& slot) {
    EffectSlotRecord record;
    if (!file.read_exact(&record, sizeof record)) return false;
    slot = from_record(record);
    slot.text[kTextSize - 1] = '\0';
    slot.name[kNameSize - 1] = '\0';
    slot.effect_id = i < kEffectCount ? i + 1 : 0;
    if (slot.slot_index >= kSlotCount) slot.slot_index = uint8_t(i);
    if (slot.data_size < 0) return false;
    if (slot.data_size < 2) return true;  // no data bytes follow
    if (slot.data_size > file_size - file.tell()) return false;
    if ((i == kPictureSlot || i == kTextSlot) && bgr_bytes(slot.data_width, slot.data_height) == 0) return false;
    slot.data = static_cast<uint8_t*>(std::malloc(size_t(slot.data_size)));
    if (!slot.data || !file.read_exact(slot.data, slot.data_size)) return false;
    return i != kPictureSlot && i != kTextSlot ? true : slot_picture_complete(slot);
}

}  // namespace

ProjectResult save_project(const EffectTable& table, const char* path) {
    const std::vector<uint8_t> bytes = table.with_slots([](const SlotTable& slots) { return serialize(slots); });
    const std::string temporary = fileio::unique_name(std::string(path), ".tmp");
    fileio::File file;
    if (temporary.empty() || !file.open(temporary.c_str(), fileio::File::Mode::CreateNew)) return ProjectResult::kCannotOpen;
    const bool written = file.write_all(bytes.data(), int64_t(bytes.size()));
    file.close();
    if (!written || !fileio::replace(temporary.c_str(), path)) {
        fileio::remove(temporary.c_str());
        return ProjectResult::kCannotWrite;
    }
    return ProjectResult::kDone;
}

ProjectResult open_project(EffectTable& table, const char* path) {
    fileio::File file;
    if (!file.open(path, fileio::File::Mode::Read)) return ProjectResult::kCannotOpen;
    const int64_t file_size = file.size();
    uint8_t header[4];
    if (!file.read_exact(header, sizeof header) || std::memcmp(header, kMagic, sizeof kMagic) != 0) {
        tell_not_a_project();
        return ProjectResult::kNotAProject;
    }
    if (header[3] != kProjectVersion) return ProjectResult::kOtherVersion;
    int32_t count;  // the writer stores 16; the reader does not need it
    SlotTable fresh;
    bool complete = file.read_exact(&count, sizeof count);
    for (int i = 0; complete && i < kSlotCount; ++i) complete = read_entry(file, file_size, i, fresh[i]);
    if (!complete) {
        tell_not_a_project();
        return ProjectResult::kNotAProject;  // fresh frees what was read
    }
    table.replace_slots(fresh);
    return ProjectResult::kDone;
}

}  // namespace videofx
