#include "codecs/tolmmux/mux_core.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>
#include "base/fileio.h"
#include "media/avi/avilib.h"
#include "media/mpeg/ac3_framer.h"
#include "media/mpeg/audio_framer.h"
#include "media/mpeg/mpeg_headers.h"
#include "media/mpeg/ps_parser.h"

namespace mux {

namespace {

using namespace mpeg;

constexpr size_t kChunk = 64 * 1024;
constexpr int64_t kHeadBytes = int64_t(8) << 20;
constexpr int64_t kTailBytes = int64_t(4) << 20;

// The start codes of a video elementary stream, across pieces: the first sequence header and its
// MPEG-2 extension, and every picture start.
class VideoScan {
public:
    void push(const uint8_t* p, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            const uint8_t b = p[i];
            if (want_ > 0) {
                collected_[collected_length_++] = b;
                if (collected_length_ == want_) finish_collect();
            }
            window_ = window_ << 8 | b;
            if ((window_ & 0xFFFFFF00u) != 0x00000100u) continue;
            if (b == 0x00) {
                ++pictures;
            } else if (b == kSequenceHeader && !has_sequence) {
                start_collect(b, 8);
            } else if (b == 0xB5 && has_sequence) {
                start_collect(b, 1);
            }
        }
    }
    bool has_sequence = false;
    SequenceHeader sequence;
    int version = 1;
    int pictures = 0;

private:
    void start_collect(uint8_t id, int bytes) {
        id_ = id;
        want_ = bytes;
        collected_length_ = 0;
    }
    void finish_collect() {
        want_ = 0;
        if (id_ == kSequenceHeader) {
            uint8_t header[12] = {0, 0, 1, kSequenceHeader};
            std::memcpy(header + 4, collected_, 8);
            has_sequence = parse_sequence_header(header, sizeof header, &sequence);
        } else if ((collected_[0] >> 4) == 1) {
            version = 2;  // sequence extension
        }
    }
    uint32_t window_ = 0xFFFFFFFFu;
    uint8_t id_ = 0;
    int want_ = 0;
    uint8_t collected_[8] = {};
    int collected_length_ = 0;
};

struct AudioScan {
    AudioFramer mpeg{false};
    Ac3Framer ac3;
    bool has_mpeg = false, has_ac3 = false;
    mpa::FrameHeader first_mpeg;
    Ac3Header first_ac3;
    int64_t mpeg_samples = 0, ac3_frames = 0;

    void mpeg_bytes(const uint8_t* p, size_t n) {
        mpeg.push(p, n, [this](const uint8_t*, int, const mpa::FrameHeader& h) { count(h); }, nullptr);
    }
    void ac3_bytes(const uint8_t* p, size_t n) {
        ac3.push(p, n, [this](const uint8_t*, int, const Ac3Header& h) {
            if (!has_ac3) first_ac3 = h;
            has_ac3 = true;
            ++ac3_frames;
        });
    }
    void flush() {
        mpeg.flush([this](const uint8_t*, int, const mpa::FrameHeader& h) { count(h); });
    }
    void count(const mpa::FrameHeader& h) {
        if (!has_mpeg) first_mpeg = h;
        has_mpeg = true;
        mpeg_samples += h.samples;
    }
};

struct TimeStamps {
    int64_t min = -1, max = -1;
    void add(int64_t pts) {
        if (pts < 0) return;
        if (min < 0 || pts < min) min = pts;
        if (pts > max) max = pts;
    }
};

// Everything gathered while the file is read.
struct Scan {
    VideoScan video;
    AudioScan audio;
    TimeStamps stamps;
    PsParser ps;        // program stream, or the video packets of a transport stream
    PsParser ps_audio;  // the audio packets of a transport stream
    PsParser::Sinks sinks;

    // transport stream
    std::vector<int> programs;
    size_t program_next = 0;
    int pmt_pid = 0;
    int video_pid = 0, audio_pid = 0;
    int first_audio_only_pid = 0;
    bool tables_done = false;

    Scan() {
        sinks.video = [this](const uint8_t* p, size_t n) { video.push(p, n); };
        sinks.audio = [this](const uint8_t* p, size_t n) { audio.mpeg_bytes(p, n); };
        sinks.private_packet = [this](const uint8_t* p, size_t n) {
            const uint8_t* data = nullptr;
            size_t length = 0;
            if (private_stream_ac3(p, n, &data, &length)) audio.ac3_bytes(data, length);
        };
        sinks.pes_header = [this](const uint8_t* h, int length) { stamps.add(pes_pts(h, length)); };
    }

    void transport_packet(const uint8_t* packet) {
        TsPacket ts;
        if (!parse_ts_packet(packet, &ts)) return;
        if (!tables_done) {
            const int at = psi_section_offset(packet, ts);
            if (at < 0) return;
            if (ts.pid == 0) {
                std::vector<PatEntry> entries;
                if (parse_pat(packet + at, size_t(kTsPacket - at), &entries))
                    for (const PatEntry& e : entries)
                        if (std::find(programs.begin(), programs.end(), e.pid) == programs.end()) programs.push_back(e.pid);
                if (!programs.empty() && pmt_pid == 0) pmt_pid = programs[program_next++];
            } else if (ts.pid == pmt_pid) {
                std::vector<PmtStream> streams;
                if (!parse_pmt(packet + at, size_t(kTsPacket - at), &streams)) return;
                int v = 0, a = 0;
                for (const PmtStream& s : streams) {
                    if (s.type == 1 || s.type == 2) v = s.pid;
                    if (s.type == 3 || s.type == 4) a = s.pid;
                }
                if (v) {
                    video_pid = v;
                    audio_pid = a;
                    tables_done = true;
                } else {
                    if (a && !first_audio_only_pid) first_audio_only_pid = a;
                    if (program_next < programs.size()) pmt_pid = programs[program_next++];
                    else if (first_audio_only_pid) {
                        audio_pid = first_audio_only_pid;
                        tables_done = true;
                    }
                }
            }
            return;
        }
        if (!ts.has_payload) return;
        const uint8_t* p = packet + ts.payload_offset;
        const size_t n = size_t(kTsPacket - ts.payload_offset);
        if (ts.pid == video_pid) ps.push_transport(p, n, ts.unit_start, sinks);
        else if (ts.pid == audio_pid) ps_audio.push_transport(p, n, ts.unit_start, sinks);
    }
};

// Where the first of several 188-byte packets starts, or -1.
int transport_alignment(const uint8_t* p, size_t n) {
    for (size_t o = 0; o < size_t(kTsPacket) && o < n; ++o) {
        int good = 0;
        for (size_t k = o; k < n && good < 5; k += kTsPacket, ++good)
            if (p[k] != kTsSync) break;
        if (good >= 5 || (good >= 2 && o + size_t(good) * kTsPacket >= n)) return int(o);
    }
    return -1;
}

bool starts_with_code(const uint8_t* p, size_t n, size_t at, uint8_t low, uint8_t high) {
    return at + 4 <= n && p[at] == 0 && p[at + 1] == 0 && p[at + 2] == 1 && p[at + 3] >= low && p[at + 3] <= high;
}

// MPEG audio frames (with an ID3v2 tag skipped) or AC-3 frames at the start: 0 MPEG, 1 AC-3, -1 none.
int audio_elementary(const uint8_t* p, size_t n) {
    size_t at = 0;
    if (n >= 10 && std::memcmp(p, "ID3", 3) == 0)
        at = 10 + (size_t(p[6] & 0x7F) << 21 | size_t(p[7] & 0x7F) << 14 | size_t(p[8] & 0x7F) << 7 | (p[9] & 0x7F));
    mpa::FrameHeader h, g;
    if (at + 4 <= n && mpa::parse_header(mpa::header_word(p + at), &h) && at + size_t(h.frame_bytes) + 4 <= n &&
        mpa::parse_header(mpa::header_word(p + at + h.frame_bytes), &g) && g.layer == h.layer &&
        g.sample_rate == h.sample_rate)
        return 0;
    Ac3Header a, b;
    if (parse_ac3_header(p, n, &a) && size_t(a.frame_bytes) + 7 <= n &&
        parse_ac3_header(p + a.frame_bytes, n - size_t(a.frame_bytes), &b))
        return 1;
    return -1;
}

int identify(const uint8_t* p, size_t n, int* es_audio) {
    *es_audio = -1;
    if (n >= 12 && std::memcmp(p, "RIFF", 4) == 0) {
        if (std::memcmp(p + 8, "AVI ", 4) == 0) return MUX_AVI;
        if (std::memcmp(p + 8, "CDXA", 4) == 0) return MUX_PROGRAM;
    }
    if (transport_alignment(p, n) >= 0) return MUX_TRANSPORT;
    for (size_t i = 0; i < n && i < 2048; ++i) {
        if (starts_with_code(p, n, i, kPackStart, kPackStart)) return MUX_PROGRAM;
        if (p[i] != 0) break;  // only zero bytes may come first
    }
    if (starts_with_code(p, n, 0, 0xBD, 0xBD) || starts_with_code(p, n, 0, 0xC0, 0xEF)) return MUX_PES;
    for (size_t i = 0; i < n && i < 2048; ++i) {
        if (starts_with_code(p, n, i, kSequenceHeader, kSequenceHeader)) return MUX_ELEMENTARY;
        if (p[i] != 0) break;
    }
    *es_audio = audio_elementary(p, n);
    return *es_audio >= 0 ? MUX_ELEMENTARY : MUX_UNKNOWN;
}

void describe_avi(const char* path, Description* d) {
    AviFile* avi = AVI_open_input_file(path, 1);
    if (!avi) return;
    Mpeg4VideoInfo& v = d->avi_video;
    v.bitmap.size = 40;
    v.bitmap.width = v.width = avi->width;
    v.bitmap.height = v.height = avi->height;
    v.bitmap.planes = 1;
    v.bitmap.bit_count = 24;
    std::memcpy(v.bitmap.compression, avi->compressor, 4);
    std::memcpy(v.code, avi->compressor, 4);
    v.bitmap.size_image = uint32_t(avi->width) * uint32_t(avi->height) * 3;
    v.frame_rate = avi->fps;
    v.frame_count = avi->frame_count;
    for (int i = 0; i < avi->frame_count && avi->video_entries; ++i)
        v.key_frames += (avi->video_entries[i].flags & AVI_KEYFRAME) ? 1 : 0;
    d->video_index = avi->frame_count;
    if (avi->audio_channels > 0) {
        Mpeg4AudioInfo& a = d->avi_audio;
        a.wave.format_tag = uint16_t(avi->audio_format_tag);
        a.wave.channels = uint16_t(avi->audio_channels);
        a.wave.samples_per_sec = uint32_t(avi->audio_rate);
        a.wave.avg_bytes_per_sec = uint32_t(avi->audio_byte_rate);
        a.wave.block_align = uint16_t(avi->audio_block_align);
        a.wave.bits_per_sample = uint16_t(avi->audio_bits);
        const int tag = avi->audio_format_tag;
        a.codec = (tag == 1 || tag == 0x55) ? 0 : (tag | avi->audio_channels << 16);
        a.chunk_count = avi->audio_chunk_count;
        a.total_bytes = uint32_t(avi->audio_byte_count);
        a.channels = avi->audio_channels;
        a.sample_rate = avi->audio_rate;
        a.bits = avi->audio_bits;
        d->audio_index = avi->audio_chunk_count;
    }
    AVI_close(avi);
}

// Reads `length` bytes from `from` in pieces.
template <typename Fn>
bool read_range(fileio::File& file, int64_t from, int64_t length, Fn&& piece) {
    if (!file.seek(from)) return false;
    std::vector<uint8_t> buffer(kChunk);
    while (length > 0) {
        const int64_t want = std::min<int64_t>(length, int64_t(kChunk));
        const int64_t got = file.read(buffer.data(), want);
        if (got <= 0) break;
        piece(buffer.data(), size_t(got));
        length -= got;
    }
    return true;
}

void feed(Scan& s, int main, int es_audio, const uint8_t* p, size_t n, std::vector<uint8_t>& ts_carry) {
    switch (main) {
        case MUX_TRANSPORT: {
            ts_carry.insert(ts_carry.end(), p, p + n);
            size_t i = 0;
            while (i + kTsPacket <= ts_carry.size()) {
                if (ts_carry[i] != kTsSync) {
                    // lost: find the packets again
                    const int o = transport_alignment(ts_carry.data() + i + 1, ts_carry.size() - i - 1);
                    if (o < 0) {
                        i = ts_carry.size();
                        break;
                    }
                    i += size_t(o) + 1;
                    continue;
                }
                s.transport_packet(ts_carry.data() + i);
                i += kTsPacket;
            }
            ts_carry.erase(ts_carry.begin(), ts_carry.begin() + std::ptrdiff_t(i));
            break;
        }
        case MUX_PROGRAM:
        case MUX_PES:
            s.ps.push(p, n, s.sinks);
            break;
        case MUX_ELEMENTARY:
            if (es_audio == 0) s.audio.mpeg_bytes(p, n);
            else if (es_audio == 1) s.audio.ac3_bytes(p, n);
            else s.video.push(p, n);
            break;
        default:
            break;
    }
}

void summarise(const Scan& s, int main, int es_audio, bool whole, Description* d) {
    const VideoScan& v = s.video;
    const AudioScan& a = s.audio;
    const bool video = v.has_sequence;
    d->video_mode = video ? MUX_VIDEO_MPEG : MUX_MODE_NONE;
    if (main == MUX_ELEMENTARY) d->audio_mode = es_audio == 1 ? MUX_AUDIO_AC3 : es_audio == 0 ? MUX_AUDIO_MPEG : MUX_MODE_NONE;
    else if (main == MUX_TRANSPORT) d->audio_mode = a.has_mpeg ? MUX_AUDIO_MPEG : MUX_MODE_NONE;
    else d->audio_mode = a.has_ac3 && !a.has_mpeg ? MUX_AUDIO_AC3 : MUX_AUDIO_MPEG;  // a silent program stream: 0

    if (video) {
        d->video.width = v.sequence.width;
        d->video.height = v.sequence.height;
        d->video.frame_rate = v.sequence.frame_rate;
        d->video.bit_rate_kbps = v.sequence.bit_rate / 1000.0;
        d->video.aspect_code = v.sequence.aspect;
        d->video.mpeg_version = v.version;
        d->video_kbps = v.sequence.bit_rate / 1000;
    }
    if (a.has_mpeg) {
        d->audio.bits = 16;
        d->audio.bit_rate_kbps = a.first_mpeg.bitrate / 1000;
        d->audio.sample_rate = a.first_mpeg.sample_rate;
        d->audio.channels = a.first_mpeg.channels;
        d->audio.layer = a.first_mpeg.layer;
        d->audio_kbps = d->audio.bit_rate_kbps;
    } else if (a.has_ac3) {
        d->ac3_rate = float(a.first_ac3.sample_rate);
        d->ac3_kbps = a.first_ac3.bitrate / 1000;
        d->ac3_channels = 2;  // the AC-3 library mixes down to two channels
        d->audio_kbps = d->ac3_kbps;
    }

    // duration: from the time stamps, else from what the elementary stream holds
    double seconds = 0;
    if (s.stamps.min >= 0 && s.stamps.max > s.stamps.min) {
        const double frame = video && v.sequence.frame_rate > 0 ? 1.0 / v.sequence.frame_rate : 0.0;
        seconds = double(s.stamps.max - s.stamps.min) / 90000.0 + frame;
        d->min_pts = s.stamps.min;
        d->max_pts = s.stamps.max;
        d->begin_ms = int(s.stamps.min / 90);
    } else if (video && v.sequence.frame_rate > 0) {
        seconds = v.pictures / v.sequence.frame_rate;
    } else if (a.has_mpeg && a.first_mpeg.sample_rate > 0) {
        seconds = double(a.mpeg_samples) / a.first_mpeg.sample_rate;
    } else if (a.has_ac3 && a.first_ac3.sample_rate > 0) {
        seconds = double(a.ac3_frames) * 1536 / a.first_ac3.sample_rate;
    }
    d->play_time = int(std::floor(seconds + 1e-3));
    if (video) d->pictures = whole ? v.pictures : int(std::floor(seconds * v.sequence.frame_rate + 1e-3));
    if (seconds > 0) d->total_kbps = int(double(d->file_length) * 8 / seconds / 1000);
    d->video_pid = s.video_pid;
    d->audio_pid = s.audio_pid;
}

}  // namespace

int analyse(const char* path, Description* out, int64_t full_scan_bytes) {
    *out = Description();
    fileio::File file;
    if (!path || !file.open(path, fileio::File::Mode::Read)) return -1;
    const int64_t length = file.size();
    out->file_length = length;
    std::vector<uint8_t> head(size_t(std::min<int64_t>(length, 256 * 1024)));
    if (!file.read_exact(head.data(), int64_t(head.size()))) return -1;
    if (head.empty()) return 0;  // nothing in it: MUX_NOTHING

    int es_audio = -1;
    const int main = identify(head.data(), head.size(), &es_audio);
    out->main_stream = main;
    if (main == MUX_AVI) {
        file.close();
        describe_avi(path, out);
        return 0;
    }
    if (main == MUX_UNKNOWN) return 0;

    Scan s;
    std::vector<uint8_t> ts_carry;
    const bool whole = length <= full_scan_bytes;
    auto piece = [&](const uint8_t* p, size_t n) { feed(s, main, es_audio, p, n, ts_carry); };
    if (whole) {
        read_range(file, 0, length, piece);
    } else {
        read_range(file, 0, kHeadBytes, piece);
        // the tail for the last time stamps: parsers start afresh there
        s.ps.reset();
        s.ps_audio.reset();
        ts_carry.clear();
        s.video.pictures = 0;
        read_range(file, length - kTailBytes, kTailBytes, piece);
    }
    s.audio.flush();
    summarise(s, main, es_audio, whole, out);
    return 0;
}

}  // namespace mux
