#include "index_file.h"
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Bounds-checked reading of little-endian fields from a byte range.
class Cursor {
public:
    Cursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t remaining() const { return size_ - at_; }
    bool take(void* out, size_t n) {
        if (n > remaining()) return false;
        if (n) std::memcpy(out, data_ + at_, n);
        at_ += n;
        return true;
    }
    bool take_int(int32_t& out) { return take(&out, sizeof out); }
    bool take_bytes(std::vector<uint8_t>& out, size_t n) {
        if (n > remaining()) return false;
        out.assign(data_ + at_, data_ + at_ + n);
        at_ += n;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

bool header_is_sane(const IndexFileHeader& h) {
    return h.width >= 0 && h.width <= kMaxIndexPictureSide && h.height >= 0 && h.height <= kMaxIndexPictureSide &&
           std::isfinite(h.frame_rate) && h.frame_rate >= 0.0;
}

IndexError read_block(Cursor& in, std::vector<uint8_t>& block) {
    int32_t length = 0;
    if (!in.take_int(length)) return IndexError::ShortBlock;
    if (length < 0 || length > kParamBlockSize) return IndexError::BadBlock;
    if (!in.take_bytes(block, size_t(length))) return IndexError::ShortBlock;
    return IndexError::None;
}

IndexError parse(Cursor& in, IndexFile& out) {
    IndexFileHeader header;
    if (!in.take(&header, sizeof header)) return IndexError::ShortHeader;
    if (!header_is_sane(header)) return IndexError::BadHeader;
    // Each entry needs its 28 bytes at least, so a count the file cannot hold is refused before
    // anything is allocated.
    if (header.count < 0 || uint64_t(header.count) * sizeof(IndexEntry) > in.remaining()) return IndexError::BadCount;
    out.codec = header.codec;
    out.width = header.width;
    out.height = header.height;
    out.frame_rate = header.frame_rate;
    out.segments.resize(size_t(header.count));
    for (Segment& segment : out.segments) {
        if (!in.take(&segment.entry, sizeof segment.entry)) return IndexError::ShortEntries;
        segment.entry.data_ptr = 0;
        int32_t packed = segment.entry.data_size;
        if (packed < 0 || packed > kMaxThumbnailBytes) return IndexError::BadThumbnail;
        if (!in.take_bytes(segment.thumbnail, size_t(packed))) return IndexError::ShortThumbnail;
    }
    if (in.remaining() == 0) return IndexError::None;
    out.has_blocks = true;
    if (IndexError e = read_block(in, out.block1); e != IndexError::None) return e;
    if (IndexError e = read_block(in, out.block2); e != IndexError::None) return e;
    return in.remaining() == 0 ? IndexError::None : IndexError::TrailingBytes;
}

void append(std::vector<uint8_t>& bytes, const void* data, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + n);
}

void append_block(std::vector<uint8_t>& bytes, const std::vector<uint8_t>& block) {
    int32_t length = int32_t(block.size());
    append(bytes, &length, sizeof length);
    append(bytes, block.data(), block.size());
}

// The reader never returns blocks above kParamBlockSize; the copy is bounded all the same.
void store_block(uint8_t (&field)[kParamBlockSize], const std::vector<uint8_t>& block) {
    std::memset(field, 0, sizeof field);
    if (!block.empty()) std::memcpy(field, block.data(), std::min(block.size(), sizeof field));
}

}  // namespace

const char* index_error_name(IndexError error) {
    switch (error) {
    case IndexError::None: return "none";
    case IndexError::CannotOpen: return "cannot open";
    case IndexError::CannotWrite: return "cannot write";
    case IndexError::TooLarge: return "too large";
    case IndexError::ShortHeader: return "short header";
    case IndexError::BadHeader: return "bad header";
    case IndexError::BadCount: return "bad entry count";
    case IndexError::ShortEntries: return "short entries";
    case IndexError::BadThumbnail: return "bad thumbnail length";
    case IndexError::ShortThumbnail: return "short thumbnail";
    case IndexError::BadBlock: return "bad block length";
    case IndexError::ShortBlock: return "short block";
    case IndexError::TrailingBytes: return "trailing bytes";
    }
    return "?";
}

IndexError parse_index_file(const uint8_t* data, size_t size, IndexFile& out) {
    out = IndexFile();
    Cursor in(data, size);
    IndexError error = parse(in, out);
    if (error != IndexError::None) out = IndexFile();
    return error;
}

IndexError read_index_file(const char* path, IndexFile& out) {
    out = IndexFile();
    fileio::File file;
    if (!file.open(path, fileio::File::Mode::Read)) return IndexError::CannotOpen;
    int64_t size = file.size();
    if (size < 0) return IndexError::CannotOpen;
    if (size > kMaxIndexFileBytes) return IndexError::TooLarge;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!file.read_exact(bytes.data(), size)) return IndexError::CannotOpen;
    return parse_index_file(bytes.data(), bytes.size(), out);
}

IndexError encode_index_file(const IndexFile& index, std::vector<uint8_t>& bytes) {
    bytes.clear();
    IndexFileHeader header{index.codec, index.width, index.height, index.frame_rate,
                           static_cast<int32_t>(index.segments.size())};
    if (!header_is_sane(header) || index.segments.size() > size_t(INT32_MAX)) return IndexError::BadHeader;
    if (index.block1.size() > size_t(kParamBlockSize) || index.block2.size() > size_t(kParamBlockSize))
        return IndexError::BadBlock;
    append(bytes, &header, sizeof header);
    for (const Segment& segment : index.segments) {
        if (segment.thumbnail.size() > size_t(kMaxThumbnailBytes)) return IndexError::BadThumbnail;
        IndexEntry entry = segment.entry;
        entry.data_size = static_cast<int32_t>(segment.thumbnail.size());
        entry.data_ptr = 0;
        append(bytes, &entry, sizeof entry);
        append(bytes, segment.thumbnail.data(), segment.thumbnail.size());
    }
    if (index.has_blocks) {
        append_block(bytes, index.block1);
        append_block(bytes, index.block2);
    }
    return IndexError::None;
}

IndexError write_index_file(fileio::File& file, const IndexFile& index) {
    std::vector<uint8_t> bytes;
    if (IndexError e = encode_index_file(index, bytes); e != IndexError::None) return e;
    return file.write_all(bytes.data(), int64_t(bytes.size())) ? IndexError::None : IndexError::CannotWrite;
}

void adopt_index(MediaFile& file, IndexFile&& index) {
    MediaFileRecord& r = file.record;
    file.segments = std::move(index.segments);
    r.segment_count = static_cast<int32_t>(file.segments.size());
    r.segments = 0;
    r.param_len1 = static_cast<int32_t>(index.block1.size());
    r.param_len2 = static_cast<int32_t>(index.block2.size());
    store_block(r.param_block1, index.block1);
    store_block(r.param_block2, index.block2);
}
