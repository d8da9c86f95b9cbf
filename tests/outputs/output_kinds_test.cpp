// Every output kind (3GP, MP4, AVI) through the stand-ins' exported entry points, bound by the program's
// binders and called in the program's order, with a 2-second clip (moving picture, 1 kHz tone); the
// files are then checked with ffprobe and ffmpeg. H.263 pictures come from the program's own encoder,
// AVI files from the program's AVI writer.
#include "tests/support/gtest_winelib.h"
#include "base/message_seam.h"
#include "media/avi/avilib.h"
#include "media/binders/binders.h"
#include "media/h263/h263encode.h"
#include "tests/support/media_check.h"
#include "tests/support/signal_check.h"
#include "engine/image/yuv420.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <opencore-amrnb/interf_dec.h>
#include <xvid.h>

namespace {
using namespace signal_check;

const int W = 176, H = 144, kFps = 25, kPictures = 50, kKeyInterval = 20;
const int kStride = (3 * W + 3) & ~3;
const double kToneAmplitude = 10000;
const int kMp3Kbps = 128;

enum class Container { Mp4 = 1, ThreeGp = 2, Avi };  // the first two are the multiplexer's numbers
enum class Video { H263, Mpeg4, H264 };
enum class Sound { AmrNb, Aac, Mp3 };

struct Kind {
    const char* name;
    Container container;
    Video video;
    Sound sound;
    const char* video_codec;
    const char* sound_codec;
};

int refuse_boxes(const char* text, const char*, unsigned, void*) {
    ADD_FAILURE() << "message box: " << text;
    return IDOK;
}

// The open output file: the multiplexer's entry points, or the AVI writer's handle.
struct Output {
    AviFile* avi = nullptr;

    void picture(int mp4_kind, const uint8_t* data, int n, bool key, int duration) {
        if (avi) {
            EXPECT_EQ(0, AVI_write_frame(avi, data, n, key ? 1 : 0));
        } else {
            codec::mp4en_video(mp4_kind, data, n, duration, 0);
        }
    }
    void sound(const uint8_t* data, int n, unsigned duration) {
        if (avi) {
            EXPECT_EQ(0, AVI_write_audio(avi, data, n));
        } else {
            codec::mp4en_audio(1, data, n, duration);
        }
    }
};

// The sound encoder as set up for the output format.
struct SoundFormat {
    int rate = 0, channels = 0;
    int frame_samples = 0;   // AAC and MP3: samples of one encoder call over all channels
    int output_size = 8192;  // capacity of one encoder call's output
    uint8_t config[64] = {};  // AAC decoder configuration
    int config_length = 0;
};

void set_up_sound(Sound sound, SoundFormat* f) {
    if (sound == Sound::AmrNb) {
        f->rate = 8000;
        f->channels = 1;
        ASSERT_EQ(0, codec::amrbuf_init(amr_mode_value(9), nullptr)) << "a rate setting above 7 selects MR122";
    } else if (sound == Sound::Aac) {
        f->rate = 44100;
        f->channels = 2;
        char text[] = "123";
        f->frame_samples = codec::aacbuf_init(f->rate, f->channels, 128000, 6, 1, text, f->config, &f->config_length);
        ASSERT_EQ(2048, f->frame_samples);
        ASSERT_GT(f->config_length, 0);
    } else {
        f->rate = 44100;
        f->channels = 2;
        ASSERT_EQ(0, codec::tolmmp3encinit_new(&f->frame_samples, &f->output_size, f->rate, kMp3Kbps, f->channels, 0));
        ASSERT_EQ(2304, f->frame_samples);
    }
}

// The sound path's encoding loop: joins the leftover and the chunk, codes whole blocks, writes them.
class SoundWriter {
public:
    SoundWriter(Sound sound, const SoundFormat& format, Output& output)
        : sound_(sound), format_(format), output_(output),
          block_bytes_(sound == Sound::AmrNb ? 640 : format.frame_samples * 2), out_(format.output_size) {}

    void write(const int16_t* pcm, int bytes) {
        total_ += bytes;
        joined_.insert(joined_.end(), reinterpret_cast<const uint8_t*>(pcm), reinterpret_cast<const uint8_t*>(pcm) + bytes);
        size_t pos = 0;
        for (; pos + block_bytes_ <= joined_.size(); pos += block_bytes_) {
            if (sound_ == Sound::AmrNb) {
                int count = 0;
                int k = codec::amrbuf_encode(&joined_[pos], 640, out_.data(), 4096, &count);
                if (k > 0) output_.sound(out_.data(), k, 320);
            } else if (sound_ == Sound::Aac) {
                // The time of the block: bytes so far (this chunk included) + consumed, in ms.
                unsigned time = unsigned((total_ - bytes + pos) * 500 / (format_.rate * format_.channels));
                int n = bytes;
                int k = codec::aacbuf_encode(&joined_[pos], block_bytes_, out_.data(), block_bytes_, &time, &n);
                EXPECT_EQ(bytes, n) << "the chunk count is left alone";
                if (k > 0) output_.sound(out_.data(), k, time);
            } else {
                write_mp3(codec::tolmmp3enccode(reinterpret_cast<const short*>(&joined_[pos]), format_.frame_samples,
                                                out_.data()));
            }
        }
        joined_.erase(joined_.begin(), joined_.begin() + pos);
    }

    // Closes the encoder; the MP3 encoder's last frames belong at the end of the sound.
    void close() {
        if (sound_ == Sound::AmrNb) codec::amrbuf_close();
        else if (sound_ == Sound::Aac) codec::aacbuf_close();
        else write_mp3(codec::tolmmp3encend(out_.data()));
    }

private:
    // Only whole MP3 frames go into the file: a block must start with the frame sync byte.
    void write_mp3(int k) {
        EXPECT_GE(k, 0);
        if (k > 0 && out_[0] == 0xFF) output_.sound(out_.data(), k, 0);
    }

    Sound sound_;
    SoundFormat format_;
    Output& output_;
    int block_bytes_;
    uint64_t total_ = 0;
    std::vector<uint8_t> joined_, out_;
};

// The frame path's encode-and-write step: the video encoder of the output and what it hands on.
class PictureWriter {
public:
    PictureWriter(const Kind& kind, Output& output)
        : kind_(kind), output_(output), planes_(yuv420_sample_count(W, H)), out_(size_t(W) * H * 3),
          pps_(1024), sps_(1024) {}

    void set_up() {
        if (kind_.video == Video::H263) {
            ASSERT_EQ(0, h263encode_init(W, H));
        } else if (kind_.video == Video::Mpeg4) {
            xvid_gbl_init_t init = {};
            init.version = XVID_VERSION;
            ASSERT_GE(codec::xvid_global(nullptr, XVID_GBL_INIT, &init, nullptr), 0);
            xvid_enc_create_t create = {};
            create.version = XVID_VERSION;
            create.profile = 0xF4;
            create.width = W;
            create.height = H;
            create.max_key_interval = 250;
            create.bquant_ratio = 150;
            create.bquant_offset = 100;
            create.fincr = 1;
            create.fbase = kFps;
            ASSERT_GE(codec::xvid_encore(nullptr, XVID_ENC_CREATE, &create, nullptr), 0);
            xvid_ = create.handle;
        } else {
            ASSERT_EQ(0, codec::tolm264encode_init(W, H, 20, kFps));
        }
    }

    void write(std::vector<uint8_t>& pic) {
        if (kind_.video == Video::H263) {
            ASSERT_EQ(1, rgb24_to_yuv420(picture::bgr24(pic.data(), W, H), picture::yuv420_int32(planes_.data(), W, H)));
            const bool intra = keys_.size() % kKeyInterval == 0;
            int n = h263encode_encode(planes_.data(), 0, intra, out_.data());
            ASSERT_GT(n, 0);
            output_.picture(1, out_.data(), n, intra, 1000 / kFps);
            keys_.push_back(intra);
        } else if (kind_.video == Video::Mpeg4) {
            xvid_enc_frame_t frame = {};
            frame.version = XVID_VERSION;
            frame.input.csp = XVID_CSP_BGR;
            frame.input.plane[0] = pic.data();
            frame.input.stride[0] = 3 * W;
            frame.motion = 0x3C53;
            frame.type = XVID_TYPE_AUTO;
            frame.bitstream = out_.data();
            frame.length = kStride * H / 2;
            xvid_enc_stats_t stats = {};
            stats.version = XVID_VERSION;
            int n = codec::xvid_encore(xvid_, XVID_ENC_ENCODE, &frame, &stats);
            ASSERT_GT(n, 0);
            const bool key = stats.type == XVID_TYPE_IVOP;
            output_.picture(key ? 2 : 3, out_.data(), n, key, 1000 / kFps);
            keys_.push_back(key);
        } else {
            int key = 0;
            int n = kind_.container == Container::Avi
                        ? codec::tolm264encode_encodeavi(pic.data(), kStride * H, out_.data(), &key)
                        : codec::tolm264encode_encode(pic.data(), kStride * H, out_.data(), &key);
            ASSERT_GT(n, 0);
            if (kind_.container != Container::Avi) add_h264_track();
            output_.picture(key > 0 ? 2 : 3, out_.data(), n, key > 0, 90000 / kFps);
            keys_.push_back(key > 0);
        }
    }

    void close() {
        if (kind_.video == Video::H263) h263encode_close();
        else if (kind_.video == Video::Mpeg4) codec::xvid_encore(xvid_, XVID_ENC_DESTROY, nullptr, nullptr);
        else codec::tolm264encode_close();
    }

    // The key flag the encoder gave every picture written.
    const std::vector<bool>& keys() const { return keys_; }

private:
    // MP4 with H.264: the track and its parameter sets go in once the encoder has a sequence set.
    void add_h264_track() {
        if (pps_length_ == 0) pps_length_ = std::max(0, codec::tolm264encode_getpps(pps_.data()));
        if (track_added_) return;
        int sps_length = codec::tolm264encode_getsps(sps_.data());
        if (sps_length <= 0) return;
        track_added_ = true;
        int a = 0, b = 0, c = 0;
        codec::tolm264encode_getx264(&a, &b, &c);
        codec::mp4_add264(W, H, c, b, a);
        if (pps_length_ > 0) codec::mp4_add264pps(pps_.data(), pps_length_);
        codec::mp4_add264sps(sps_.data(), sps_length);
    }

    const Kind& kind_;
    Output& output_;
    void* xvid_ = nullptr;
    std::vector<int32_t> planes_;
    std::vector<uint8_t> out_, pps_, sps_;
    int pps_length_ = 0;
    bool track_added_ = false;
    std::vector<bool> keys_;
};

const char* extension(Container c) { return c == Container::ThreeGp ? ".3gp" : c == Container::Mp4 ? ".mp4" : ".avi"; }

std::string make_output(const Kind& kind, std::string* unix_path) {
    *unix_path = std::string(TEST_BINARY_DIR) + "/" + kind.name + extension(kind.container);
    std::remove(unix_path->c_str());
    std::string windows = "Z:" + *unix_path;
    for (char& c : windows) if (c == '/') c = '\\';
    return windows;
}

void create_output(const Kind& kind, const std::string& windows_path, const SoundFormat& sound, Output* output) {
    if (kind.container == Container::Avi) {
        output->avi = AVI_open_output_file(windows_path.c_str());
        ASSERT_NE(nullptr, output->avi) << AVI_errno;
        const char* compressor = kind.video == Video::H263 ? "h263" : kind.video == Video::Mpeg4 ? "xvid" : "h264";
        AVI_set_video(output->avi, W, H, double(kFps), compressor);
        AVI_set_audio(output->avi, sound.channels, sound.rate, 16, 0x55, kMp3Kbps);
        return;
    }
    ASSERT_EQ(0, codec::mp4en_init(windows_path.c_str(), int(kind.container)));
    if (kind.video == Video::H263) codec::mp4en_addvideo(1, W, H, 12800);
    if (kind.video == Video::Mpeg4) codec::mp4en_addvideo(2, W, H, 12800);
    if (kind.sound == Sound::AmrNb) {
        codec::mp4en_addaudio(1, 8000, 1, 2);
    } else {
        codec::mp4en_addaudio(2, sound.rate, sound.channels, sound.frame_samples);
        codec::mp4en_setaudioinfo(sound.config, sound.config_length);
    }
}

// The key flags the file gives its pictures: an AVI file's from its index (ffmpeg's H.263 parser calls
// every AVI packet a key packet), the others' as ffprobe reports them.
std::vector<bool> stored_keys(const Kind& kind, const std::string& windows_path, const std::string& path) {
    if (kind.container != Container::Avi) return media_check::key_pictures(path);
    std::vector<bool> keys;
    if (AviFile* avi = AVI_open_input_file(windows_path.c_str(), 1)) {
        for (int i = 0; i < avi->frame_count; ++i) keys.push_back(avi->video_entries[i].flags & AVI_KEYFRAME);
        AVI_close(avi);
    }
    return keys;
}

// Writes the clip as the conversion thread does; returns the sound's format and the pictures' key flags.
void write_clip(const Kind& kind, const std::string& windows_path, SoundFormat* sound, std::vector<bool>* keys) {
    set_up_sound(kind.sound, sound);
    if (testing::Test::HasFatalFailure()) return;
    Output output;
    PictureWriter pictures(kind, output);
    pictures.set_up();
    if (testing::Test::HasFatalFailure()) return;
    create_output(kind, windows_path, *sound, &output);
    if (testing::Test::HasFatalFailure()) return;
    // Pictures, each followed by its sound.
    SoundWriter sound_writer(kind.sound, *sound, output);
    for (int i = 0; i < kPictures && !testing::Test::HasFatalFailure(); ++i) {
        std::vector<uint8_t> pic = moving_picture(W, H, i);
        pictures.write(pic);
        const int64_t first = int64_t(i) * sound->rate / kFps, last = int64_t(i + 1) * sound->rate / kFps;
        std::vector<int16_t> pcm = tone(1000, kToneAmplitude, sound->rate, sound->channels, last - first, first);
        sound_writer.write(pcm.data(), (int)pcm.size() * 2);
    }
    // Closing at the end of the run: sound encoder, video encoder, output.
    sound_writer.close();
    pictures.close();
    if (output.avi) EXPECT_EQ(0, AVI_close(output.avi));
    else codec::mp4en_close();
    *keys = pictures.keys();
}

// AMR-NB sound decoded by the reference decoder (opencore): ffmpeg's own AMR-NB decoder renders a pure
// tone several dB low, so the level is measured on the reference decoding.
std::vector<int16_t> decode_amr_reference(const std::string& path) {
    std::string amr = media_check::sound_stream_copy(path, "amr");
    std::vector<int16_t> pcm;
    static const int kBytes[16] = {13, 14, 16, 18, 20, 21, 27, 32, 6, 0, 0, 0, 0, 0, 0, 1};
    if (amr.compare(0, 6, "#!AMR\n") != 0) return pcm;
    void* decoder = Decoder_Interface_init();
    for (size_t pos = 6; pos < amr.size();) {
        const int n = kBytes[(uint8_t(amr[pos]) >> 3) & 15];
        if (n == 0 || pos + n > amr.size()) break;
        short speech[160];
        Decoder_Interface_Decode(decoder, reinterpret_cast<const unsigned char*>(&amr[pos]), speech, 0);
        pcm.insert(pcm.end(), speech, speech + 160);
        pos += n;
    }
    Decoder_Interface_exit(decoder);
    return pcm;
}

class OutputKinds : public ::testing::TestWithParam<Kind> {
protected:
    static void SetUpTestSuite() {
        seam::set_reporter(refuse_boxes, nullptr);
        ASSERT_EQ(0, codec::load_tolmmp4encode());
        ASSERT_EQ(0, codec::load_tolmaac_encode());
        ASSERT_EQ(0, codec::load_tolmamr_encode());
        ASSERT_EQ(0, codec::load_tolmmp3enc());
        ASSERT_EQ(0, codec::load_tolmx264encode());
        ASSERT_EQ(0, codec::load_xvidcore());
    }
    static void TearDownTestSuite() {
        codec::unload_tolmmp4encode();
        codec::unload_tolmaac_encode();
        codec::unload_tolmamr_encode();
        codec::unload_tolmmp3enc();
        codec::unload_tolmx264encode();
        codec::unload_xvidcore();
        seam::set_reporter(nullptr, nullptr);
    }
};

TEST_P(OutputKinds, FileHoldsOneVideoAndOneSoundStreamThatDecodeFaithfully) {
    const Kind& kind = GetParam();
    std::string path;
    const std::string windows_path = make_output(kind, &path);
    SoundFormat format;
    std::vector<bool> keys;
    write_clip(kind, windows_path, &format, &keys);
    if (HasFatalFailure()) return;
    const int rate = format.rate, channels = format.channels;

    std::vector<media_check::Stream> streams = media_check::probe(path);
    ASSERT_EQ(2u, streams.size()) << path;
    const media_check::Stream* video = nullptr;
    const media_check::Stream* audio = nullptr;
    for (const auto& s : streams) (s.type == "video" ? video : audio) = &s;
    ASSERT_TRUE(video && audio);
    EXPECT_EQ(kind.video_codec, video->codec);
    EXPECT_EQ(kind.sound_codec, audio->codec);
    EXPECT_EQ(W, video->width);
    EXPECT_EQ(H, video->height);
    EXPECT_EQ(rate, audio->sample_rate);
    EXPECT_EQ(channels, audio->channels);
    const double frame = 1.0 / kFps;
    EXPECT_NEAR(2.0, video->duration, frame);
    EXPECT_NEAR(2.0, audio->duration, frame);
    EXPECT_NEAR(video->duration, audio->duration, frame);
    if (kind.sound == Sound::Mp3) {
        EXPECT_GE(audio->duration, 2.0) << "the MP3 encoder's last frames are written at close";
    }
    EXPECT_EQ("", media_check::decode_errors(path));
    // The container flags exactly the pictures the encoder coded as key pictures.
    ASSERT_EQ(size_t(kPictures), keys.size());
    EXPECT_TRUE(keys[0]);
    EXPECT_EQ(keys, stored_keys(kind, windows_path, path));

    std::vector<int16_t> pcm = media_check::decode_sound(path);
    ASSERT_GT(pcm.size(), size_t(rate) * channels);
    std::vector<int16_t> level_pcm = kind.sound == Sound::AmrNb ? decode_amr_reference(path) : pcm;
    ASSERT_GT(level_pcm.size(), size_t(rate) * channels);
    const double expected_db = 20 * std::log10(kToneAmplitude / std::sqrt(2.0) / 32768);
    for (int c = 0; c < channels; ++c) {
        std::vector<double> x = channel(pcm, channels, c), y = channel(level_pcm, channels, c);
        std::vector<double> middle(x.begin() + x.size() / 5, x.end() - x.size() / 5);
        std::vector<double> level_middle(y.begin() + y.size() / 5, y.end() - y.size() / 5);
        EXPECT_NEAR(1000.0, dominant_frequency(middle, rate), 10.0) << "channel " << c;
        EXPECT_NEAR(expected_db, level_db(level_middle), 1.0) << "channel " << c;
        if (c == 0) {
            printf("%s: tone %.2f Hz, level %+.2f dB against the source (ffmpeg's decoder %+.2f dB)\n", kind.name,
                   dominant_frequency(middle, rate), level_db(level_middle) - expected_db, level_db(middle) - expected_db);
        }
    }

    std::vector<std::vector<uint8_t>> pictures = media_check::decode_pictures(path, W, H);
    ASSERT_EQ(size_t(kPictures), pictures.size());
    double worst = 99;
    for (int i = 0; i < kPictures; ++i) worst = std::min(worst, psnr(moving_picture(W, H, i), pictures[i], W, H));
    EXPECT_GE(worst, 30.0);
    printf("%s: video %.3f s, sound %.3f s, worst picture %.1f dB, %d key pictures\n", kind.name, video->duration,
           audio->duration, worst, int(std::count(keys.begin(), keys.end(), true)));
}

INSTANTIATE_TEST_SUITE_P(
    Stand_ins, OutputKinds,
    ::testing::Values(Kind{"out_3gp_h263_amr", Container::ThreeGp, Video::H263, Sound::AmrNb, "h263", "amr_nb"},
                      Kind{"out_mp4_mpeg4_aac", Container::Mp4, Video::Mpeg4, Sound::Aac, "mpeg4", "aac"},
                      Kind{"out_mp4_h264_aac", Container::Mp4, Video::H264, Sound::Aac, "h264", "aac"},
                      Kind{"out_mp4_h263_aac", Container::Mp4, Video::H263, Sound::Aac, "h263", "aac"},
                      Kind{"out_avi_h263_mp3", Container::Avi, Video::H263, Sound::Mp3, "h263", "mp3"},
                      Kind{"out_avi_mpeg4_mp3", Container::Avi, Video::Mpeg4, Sound::Mp3, "mpeg4", "mp3"},
                      Kind{"out_avi_h264_mp3", Container::Avi, Video::H264, Sound::Mp3, "h264", "mp3"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// The MP3 stand-in through its entry points, as the AVI output uses it: whole frames from every call and
// the last frames returned at the end.
TEST(Mp3Dll, CodesWholeFramesAndReturnsTheLastOnes) {
    seam::set_reporter(refuse_boxes, nullptr);
    ASSERT_EQ(0, codec::load_tolmmp3enc());
    struct Init {
        int coding_type, rate, channels;
    };
    for (const Init& init : {Init{0, 44100, 2}, Init{1, 22050, 1}, Init{2, 44100, 1}}) {
        SCOPED_TRACE(init.coding_type);
        int frame_samples = 0, output_size = 0;
        int r = init.coding_type == 0   ? codec::tolmmp3encinit_new(&frame_samples, &output_size, init.rate, 64, init.channels, 0)
                : init.coding_type == 1 ? codec::tolmmp3encinit_vbr(&frame_samples, &output_size, init.rate, 64,
                                                                     init.channels, 1, 4, 32, 128)
                                        : codec::tolmmp3encinit_abr(&frame_samples, &output_size, init.rate, 64,
                                                                     init.channels, 0, 100);
        ASSERT_EQ(0, r);
        ASSERT_EQ((init.rate > 32000 ? 1152 : 576) * init.channels, frame_samples);
        std::vector<int16_t> pcm = tone(1000, kToneAmplitude, init.rate, init.channels, init.rate);
        std::vector<uint8_t> out(output_size);
        int64_t bytes = 0;
        for (size_t pos = 0; pos + frame_samples <= pcm.size(); pos += frame_samples) {
            int k = codec::tolmmp3enccode(&pcm[pos], frame_samples, out.data());
            ASSERT_GE(k, 0);
            if (k > 0) {
                EXPECT_EQ(0xFF, out[0]);
            }
            bytes += k;
        }
        int last = codec::tolmmp3encend(out.data());
        EXPECT_GT(last, 0);
        EXPECT_LE(last, output_size);
        EXPECT_EQ(0xFF, out[0]);
        EXPECT_GT(bytes, 0);
    }
    codec::unload_tolmmp3enc();
    EXPECT_EQ(nullptr, codec::tolmmp3enccode) << "pointers are cleared at unload";
    seam::set_reporter(nullptr, nullptr);
}

}  // namespace
