// Index files: round trips for each format family and a table of damaged files that are refused.
#include <gtest/gtest.h>
#include <cstring>
#include <fstream>
#include "media/records/index_file.h"
#include "test_folder.h"

namespace {

IndexEntry entry(int key, int position, int length, int time_ms) {
    IndexEntry e{};
    e.is_key = uint8_t(key);
    e.position = position;
    e.length = length;
    e.time_ms = time_ms;
    return e;
}

// What each family's probe (or analysis) writes: entries as the family lays them out.
struct Family {
    const char* name;
    int codec;
    bool blocks;
    bool thumbnails;
    int entries;
};

const Family kFamilies[] = {
    {"MTV", 0, false, false, 40},   {"AMV", 0, false, false, 31},  {"AVI", 0, false, false, 25},
    {"SWF", 2, false, false, 17},   {"FLV", 7, true, false, 90},   {"MP4", 3, false, false, 12},
    {"analysed MP4", 3, false, true, 30}, {"analysed SWF", 4, true, true, 16}, {"analysed FLV", 7, true, true, 45},
    {"MTV n=0", 0, false, false, 0}, {"FLV n=0", 2, true, false, 0},
};

IndexFile make_index(const Family& f) {
    IndexFile index;
    index.codec = f.codec;
    index.width = 320;
    index.height = 240;
    index.frame_rate = 29.97;
    for (int i = 0; i < f.entries; ++i) {
        Segment s;
        s.entry = entry(i % 15 == 0, 1000 + 333 * i, 300 + i, int(i * 1000 / 29.97));
        if (f.thumbnails && s.entry.is_key) s.set_thumbnail(std::vector<uint8_t>(100 + i, uint8_t(i)));
        index.segments.push_back(std::move(s));
    }
    if (f.blocks) {
        index.has_blocks = true;
        if (f.codec == 7) {
            index.block1 = {0, 0, 0, 1, 0x67, 0x42, 0xC0, 0x1E, 0, 0, 0, 1, 0x68, 0xCE};
            index.block2 = {0x12, 0x10};
        }
    }
    return index;
}

size_t expected_size(const IndexFile& index) {
    size_t n = 24 + 28 * index.segments.size();
    for (const Segment& s : index.segments) n += s.thumbnail.size();
    if (index.has_blocks) n += 8 + index.block1.size() + index.block2.size();
    return n;
}

std::vector<uint8_t> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void put_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

template <typename T>
void poke(std::vector<uint8_t>& bytes, size_t offset, T value) {
    ASSERT_LE(offset + sizeof value, bytes.size());
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

}  // namespace

TEST(IndexFile, RoundTripsEveryFamily) {
    TempFolder dir;
    for (const Family& f : kFamilies) {
        SCOPED_TRACE(f.name);
        IndexFile written = make_index(f);
        std::string path = dir.file(std::string(f.name) + ".dat");
        {
            fileio::File file;
            ASSERT_TRUE(file.open(path.c_str(), fileio::File::Mode::CreateNew));
            ASSERT_EQ(write_index_file(file, written), IndexError::None);
        }
        EXPECT_EQ(file_bytes(path).size(), expected_size(written));

        IndexFile read;
        ASSERT_EQ(read_index_file(path.c_str(), read), IndexError::None);
        EXPECT_EQ(read.codec, f.codec);
        EXPECT_EQ(read.width, 320);
        EXPECT_EQ(read.height, 240);
        EXPECT_EQ(read.frame_rate, 29.97);
        EXPECT_EQ(read.has_blocks, f.blocks);
        EXPECT_EQ(read.block1, written.block1);
        EXPECT_EQ(read.block2, written.block2);
        ASSERT_EQ(read.segments.size(), written.segments.size());
        for (size_t i = 0; i < read.segments.size(); ++i) {
            EXPECT_EQ(std::memcmp(&read.segments[i].entry, &written.segments[i].entry, sizeof(IndexEntry)), 0) << i;
            EXPECT_EQ(read.segments[i].thumbnail, written.segments[i].thumbnail) << i;
        }
    }
}

TEST(IndexFile, EmptyIndexSizes) {
    std::vector<uint8_t> bytes;
    ASSERT_EQ(encode_index_file(make_index({"MTV", 0, false, false, 0}), bytes), IndexError::None);
    EXPECT_EQ(bytes.size(), 24u);
    ASSERT_EQ(encode_index_file(make_index({"FLV", 2, true, false, 0}), bytes), IndexError::None);
    ASSERT_EQ(bytes.size(), 32u);
    int32_t lengths[2];
    std::memcpy(lengths, bytes.data() + 24, 8);
    EXPECT_EQ(lengths[0], 0);
    EXPECT_EQ(lengths[1], 0);
}

TEST(IndexFile, StoredPointerSlotIsWrittenAsZeroAndIgnoredOnReading) {
    IndexFile index = make_index({"analysed", 3, false, true, 16});
    index.segments[1].entry.data_ptr = 0xDEADBEEF;
    std::vector<uint8_t> bytes;
    ASSERT_EQ(encode_index_file(index, bytes), IndexError::None);
    uint32_t slot;
    std::memcpy(&slot, bytes.data() + 24 + 28 + index.segments[0].thumbnail.size() + 24, 4);
    EXPECT_EQ(slot, 0u);
    // A file written by another writer may carry anything in the slot.
    poke<uint32_t>(bytes, 24 + 24, 0x12345678u);
    IndexFile read;
    ASSERT_EQ(parse_index_file(bytes.data(), bytes.size(), read), IndexError::None);
    EXPECT_EQ(read.segments[0].entry.data_ptr, 0u);
}

TEST(IndexFile, WriterRefusesWhatTheRecordCannotHold) {
    IndexFile index = make_index({"FLV", 7, true, false, 2});
    std::vector<uint8_t> bytes;
    index.block1.assign(kParamBlockSize + 1, 0);
    EXPECT_EQ(encode_index_file(index, bytes), IndexError::BadBlock);
    index.block1.clear();
    index.segments[0].set_thumbnail(std::vector<uint8_t>(kMaxThumbnailBytes + 1));
    EXPECT_EQ(encode_index_file(index, bytes), IndexError::BadThumbnail);
}

namespace {

struct Damage {
    const char* name;
    void (*apply)(std::vector<uint8_t>&);
    IndexError expected;
};

// The base file: FLV with AVC blocks, thumbnails after entry 0 (100 bytes) and entry 15 (115 bytes);
// its trailer ends with L1 at size - 24, block 1 (14 bytes), L2 at size - 6, block 2 (2 bytes).
constexpr size_t kEntry0 = 24, kThumb0 = kEntry0 + 28;

const Damage kDamages[] = {
    {"empty file", [](std::vector<uint8_t>& b) { b.clear(); }, IndexError::ShortHeader},
    {"header cut", [](std::vector<uint8_t>& b) { b.resize(23); }, IndexError::ShortHeader},
    {"negative count", [](std::vector<uint8_t>& b) { poke<int32_t>(b, 20, -1); }, IndexError::BadCount},
    {"huge count", [](std::vector<uint8_t>& b) { poke<int32_t>(b, 20, 0x7FFFFFFF); }, IndexError::BadCount},
    {"count one past the bytes", [](std::vector<uint8_t>& b) { poke<int32_t>(b, 20, int32_t(b.size() / 28)); },
     IndexError::BadCount},
    {"entries cut", [](std::vector<uint8_t>& b) { b.resize(kEntry0 + 20 * 28); }, IndexError::BadCount},
    {"negative width", [](std::vector<uint8_t>& b) { poke<int32_t>(b, 4, -320); }, IndexError::BadHeader},
    {"absurd height", [](std::vector<uint8_t>& b) { poke<int32_t>(b, 8, 1 << 30); }, IndexError::BadHeader},
    {"frame rate not a number", [](std::vector<uint8_t>& b) { poke<uint64_t>(b, 12, 0x7FF8000000000000ull); },
     IndexError::BadHeader},
    {"negative thumbnail", [](std::vector<uint8_t>& b) { poke<int32_t>(b, kEntry0 + 20, -5); },
     IndexError::BadThumbnail},
    {"huge thumbnail", [](std::vector<uint8_t>& b) { poke<int32_t>(b, kEntry0 + 20, 0x40000000); },
     IndexError::BadThumbnail},
    {"thumbnail past the end", [](std::vector<uint8_t>& b) { b.resize(kThumb0 + 50); }, IndexError::BadCount},
    {"last thumbnail past the end",
     [](std::vector<uint8_t>& b) {
         // Drop the trailer and most of the entries so the last entry's thumbnail reaches past the end.
         poke<int32_t>(b, 20, 1);
         b.resize(kThumb0 + 99);
     },
     IndexError::ShortThumbnail},
    {"block 1 over 512", [](std::vector<uint8_t>& b) { poke<int32_t>(b, b.size() - 8 - 14 - 2, 513); },
     IndexError::BadBlock},
    {"block 1 negative", [](std::vector<uint8_t>& b) { poke<int32_t>(b, b.size() - 8 - 14 - 2, -1); },
     IndexError::BadBlock},
    {"block 1 past the end", [](std::vector<uint8_t>& b) { poke<int32_t>(b, b.size() - 8 - 14 - 2, 500); },
     IndexError::ShortBlock},
    {"block 2 over 512", [](std::vector<uint8_t>& b) { poke<int32_t>(b, b.size() - 4 - 2, 100000); },
     IndexError::BadBlock},
    {"block 2 past the end", [](std::vector<uint8_t>& b) { poke<int32_t>(b, b.size() - 4 - 2, 3); },
     IndexError::ShortBlock},
    {"trailer cut in its length", [](std::vector<uint8_t>& b) { b.resize(b.size() - 8 - 14 - 2 + 2); },
     IndexError::ShortBlock},
    {"second length missing", [](std::vector<uint8_t>& b) { b.resize(b.size() - 4 - 2); }, IndexError::ShortBlock},
    {"bytes after the trailer", [](std::vector<uint8_t>& b) { b.push_back(0); }, IndexError::TrailingBytes},
};

}  // namespace

TEST(IndexFile, DamagedFilesAreRefused) {
    IndexFile base = make_index({"analysed FLV", 7, true, true, 30});
    std::vector<uint8_t> good;
    ASSERT_EQ(encode_index_file(base, good), IndexError::None);
    TempFolder dir;
    for (const Damage& d : kDamages) {
        SCOPED_TRACE(d.name);
        std::vector<uint8_t> bytes = good;
        d.apply(bytes);
        std::string path = dir.file("damaged.dat");
        put_file(path, bytes);
        IndexFile read;
        read.codec = 99;
        EXPECT_EQ(read_index_file(path.c_str(), read), d.expected) << index_error_name(read_index_file(path.c_str(), read));
        EXPECT_TRUE(read.segments.empty());
        EXPECT_EQ(read.codec, 0);
        EXPECT_FALSE(read.has_blocks);
    }
}

TEST(IndexFile, MissingFileIsReported) {
    TempFolder dir;
    IndexFile read;
    EXPECT_EQ(read_index_file(dir.file("absent.dat").c_str(), read), IndexError::CannotOpen);
}

TEST(IndexFile, AdoptedIndexFillsTheRow) {
    MediaFile file;
    file.record.segments = 7;
    adopt_index(file, make_index({"FLV", 7, true, false, 9}));
    EXPECT_EQ(file.record.segment_count, 9);
    EXPECT_EQ(file.segments.size(), 9u);
    EXPECT_EQ(file.record.segments, 0u);
    EXPECT_EQ(file.record.param_len1, 14);
    EXPECT_EQ(file.record.param_len2, 2);
    EXPECT_EQ(file.record.param_block1[4], 0x67);
    EXPECT_EQ(file.record.param_block2[0], 0x12);
}
