// Reading: validates the RIFF structure and the stream headers and builds the tables of video and
// audio chunks from "idx1" or, without a usable index, by scanning the "movi" list. Every length
// and offset taken from the file is checked against the bytes actually there.
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>
#include "avi_bytes.h"
#include "avilib.h"

using avi_bytes::get16;
using avi_bytes::get32;
using avi_bytes::same_code;

namespace {

struct ReadState {
    int64_t file_size = 0;
    std::vector<uint8_t> hdrl;
    bool have_hdrl = false;
    bool have_movi = false;
    bool have_idx1 = false;
};

int64_t even(uint32_t length) { return int64_t(length) + (length & 1); }

// Top-level chunks: keeps the header list and the index, notes where the movi data starts.
int walk_top_level(AviFile* avi, ReadState& st) {
    int64_t pos = 12;
    for (;;) {
        uint8_t head[8];
        if (!avi->file.seek(pos) || !avi->file.read_exact(head, 8)) return 0;
        pos += 8;
        const uint32_t length = get32(head + 4);
        int64_t n = even(length);
        if (same_code(head, "RIFF")) {
            // A file past 1 GB goes on in "AVIX" RIFFs with an index of their own, which this reader
            // does not read: refused whole rather than read up to its first RIFF as if complete.
            uint8_t type[4];
            if (avi->file.read_exact(type, 4) && same_code(type, "AVIX")) return AVI_ERR_OPENDML;
        } else if (same_code(head, "LIST")) {
            if (length < 4) return AVI_ERR_BAD_CHUNK;
            uint8_t type[4];
            if (!avi->file.read_exact(type, 4)) return AVI_ERR_READ;
            pos += 4;
            n -= 4;
            if (same_code(type, "hdrl") && !st.have_hdrl) {
                const int64_t size = int64_t(length) - 4;
                if (pos + size > st.file_size) return AVI_ERR_BAD_CHUNK;
                try {
                    st.hdrl.resize(size_t(size));
                } catch (const std::bad_alloc&) {
                    return AVI_ERR_NO_MEM;
                }
                if (!avi->file.read_exact(st.hdrl.data(), size)) return AVI_ERR_READ;
                st.have_hdrl = true;
            } else if (same_code(type, "movi") && !st.have_movi) {
                avi->movi_data_pos = pos;
                st.have_movi = true;
            }
        } else if (same_code(head, "idx1") && !st.have_idx1 && pos + length <= st.file_size) {
            // An index cut off by the end of the file is left out: the chunks are scanned instead.
            const int count = int(length / 16);
            avi->index_entries = static_cast<AviIndexEntry*>(std::malloc(size_t(count ? count : 1) * 16));
            if (!avi->index_entries) return AVI_ERR_NO_MEM;
            if (!avi->file.read_exact(avi->index_entries, int64_t(count) * 16)) return AVI_ERR_READ;
            avi->index_used = avi->index_capacity = count;
            st.have_idx1 = true;
        }
        pos += n;
        if (pos >= st.file_size) return 0;
    }
}

void two_digit_id(char* id, int stream_no, const char* kind) {
    id[0] = char('0' + stream_no / 10);
    id[1] = char('0' + stream_no % 10);
    id[2] = kind[0];
    id[3] = kind[1];
}

// Stream headers and formats inside "hdrl"; the first video and the first audio stream count.
int walk_header_list(AviFile* avi, const std::vector<uint8_t>& hdrl) {
    enum class Kind { None, Video, Audio } last = Kind::None;
    bool video_header = false, video_format = false, audio_header = false;
    int stream = 0;
    const size_t size = hdrl.size();
    size_t p = 0;
    while (size - p >= 8) {
        const uint8_t* head = hdrl.data() + p;
        const uint32_t length = get32(head + 4);
        if (same_code(head, "LIST")) {
            if (length < 4 || length > size - p - 8) return AVI_ERR_BAD_CHUNK;
            p += 12;
            continue;
        }
        if (length > size - p - 8) return AVI_ERR_BAD_CHUNK;
        const uint8_t* data = head + 8;
        if (same_code(head, "strh")) {
            if (length < 36) return AVI_ERR_BAD_CHUNK;
            if (stream > 99) return AVI_ERR_BAD_CHUNK;
            if (same_code(data, "vids") && !video_header) {
                std::memcpy(avi->compressor, data + 4, 4);
                avi->compressor[4] = 0;
                const uint32_t scale = get32(data + 20), rate = get32(data + 24);
                if (scale) avi->fps = double(rate) / scale;
                avi->frame_count = int(get32(data + 32) & 0x7FFFFFFF);
                avi->video_stream_no = stream;
                video_header = true;
                last = Kind::Video;
            } else if (same_code(data, "auds") && !audio_header) {
                int bytes = (avi->audio_bits + 7) / 8 * avi->audio_channels;
                avi->audio_byte_count = int64_t(get32(data + 32)) * (bytes ? bytes : 1);
                avi->audio_stream_no = stream;
                avi->audio_scale = get32(data + 20);
                avi->audio_stream_rate = get32(data + 24);
                avi->audio_sample_size = length >= 48 ? get32(data + 44) : 0;
                audio_header = true;
                last = Kind::Audio;
            } else {
                last = Kind::None;
            }
            ++stream;
        } else if (same_code(head, "strf")) {
            if (last == Kind::Video) {
                if (length < 12) return AVI_ERR_BAD_CHUNK;
                avi->width = int(get32(data + 4));
                avi->height = int(get32(data + 8));
                video_format = true;
            } else if (last == Kind::Audio) {
                if (length < 16) return AVI_ERR_BAD_CHUNK;
                avi->audio_format_tag = get16(data);
                avi->audio_channels = get16(data + 2);
                avi->audio_rate = int(get32(data + 4) & 0x7FFFFFFF);
                avi->audio_byte_rate = int(get32(data + 8) & 0x7FFFFFFF);
                avi->audio_block_align = get16(data + 12);
                avi->audio_bits = get16(data + 14);
            }
            last = Kind::None;
        }
        const size_t step = 8 + size_t(length) + (length & 1);  // a missing last pad byte is tolerated
        p = step > size - p ? size : p + step;
    }
    if (!video_header || !video_format || avi->frame_count == 0) return AVI_ERR_NO_VIDS;
    return 0;
}

// True when the chunk header at pos carries the id and length of the index entry.
bool header_matches(AviFile* avi, int64_t pos, const AviIndexEntry& e) {
    uint8_t head[8];
    return pos >= 0 && avi->file.seek(pos) && avi->file.read_exact(head, 8) && same_code(head, e.id) &&
           get32(head + 4) == e.length;
}

// How the index's offsets count: 1 absolute, 2 from the "movi" type field, 0 neither.
int index_type(AviFile* avi) {
    for (int i = 0; i < avi->index_used; ++i) {
        const AviIndexEntry& e = avi->index_entries[i];
        if (!same_code(e.id, avi->video_chunk_id, 3)) continue;
        if (header_matches(avi, e.offset, e)) return 1;
        if (header_matches(avi, avi->movi_data_pos + int64_t(e.offset) - 4, e)) return 2;
        return 0;
    }
    return 0;
}

bool is_data_chunk(const uint8_t* id) {
    return same_code(id + 2, "db", 2) || same_code(id + 2, "dc", 2) || same_code(id + 2, "wb", 2);
}

// Rebuilds the index from the chunks themselves, descending into nested lists; a chunk whose
// data run past the end of the file ends the scan (a cut-off recording keeps its whole chunks).
int rebuild_index(AviFile* avi, int64_t file_size) {
    std::vector<AviIndexEntry> found;
    int64_t pos = avi->movi_data_pos;
    for (;;) {
        uint8_t head[8];
        if (!avi->file.seek(pos) || !avi->file.read_exact(head, 8)) break;
        const uint32_t length = get32(head + 4);
        if (same_code(head, "LIST")) {
            if (length < 4) return AVI_ERR_BAD_CHUNK;
            pos += 12;
            continue;
        }
        if (pos + 8 + int64_t(length) > file_size || pos > 0xFFFFFFFFLL) break;
        if (is_data_chunk(head)) {
            AviIndexEntry e;
            std::memcpy(e.id, head, 4);
            e.flags = 0;
            e.offset = uint32_t(pos);
            e.length = length;
            try {
                found.push_back(e);
            } catch (const std::bad_alloc&) {
                return AVI_ERR_NO_MEM;
            }
        }
        pos += 8 + even(length);
    }
    std::free(avi->index_entries);
    avi->index_entries = static_cast<AviIndexEntry*>(std::malloc((found.size() + 1) * sizeof(AviIndexEntry)));
    if (!avi->index_entries) return AVI_ERR_NO_MEM;
    if (!found.empty()) std::memcpy(avi->index_entries, found.data(), found.size() * sizeof(AviIndexEntry));
    avi->index_used = avi->index_capacity = int(found.size());
    return 0;
}

// Turns the index into the video and audio tables. An entry whose chunk does not lie inside the file
// is left out (a file cut short converts what it still holds); the entries that remain keep their order.
int build_tables(AviFile* avi, int type, int64_t file_size) {
    const int64_t data_offset = type == 2 ? avi->movi_data_pos + 4 : 8;
    auto inside = [&](const AviIndexEntry& e) {
        const int64_t pos = int64_t(e.offset) + data_offset;
        return pos + int64_t(e.length) <= file_size && pos <= 0xFFFFFFFFLL;
    };
    int videos = 0, audios = 0;
    int64_t audio_total = 0;
    for (int i = 0; i < avi->index_used; ++i) {
        const AviIndexEntry& e = avi->index_entries[i];
        const bool video = same_code(e.id, avi->video_chunk_id, 3);
        const bool audio = same_code(e.id, avi->audio_chunk_id);
        if ((!video && !audio) || !inside(e)) continue;
        video ? ++videos : ++audios;
        // Entries may name one chunk many times; the running totals are 32-bit.
        if (audio && (audio_total += e.length) > 0xFFFFFFFFLL) return AVI_ERR_BAD_CHUNK;
    }
    if (videos == 0) return AVI_ERR_NO_VIDS;
    avi->video_entries = static_cast<AviVideoEntry*>(std::malloc(size_t(videos) * sizeof(AviVideoEntry)));
    if (!avi->video_entries) return AVI_ERR_NO_MEM;
    if (audios) {
        avi->audio_entries = static_cast<AviAudioEntry*>(std::malloc(size_t(audios) * sizeof(AviAudioEntry)));
        if (!avi->audio_entries) return AVI_ERR_NO_MEM;
    }
    int v = 0, a = 0;
    int64_t total = 0;
    for (int i = 0; i < avi->index_used; ++i) {
        const AviIndexEntry& e = avi->index_entries[i];
        if (!inside(e)) continue;
        const uint32_t pos = uint32_t(int64_t(e.offset) + data_offset);
        if (same_code(e.id, avi->video_chunk_id, 3)) {
            avi->video_entries[v++] = {e.flags, pos, e.length};
        } else if (same_code(e.id, avi->audio_chunk_id)) {
            avi->audio_entries[a++] = {pos, e.length, uint32_t(total)};
            total += e.length;
        }
    }
    avi->frame_count = videos;
    avi->audio_chunk_count = audios;
    avi->audio_byte_count = total;
    return 0;
}

int open_input(AviFile* avi, const char* path, int read_index) {
    avi->mode = 1;
    if (!path || !avi->file.open(path, fileio::File::Mode::Read)) return AVI_ERR_OPEN;
    ReadState st;
    st.file_size = avi->file.size();
    uint8_t riff[12];
    if (!avi->file.read_exact(riff, 12)) return AVI_ERR_READ;
    if (!same_code(riff, "RIFF") || !same_code(riff + 8, "AVI ")) return AVI_ERR_NO_AVI;

    if (int code = walk_top_level(avi, st)) return code;
    if (!st.have_hdrl) return AVI_ERR_NO_HDRL;
    if (!st.have_movi) return AVI_ERR_NO_MOVI;
    if (int code = walk_header_list(avi, st.hdrl)) return code;

    two_digit_id(avi->video_chunk_id, avi->video_stream_no, "db");
    if (avi->audio_channels == 0) avi->audio_stream_no = 99;
    two_digit_id(avi->audio_chunk_id, avi->audio_stream_no, "wb");
    if (read_index) {
        int type = st.have_idx1 ? index_type(avi) : 0;
        if (type == 0) {
            if (int code = rebuild_index(avi, st.file_size)) return code;
            type = 1;
        }
        if (int code = build_tables(avi, type, st.file_size)) return code;
    }
    if (!avi->file.seek(avi->movi_data_pos)) return AVI_ERR_READ;
    avi->next_frame = 0;
    return 0;
}

}  // namespace

AviFile* AVI_open_input_file(const char* path, int read_index) {
    AviFile* avi = new (std::nothrow) AviFile();
    if (!avi) {
        AVI_errno = AVI_ERR_NO_MEM;
        return nullptr;
    }
    if (int code = open_input(avi, path, read_index)) {
        AVI_close(avi);
        AVI_errno = code;
        return nullptr;
    }
    return avi;
}

double AVI_audio_chunk_time(const AviFile* avi, int index) {
    if (!avi || !avi->audio_entries || index < 0 || index >= avi->audio_chunk_count) return -1;
    const uint32_t scale = avi->audio_scale, rate = avi->audio_stream_rate;
    if (scale > 0 && rate > 0) {
        const double step = double(scale) / double(rate);
        if (avi->audio_sample_size == 0) return double(index) * step;
        return double(avi->audio_entries[index].total_before / avi->audio_sample_size) * step;
    }
    if (avi->audio_byte_rate > 0) return double(avi->audio_entries[index].total_before) / avi->audio_byte_rate;
    return -1;
}
