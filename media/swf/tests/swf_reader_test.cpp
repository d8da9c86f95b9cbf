// The SWF reader on files from ffmpeg's swf muxer (plain and deflated into "CWS" here) against an
// independent tag walk and ffprobe, and on files built here for the header, tag and sound cases and
// for damaged input.
#include <gtest/gtest.h>
#include <zlib.h>
#include <cstring>
#include <string>
#include <vector>
#include "media/adpcm/tests/av_adpcm.h"
#include "media/swf/swf_reader.h"
#include "media/swf/swf_zlib.h"
#include "tests/support/media_test_tools.h"

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// Builds an SWF file: header, movie header and tags as given.
class SwfBuilder {
public:
    // RECT with fields of `bits` bits.
    SwfBuilder& rect(int bits, int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax) {
        rect_.clear();
        size_t n = 0;
        auto put = [&](uint32_t v, int width) {
            for (int i = width - 1; i >= 0; --i, ++n) {
                if (n % 8 == 0) rect_.push_back(0);
                if (v >> i & 1) rect_.back() |= uint8_t(0x80 >> (n % 8));
            }
        };
        put(uint32_t(bits), 5);
        for (int32_t v : {xmin, xmax, ymin, ymax}) put(uint32_t(v), bits);
        return *this;
    }
    SwfBuilder& rate(uint16_t fixed88) {
        rate_ = fixed88;
        return *this;
    }
    SwfBuilder& frames(uint16_t n) {
        frames_ = n;
        return *this;
    }
    SwfBuilder& tag(int code, const Bytes& body, bool long_form = false) {
        if (body.size() < 63 && !long_form) {
            put16(tags_, uint32_t(code) << 6 | uint32_t(body.size()));
        } else {
            put16(tags_, uint32_t(code) << 6 | 0x3F);
            put32(tags_, uint32_t(body.size()));
        }
        tags_.insert(tags_.end(), body.begin(), body.end());
        return *this;
    }
    SwfBuilder& raw(const Bytes& bytes) {
        tags_.insert(tags_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Bytes build(bool end_tag = true) const {
        Bytes b = {'F', 'W', 'S', 8, 0, 0, 0, 0};
        b.insert(b.end(), rect_.begin(), rect_.end());
        put16(b, rate_);
        put16(b, frames_);
        b.insert(b.end(), tags_.begin(), tags_.end());
        if (end_tag) put16(b, 0);
        const uint32_t size = uint32_t(b.size());
        std::memcpy(&b[4], &size, 4);
        return b;
    }

private:
    Bytes rect_ = {0x00};  // 0-bit fields
    uint16_t rate_ = 25 << 8;
    uint16_t frames_ = 0;
    Bytes tags_;
};

Bytes video_stream(uint16_t frames, uint16_t w, uint16_t h, uint8_t codec) {
    Bytes b;
    put16(b, 1);
    put16(b, frames);
    put16(b, w);
    put16(b, h);
    b.push_back(0);
    b.push_back(codec);
    return b;
}

// Byte 0: rate index << 2 | 16-bit << 1 | stereo; byte 1: format << 4 (and the same rate bits).
Bytes sound_head(int rate_index, bool sixteen, bool stereo, int format) {
    const uint8_t playback = uint8_t(rate_index << 2 | (sixteen ? 2 : 0) | (stereo ? 1 : 0));
    return {playback, uint8_t(format << 4 | (playback & 0x0F)), 0x00, 0x10};
}

// Deflates an "FWS" file into "CWS" as Flash players expect: header kept, body zlib-compressed.
Bytes to_cws(const Bytes& fws) {
    uLongf size = compressBound(uLong(fws.size()));
    Bytes out(8 + size);
    std::memcpy(out.data(), fws.data(), 8);
    out[0] = 'C';
    EXPECT_EQ(Z_OK, compress2(out.data() + 8, &size, fws.data() + 8, uLong(fws.size() - 8), 9));
    out.resize(8 + size);
    return out;
}

// An independent walk over an FWS file's tags: code, body offset, length.
struct WalkedTag {
    int code;
    size_t offset;
    uint32_t length;
};
std::vector<WalkedTag> walk_tags(const Bytes& f) {
    std::vector<WalkedTag> tags;
    const int nbits = f[8] >> 3;
    size_t pos = 8 + (5 + 4 * size_t(nbits) + 7) / 8 + 4;
    while (pos + 2 <= f.size()) {
        const unsigned v = f[pos] | f[pos + 1] << 8;
        uint32_t len = v & 0x3F;
        pos += 2;
        if (len == 0x3F) {
            std::memcpy(&len, &f[pos], 4);
            pos += 4;
        }
        tags.push_back({int(v >> 6), pos, len});
        pos += len;
        if ((v >> 6) == 0) break;
    }
    return tags;
}

class SwfReader : public testing::Test {
protected:
    void SetUp() override { previous_ = swf_set_picture_library(swf_zlib_library()); }
    void TearDown() override {
        swf_set_picture_library(previous_);
        swf_free(ctx_);
    }

    // Writes the bytes to a file of this test and loads it into a new context.
    int load(const Bytes& bytes, const char* name = "case.swf") {
        const std::string path = media_test::fresh_path(name);
        media_test::write_file(path, bytes);
        swf_free(ctx_);
        ctx_ = swf_new();
        return swf_load(ctx_, path.c_str());
    }

    // Parses the bytes through swf_buffer_append alone.
    int parse(const Bytes& bytes) {
        swf_free(ctx_);
        ctx_ = swf_new();
        EXPECT_EQ(0, swf_buffer_append(ctx_, bytes.data(), bytes.size()));
        return swf_parse(ctx_);
    }

    SwfParser* ctx_ = nullptr;
    const SwfPictureLibrary* previous_ = nullptr;
};

TEST_F(SwfReader, FfmpegMovieMatchesItsTagsAndFfprobeAlsoWhenCompressed) {
    const std::string path = media_test::fresh_path("ffmpeg.swf");
    int status = 0;
    media_test::run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=160x120:rate=25 -f lavfi -i "
                    "sine=frequency=440:sample_rate=22050 -t 2 -c:v flv1 -c:a libmp3lame -ar 22050 -ac 2 -f swf '" +
                        path + "'",
                    &status);
    ASSERT_EQ(0, status);
    const Bytes fws = media_test::read_file(path);
    ASSERT_GT(fws.size(), 1000u);

    // ffprobe's view: picture size, the number of pictures and the sound format.
    int video_frames = 0, width = 0, height = 0, sample_rate = 0, channels = 0;
    for (const auto& s : media_test::probe_streams(path)) {
        if (s.at("codec_type") == "video") {
            width = std::stoi(s.at("width"));
            height = std::stoi(s.at("height"));
        } else {
            sample_rate = std::stoi(s.at("sample_rate"));
            channels = std::stoi(s.at("channels"));
        }
    }
    video_frames = std::stoi(media_test::run("ffprobe -v error -count_frames -select_streams v -show_entries "
                                             "stream=nb_read_frames -of csv=p=0 '" + path + "'"));
    ASSERT_EQ(50, video_frames);

    const auto walked = walk_tags(fws);
    std::vector<WalkedTag> indexed;
    const uint8_t* define = nullptr;
    for (const auto& t : walked) {
        if (t.code == 19 || t.code == 61) indexed.push_back(t);
        if (t.code == 60) define = &fws[t.offset];
    }
    ASSERT_NE(nullptr, define);

    const Bytes cws = to_cws(fws);
    ASSERT_LT(cws.size(), fws.size());
    for (const Bytes* file : {&fws, &cws}) {
        const bool compressed = file == &cws;
        SCOPED_TRACE(compressed ? "CWS" : "FWS");
        ASSERT_EQ(0, load(*file, compressed ? "ffmpeg_cws.swf" : "ffmpeg_fws.swf"));
        EXPECT_EQ(kSwfDone, ctx_->parse_result);
        EXPECT_EQ(int(compressed), ctx_->compressed);
        EXPECT_EQ(fws.size(), ctx_->file_length);
        EXPECT_EQ(width, ctx_->frame_width);
        EXPECT_EQ(height, ctx_->frame_height);
        EXPECT_DOUBLE_EQ(25.0, ctx_->frame_rate);
        EXPECT_EQ(video_frames, ctx_->frame_count);
        EXPECT_EQ(2, ctx_->video_codec);
        EXPECT_EQ(define[2] | define[3] << 8, ctx_->video_frames);
        EXPECT_EQ(video_frames, ctx_->video_frames);
        EXPECT_EQ(width, ctx_->video_width);
        EXPECT_EQ(height, ctx_->video_height);
        EXPECT_EQ(2, ctx_->sound_format) << "MP3";
        EXPECT_EQ(sample_rate, ctx_->sound_rate);
        EXPECT_EQ(channels, ctx_->sound_channels);
        EXPECT_EQ(16, ctx_->sound_bits);

        ASSERT_EQ(indexed.size(), ctx_->tags.size());
        int pictures = 0;
        for (size_t i = 0; i < indexed.size(); ++i) {
            const SwfTagEntry& e = ctx_->tags[i];
            ASSERT_EQ(indexed[i].code, e.code);
            ASSERT_EQ(indexed[i].offset, e.offset);
            ASSERT_EQ(indexed[i].length, e.length);
            EXPECT_EQ(-1, e.char_id);
            EXPECT_EQ(int64_t(e.offset), e.file_offset);
            uint32_t length = 0;
            const uint8_t* body = swf_tag_body(ctx_, i, &length);
            ASSERT_NE(nullptr, body);
            ASSERT_EQ(0, std::memcmp(&fws[indexed[i].offset], body, length)) << "tag " << i;
            pictures += e.code == 61;
        }
        EXPECT_EQ(video_frames, pictures);
    }
}

TEST_F(SwfReader, AdpcmSoundStreamIsIndexedBlockByBlock) {
    const auto pcm = av_adpcm::signal(22050, 2, 22050, 0.2);
    const auto packets = av_adpcm::encode("adpcm_swf", pcm, 22050, 2);
    ASSERT_GE(packets.size(), 4u);
    SwfBuilder b;
    b.rect(15, 0, 320 * 20, 0, 240 * 20).tag(45, sound_head(2, true, true, 1));
    for (const auto& p : packets) b.tag(19, p);
    ASSERT_EQ(0, load(b.build()));
    EXPECT_EQ(kSwfDone, ctx_->parse_result);
    EXPECT_EQ(1, ctx_->sound_format);
    EXPECT_EQ(22050, ctx_->sound_rate);
    EXPECT_EQ(2, ctx_->sound_channels);
    EXPECT_EQ(16, ctx_->sound_bits);
    ASSERT_EQ(packets.size(), ctx_->tags.size());
    for (size_t i = 0; i < packets.size(); ++i) {
        uint32_t length = 0;
        const uint8_t* body = swf_tag_body(ctx_, i, &length);
        EXPECT_EQ(19, ctx_->tags[i].code);
        ASSERT_EQ(packets[i].size(), length);
        EXPECT_EQ(0, std::memcmp(packets[i].data(), body, length));
    }
}

TEST_F(SwfReader, RectFieldsOfEveryWidthAreReadAndTheHeaderAfterThem) {
    for (int bits = 1; bits <= 31; ++bits) {
        SCOPED_TRACE(bits);
        const int32_t most = bits == 1 ? 0 : int32_t((1u << (bits - 1)) - 1);
        const int32_t least = bits == 1 ? -1 : -most - 1;
        SwfBuilder b;
        b.rect(bits, least, most, least / 2, most / 3).rate(0x1880).frames(777).tag(60, video_stream(9, 4, 5, 2));
        ASSERT_EQ(kSwfDone, parse(b.build()));
        EXPECT_EQ(int(most * 0.05), ctx_->frame_width);
        EXPECT_EQ(int((most / 3) * 0.05), ctx_->frame_height);
        EXPECT_DOUBLE_EQ(24.5, ctx_->frame_rate);
        EXPECT_EQ(777, ctx_->frame_count);
        EXPECT_EQ(9, ctx_->video_frames) << "the tags start at the next whole byte";
    }
}

TEST_F(SwfReader, TagAndStreamCases) {
    const struct Case {
        const char* name;
        SwfBuilder file;
        int codec, frames, rate, channels, bits, format, indexed;
    } cases[] = {
        {"long-form lengths on short tags",
         SwfBuilder().tag(60, video_stream(12, 176, 144, 2), true).tag(18, sound_head(1, false, false, 2), true)
             .tag(61, Bytes(5, 1), true).tag(19, Bytes(3, 2), true),
         2, 12, 11025, 1, 16, 2, 2},
        {"VP6 video", SwfBuilder().tag(60, video_stream(30, 320, 240, 4)).tag(61, Bytes(10, 7)), 4, 30, 0, 0, 0, 0, 1},
        {"8-bit SoundStreamHead2", SwfBuilder().tag(45, sound_head(3, false, true, 0)).tag(19, Bytes(100, 0)), 0, 0,
         44100, 2, 8, 0, 1},
        {"SoundStreamHead is always 16-bit", SwfBuilder().tag(18, sound_head(0, false, false, 3)), 0, 0, 5512, 1, 16,
         3, 0},
        {"no video", SwfBuilder().tag(9, Bytes(3, 0)).tag(1, {}).tag(19, Bytes(4, 4)).tag(1, {}), 0, 0, 0, 0, 0, 0, 1},
        {"DefineVideoStream of 3 bytes", SwfBuilder().tag(60, Bytes(3, 0xFF)), 0, 0, 0, 0, 0, 0, 0},
        {"SoundStreamHead of 1 byte", SwfBuilder().tag(18, Bytes(1, 0xFF)), 0, 0, 0, 0, 0, 0, 0},
        {"JPEGTables and unknown tags skipped", SwfBuilder().tag(8, Bytes(70, 0xFF)).tag(777, Bytes(9, 0xFF))
             .tag(61, Bytes(2, 0)), 0, 0, 0, 0, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(kSwfDone, parse(c.file.build()));
        EXPECT_EQ(c.codec, ctx_->video_codec);
        EXPECT_EQ(c.frames, ctx_->video_frames);
        EXPECT_EQ(c.rate, ctx_->sound_rate);
        EXPECT_EQ(c.channels, ctx_->sound_channels);
        EXPECT_EQ(c.bits, ctx_->sound_bits);
        EXPECT_EQ(c.format, ctx_->sound_format);
        EXPECT_EQ(size_t(c.indexed), ctx_->tags.size());
    }
}

TEST_F(SwfReader, LoadResultsForDamagedFiles) {
    const Bytes good = SwfBuilder().tag(60, video_stream(1, 2, 2, 2)).tag(61, Bytes(100, 3)).build();
    Bytes corrupt = to_cws(good);
    corrupt[corrupt.size() / 2] ^= 0x55;
    corrupt[corrupt.size() / 2 + 1] ^= 0xAA;
    Bytes stated_short = to_cws(good);
    stated_short[4] -= 1;
    Bytes stated_long = to_cws(good);
    stated_long[4] += 1;
    Bytes bad_signature = good;
    bad_signature[1] = 'X';
    Bytes truncated = good;
    truncated.resize(good.size() - 2 - 50);  // the End tag and half the last body

    const struct {
        const char* name;
        Bytes file;
        int load, parse;
    } cases[] = {
        {"9 bytes", Bytes(good.begin(), good.begin() + 9), -2, 0},
        {"empty", {}, -2, 0},
        {"bad signature", bad_signature, 0, kSwfBadSignature},
        {"truncated last tag", truncated, 0, kSwfNeedData},
        {"corrupt zlib", corrupt, -3, 0},
        {"inflates shorter than stated", stated_long, -3, 0},
        {"inflates longer than stated", stated_short, -3, 0},
        {"stated length over the limit", [] {
             Bytes b = to_cws(SwfBuilder().build());
             const uint32_t huge = kSwfMaxInflated + 9;
             std::memcpy(&b[4], &huge, 4);
             return b;
         }(), -3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.load, load(c.file));
        if (c.load == 0) EXPECT_EQ(c.parse, ctx_->parse_result);
        else EXPECT_TRUE(ctx_->tags.empty());
    }
    ASSERT_EQ(0, load(truncated));
    EXPECT_TRUE(ctx_->tags.empty()) << "the cut tag is not indexed";

    swf_free(ctx_);
    ctx_ = swf_new();
    EXPECT_EQ(-2, swf_load(ctx_, media_test::out_path("no_such_file.swf").c_str()));
    EXPECT_EQ(0, swf_file_length(media_test::out_path("no_such_file.swf").c_str()));
}

TEST_F(SwfReader, WellCompressedFileIsAccepted) {
    // A body that inflates to far more than three times the stored file.
    const Bytes fws = SwfBuilder().tag(61, Bytes(2 << 20, 0)).tag(19, Bytes(1 << 20, 0x11)).build();
    const Bytes cws = to_cws(fws);
    ASSERT_GT(fws.size(), 10 * cws.size());
    ASSERT_EQ(0, load(cws));
    EXPECT_EQ(kSwfDone, ctx_->parse_result);
    ASSERT_EQ(2u, ctx_->tags.size());
    uint32_t length = 0;
    const uint8_t* body = swf_tag_body(ctx_, 1, &length);
    ASSERT_EQ(1u << 20, length);
    EXPECT_EQ(0x11, body[0]);
    EXPECT_EQ(0x11, body[length - 1]);
}

TEST_F(SwfReader, WithoutAPictureLibraryLoadFails) {
    swf_set_picture_library(nullptr);
    EXPECT_EQ(-1, load(SwfBuilder().build()));
    static const SwfPictureLibrary refusing = {[] { return -3; }, [] {}, nullptr};
    swf_set_picture_library(&refusing);
    EXPECT_EQ(-1, load(SwfBuilder().build()));
}

TEST_F(SwfReader, DataArrivingInPiecesIsParsedAsItComes) {
    const Bytes file = SwfBuilder().rect(20, 0, 400000, 0, 300000).tag(60, video_stream(3, 8, 8, 2))
                           .tag(61, Bytes(300, 1)).tag(19, Bytes(70, 2)).tag(61, Bytes(5, 3)).build();
    swf_free(ctx_);
    ctx_ = swf_new();
    int result = kSwfNeedData;
    for (size_t i = 0; i < file.size(); ++i) {
        ASSERT_EQ(kSwfNeedData, result) << "finished early at byte " << i;
        ASSERT_EQ(0, swf_buffer_append(ctx_, &file[i], 1));
        result = swf_parse(ctx_);
    }
    EXPECT_EQ(kSwfDone, result);
    EXPECT_EQ(20000, ctx_->frame_width);
    EXPECT_EQ(3u, ctx_->tags.size());
    EXPECT_EQ(kSwfDone, swf_parse(ctx_)) << "stays at the end";
}

TEST_F(SwfReader, HostileLengthsAndCounts) {
    // Long-form lengths up to 0xFFFFFFFF on a few bytes: waits for data, reads nothing past them.
    for (uint32_t length : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(length);
        Bytes tail;
        put16(tail, 61 << 6 | 0x3F);
        put32(tail, length);
        tail.insert(tail.end(), {1, 2, 3});
        EXPECT_EQ(kSwfNeedData, parse(SwfBuilder().raw(tail).build(false)));
        EXPECT_TRUE(ctx_->tags.empty());
    }
    // A RECT claiming 31-bit fields in a 9-byte movie.
    EXPECT_EQ(kSwfNeedData, parse({'F', 'W', 'S', 1, 9, 0, 0, 0, 0xF8}));
    // A million tiny tags: the index grows with them.
    Bytes many;
    many.reserve(2'000'000 * 2);
    for (int i = 0; i < 1'000'000; ++i) put16(many, i % 2 ? 61u << 6 : 19u << 6);
    ASSERT_EQ(kSwfDone, parse(SwfBuilder().raw(many).build()));
    ASSERT_EQ(1'000'000u, ctx_->tags.size());
    EXPECT_EQ(61, ctx_->tags.back().code);
    EXPECT_EQ(0u, ctx_->tags.back().length);
}

TEST_F(SwfReader, AppendRefusesToPassTheBufferLimit) {
    swf_free(ctx_);
    ctx_ = swf_new();
    const uint8_t byte = 0;
    ctx_->buffer.resize(16);
    EXPECT_EQ(-1, swf_buffer_append(ctx_, &byte, kSwfMaxBuffer));
    EXPECT_EQ(16u, ctx_->buffer.size());
    EXPECT_EQ(0, swf_buffer_append(ctx_, &byte, 1));
    EXPECT_EQ(17u, ctx_->buffer.size());
}

}  // namespace
