// Every 3GP/MP4 output kind through the stand-ins' exported entry points, bound by the program's
// binders and called in the program's order, with a 2-second clip (moving picture, 1 kHz tone); the
// files are then checked with ffprobe and ffmpeg. H.263 pictures come from libavcodec's encoder.
#include "gtest_winelib.h"
#include "afxseam.h"
#include "binders.h"
#include "h263_reference.h"
#include "media_check.h"
#include "signal_check.h"
#include <cmath>
#include <cstdio>
#include <opencore-amrnb/interf_dec.h>
#include <xvid.h>

namespace {
using namespace signal_check;

const int W = 176, H = 144, kFps = 25, kPictures = 50;
const int kStride = (3 * W + 3) & ~3;
const double kToneAmplitude = 10000;

enum class Video { H263, Mpeg4, H264 };
enum class Sound { AmrNb, Aac };

struct Kind {
    const char* name;
    int container;  // 2 3GP, 1 MP4
    Video video;
    Sound sound;
    const char* video_codec;
    const char* sound_codec;
};

int refuse_boxes(HWND, const char* text, const char*, UINT, void*) {
    ADD_FAILURE() << "message box: " << text;
    return IDOK;
}

// The sound path's encoding loop: joins the leftover and the chunk, codes whole blocks, writes them.
class SoundWriter {
public:
    SoundWriter(Sound sound, int rate, int channels, int frame_samples)
        : sound_(sound), rate_(rate), channels_(channels),
          block_bytes_(sound == Sound::AmrNb ? 640 : frame_samples * 2) {}
    void write(const int16_t* pcm, int bytes) {
        total_ += bytes;
        joined_.insert(joined_.end(), reinterpret_cast<const uint8_t*>(pcm), reinterpret_cast<const uint8_t*>(pcm) + bytes);
        size_t pos = 0;
        for (; pos + block_bytes_ <= joined_.size(); pos += block_bytes_) {
            uint8_t out[8192];
            if (sound_ == Sound::AmrNb) {
                int count = 0;
                int k = codec::amrbuf_encode(&joined_[pos], 640, out, 4096, &count);
                if (k > 0) codec::mp4en_audio(1, out, k, 320);
            } else {
                // The time of the block: bytes so far (this chunk included) + consumed, in ms.
                unsigned time = unsigned((total_ - bytes + pos) * 500 / (rate_ * channels_));
                int n = bytes;
                int k = codec::aacbuf_encode(&joined_[pos], block_bytes_, out, block_bytes_, &time, &n);
                EXPECT_EQ(bytes, n) << "the chunk count is left alone";
                if (k > 0) codec::mp4en_audio(1, out, k, time);
            }
        }
        joined_.erase(joined_.begin(), joined_.begin() + pos);
    }

private:
    Sound sound_;
    int rate_, channels_, block_bytes_;
    uint64_t total_ = 0;
    std::vector<uint8_t> joined_;
};

std::string make_output(const Kind& kind, std::string* unix_path) {
    *unix_path = std::string(TEST_BINARY_DIR) + "/" + kind.name + (kind.container == 2 ? ".3gp" : ".mp4");
    std::remove(unix_path->c_str());
    std::string windows = "Z:" + *unix_path;
    for (char& c : windows) if (c == '/') c = '\\';
    return windows;
}

// Writes the clip as the conversion thread does; returns the sound's rate and channels.
void write_clip(const Kind& kind, const std::string& windows_path, int* rate, int* channels) {
    // Audio encoder set-up.
    int frame_samples = 0;
    uint8_t config[64];
    int config_length = 0;
    if (kind.sound == Sound::AmrNb) {
        *rate = 8000;
        *channels = 1;
        ASSERT_EQ(0, codec::amrbuf_init(amr_mode_value(9), nullptr)) << "a rate setting above 7 selects MR122";
    } else {
        *rate = 44100;
        *channels = 2;
        char text[] = "123";
        frame_samples = codec::aacbuf_init(*rate, *channels, 128000, 6, 1, text, config, &config_length);
        ASSERT_EQ(2048, frame_samples);
        ASSERT_GT(config_length, 0);
    }
    // Video encoder set-up.
    void* xvid = nullptr;
    if (kind.video == Video::Mpeg4) {
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
        xvid = create.handle;
    } else if (kind.video == Video::H264) {
        ASSERT_EQ(0, codec::tolm264encode_init(W, H, 20, kFps));
    }
    H263Reference h263(W, H, kFps, 20);
    // Output creation.
    ASSERT_EQ(0, codec::mp4en_init(windows_path.c_str(), kind.container));
    if (kind.video == Video::H263) codec::mp4en_addvideo(1, W, H, 12800);
    if (kind.video == Video::Mpeg4) codec::mp4en_addvideo(2, W, H, 12800);
    if (kind.sound == Sound::AmrNb) {
        codec::mp4en_addaudio(1, 8000, 1, 2);
    } else {
        codec::mp4en_addaudio(2, *rate, *channels, frame_samples);
        codec::mp4en_setaudioinfo(config, config_length);
    }
    // Pictures, each followed by its sound.
    SoundWriter sound(kind.sound, *rate, *channels, frame_samples);
    std::vector<uint8_t> out(kStride * H / 2 + 1000), pps(1024), sps(1024);
    int pps_length = 0;
    bool track_added = false;
    for (int i = 0; i < kPictures; ++i) {
        std::vector<uint8_t> pic = moving_picture(W, H, i);
        if (kind.video == Video::H263) {
            std::vector<uint8_t> coded = h263.encode(pic);
            ASSERT_FALSE(coded.empty());
            codec::mp4en_video(1, coded.data(), (int)coded.size(), 1000 / kFps, 0);
        } else if (kind.video == Video::Mpeg4) {
            xvid_enc_frame_t frame = {};
            frame.version = XVID_VERSION;
            frame.input.csp = XVID_CSP_BGR;
            frame.input.plane[0] = pic.data();
            frame.input.stride[0] = 3 * W;
            frame.motion = 0x3C53;
            frame.type = XVID_TYPE_AUTO;
            frame.bitstream = out.data();
            frame.length = kStride * H / 2;
            xvid_enc_stats_t stats = {};
            stats.version = XVID_VERSION;
            int n = codec::xvid_encore(xvid, XVID_ENC_ENCODE, &frame, &stats);
            ASSERT_GT(n, 0);
            codec::mp4en_video(stats.type == XVID_TYPE_IVOP ? 2 : 3, out.data(), n, 1000 / kFps, 0);
        } else {
            int key = 0;
            int n = codec::tolm264encode_encode(pic.data(), kStride * H, out.data(), &key);
            ASSERT_GT(n, 0);
            if (pps_length == 0) pps_length = std::max(0, codec::tolm264encode_getpps(pps.data()));
            if (!track_added) {
                int sps_length = codec::tolm264encode_getsps(sps.data());
                if (sps_length > 0) {
                    track_added = true;
                    int a = 0, b = 0, c = 0;
                    codec::tolm264encode_getx264(&a, &b, &c);
                    codec::mp4_add264(W, H, c, b, a);
                    if (pps_length > 0) codec::mp4_add264pps(pps.data(), pps_length);
                    codec::mp4_add264sps(sps.data(), sps_length);
                }
            }
            codec::mp4en_video(key > 0 ? 2 : 3, out.data(), n, 90000 / kFps, 0);
        }
        const int64_t first = int64_t(i) * *rate / kFps, last = int64_t(i + 1) * *rate / kFps;
        std::vector<int16_t> pcm = tone(1000, kToneAmplitude, *rate, *channels, last - first, first);
        sound.write(pcm.data(), (int)pcm.size() * 2);
    }
    // Closing: sound encoder, video encoder, output.
    if (kind.sound == Sound::AmrNb) codec::amrbuf_close();
    else codec::aacbuf_close();
    if (kind.video == Video::Mpeg4) codec::xvid_encore(xvid, XVID_ENC_DESTROY, nullptr, nullptr);
    if (kind.video == Video::H264) codec::tolm264encode_close();
    codec::mp4en_close();
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
        AfxSetModalHook(refuse_boxes, nullptr);
        ASSERT_EQ(0, codec::load_tolmmp4encode());
        ASSERT_EQ(0, codec::load_tolmaac_encode());
        ASSERT_EQ(0, codec::load_tolmamr_encode());
        ASSERT_EQ(0, codec::load_tolmx264encode());
        ASSERT_EQ(0, codec::load_xvidcore());
    }
    static void TearDownTestSuite() {
        codec::unload_tolmmp4encode();
        codec::unload_tolmaac_encode();
        codec::unload_tolmamr_encode();
        codec::unload_tolmx264encode();
        codec::unload_xvidcore();
        AfxSetModalHook(nullptr, nullptr);
    }
};

TEST_P(OutputKinds, FileHoldsOneVideoAndOneSoundStreamThatDecodeFaithfully) {
    const Kind& kind = GetParam();
    std::string path;
    const std::string windows_path = make_output(kind, &path);
    int rate = 0, channels = 0;
    write_clip(kind, windows_path, &rate, &channels);
    if (HasFatalFailure()) return;

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
    EXPECT_EQ("", media_check::decode_errors(path));

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
    printf("%s: video %.3f s, sound %.3f s, worst picture %.1f dB\n", kind.name, video->duration, audio->duration, worst);
}

INSTANTIATE_TEST_SUITE_P(Stand_ins, OutputKinds,
                         ::testing::Values(Kind{"out_3gp_h263_amr", 2, Video::H263, Sound::AmrNb, "h263", "amr_nb"},
                                           Kind{"out_mp4_mpeg4_aac", 1, Video::Mpeg4, Sound::Aac, "mpeg4", "aac"},
                                           Kind{"out_mp4_h264_aac", 1, Video::H264, Sound::Aac, "h264", "aac"},
                                           Kind{"out_mp4_h263_aac", 1, Video::H263, Sound::Aac, "h263", "aac"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// The MP3 stand-in through its entry points, as the AVI output uses it: whole frames from every call and
// the last frames returned at the end.
TEST(Mp3Dll, CodesWholeFramesAndReturnsTheLastOnes) {
    AfxSetModalHook(refuse_boxes, nullptr);
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
    AfxSetModalHook(nullptr, nullptr);
}

}  // namespace
