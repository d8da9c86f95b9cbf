#include "media/probe/tests/probe_clips.h"
#include <windows.h>
#include <zlib.h>
#include <cstdio>
#include <cstring>
#include "base/message_seam.h"
#include "media/binders/binders.h"
#include "media/probe/probe_media_file.h"
#include "tests/support/flv_writer.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/mtv_writer.h"
#include "tests/support/signal_check.h"
#include "tests/support/stream_packets.h"
#include "tests/support/vp6_writer.h"

namespace probe_clips {

const char* const kPicture = "-f lavfi -i testsrc2=size=176x144:rate=25";
const char* const kTone = "-f lavfi -i sine=frequency=1000:sample_rate=44100";
const std::string kClip = std::string(kPicture) + " " + kTone + " -t 2 -ac 2 ";

std::string windows_path(const std::string& unix_path) {
    std::string path = "Z:" + unix_path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string ffmpeg(const std::string& name, const std::string& arguments) {
    const std::string path = media_test::fresh_path(name);
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error " + arguments + " '" + path + "' 2>&1", &status);
    return status == 0 ? path : std::string();
}

std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = media_test::fresh_path(name);
    media_test::write_file(path, bytes);
    return path;
}

std::string mtv(const std::string& name, int frames) {
    const int kW = 176, kH = 144, kChunks = 2, kKbps = 4 * 12 * kChunks;
    // Half a second of sound beyond the pictures (3 s for the 30 pictures most tests use).
    const std::string seconds = std::to_string(frames / 12.0 + 0.5);
    const std::string mp3 = ffmpeg(name + ".mp3", std::string(kTone) + " -t " + seconds + " -c:a libmp3lame -b:a " +
                                                      std::to_string(kKbps) + "k -write_xing 0 -id3v2_version 0 -f mp3");
    std::vector<std::vector<uint8_t>> pictures;
    for (int i = 0; i < frames; ++i)
        pictures.push_back(mtv_test::stored_picture(signal_check::moving_picture(kW, kH, i), kW, kH));
    return write(name, mtv_test::file(kW, kH, kKbps, kChunks, pictures, media_test::read_file(mp3)));
}

std::string flv_vp6_adpcm(const std::string& name, bool smooth, uint8_t crop) {
    // The sound tags as ffmpeg writes them (header byte and body), taken from its file.
    const std::string sound = ffmpeg(name + ".sound.flv", std::string(kTone) + " -t 2 -ac 2 -ar 22050 -c:a adpcm_swf");
    std::vector<media_test::StoredPacket> blocks = media_test::audio_packets(sound, nullptr, true);
    flv_test::FlvWriter flv;
    size_t next = 0;
    for (int i = 0; i < 50; ++i) {
        const uint32_t time = uint32_t(i * 40);
        for (; next < blocks.size() && blocks[next].dts_ms <= time; ++next)
            flv.audio(uint32_t(blocks[next].dts_ms),
                      media_test::file_bytes(sound, blocks[next].pos + 11, int64_t(blocks[next].data.size()) + 1));
        std::vector<uint8_t> body = {0x14, crop};  // key frame, VP6; the crop byte
        const std::vector<uint8_t> frame =
            vp6_test::key_frame(smooth ? vp6_test::slope(11, 9, i) : vp6_test::pattern(11, 9, i));
        body.insert(body.end(), frame.begin(), frame.end());
        flv.video(time, body);
    }
    for (; next < blocks.size(); ++next)
        flv.audio(uint32_t(blocks[next].dts_ms),
                  media_test::file_bytes(sound, blocks[next].pos + 11, int64_t(blocks[next].data.size()) + 1));
    return write(name, flv.file());
}

std::string cws_from(const std::string& name, const std::string& fws_path) {
    std::vector<uint8_t> fws = media_test::read_file(fws_path);
    if (fws.size() < 8) return std::string();
    uLongf packed_size = compressBound(uLong(fws.size() - 8));
    std::vector<uint8_t> out(8 + packed_size);
    std::memcpy(out.data(), fws.data(), 8);
    out[0] = 'C';
    if (compress2(out.data() + 8, &packed_size, fws.data() + 8, uLong(fws.size() - 8), 9) != Z_OK) return std::string();
    out.resize(8 + packed_size);
    return write(name, out);
}

std::string three_gp(const std::string& name, int amr_mode, int seconds) {
    const int kW = 176, kH = 144;
    const std::string h263 =
        ffmpeg(name + ".h263.avi", std::string(kPicture) + " -t " + std::to_string(seconds) + " -c:v h263 -g 12");
    const std::vector<media_test::StoredPacket> pictures = media_test::video_packets(h263, nullptr, true);
    if (pictures.empty() || codec::load_tolmmp4encode() != 0 || codec::load_tolmamr_encode() != 0) return std::string();
    const std::string path = media_test::fresh_path(name);
    bool ok = codec::mp4en_init(windows_path(path).c_str(), MP4EN_CONTAINER_3GP) == 0 &&
              codec::amrbuf_init(amr_mode, nullptr) == 0;
    if (ok) {
        codec::mp4en_addvideo(MP4EN_VIDEO_H263, kW, kH, 0);
        codec::mp4en_addaudio(MP4EN_AUDIO_AMRNB, 8000, 1, 2);
        std::vector<uint8_t> out(4096);
        for (size_t i = 0; i < pictures.size(); ++i) {
            codec::mp4en_video(MP4EN_PICTURE_H263, pictures[i].data.data(), int(pictures[i].data.size()), 40, 0);
            // 40 ms of tone: 320 samples, two AMR frames.
            const std::vector<int16_t> pcm = signal_check::tone(1000, 8000, 8000, 1, 320, int64_t(i) * 320);
            int frames = 0;
            const int n = codec::amrbuf_encode(reinterpret_cast<const unsigned char*>(pcm.data()), 640, out.data(),
                                               int(out.size()), &frames);
            if (n > 0) codec::mp4en_audio(1, out.data(), n, 320);
        }
        codec::amrbuf_close();
        codec::mp4en_close();
    }
    codec::unload_tolmamr_encode();
    codec::unload_tolmmp4encode();
    return ok ? path : std::string();
}

std::string with_path(const char* format, const std::string& path) {
    char text[2048];
    std::snprintf(text, sizeof text, format, path.c_str());
    return text;
}

namespace {
int record_message(const char* text, const char* caption, unsigned, void* context) {
    static_cast<std::vector<Shown>*>(context)->push_back({text ? text : "", caption ? caption : "(null)"});
    return seam::kAnswerOk;
}
}  // namespace

Probed probe(const std::string& unix_path) {
    Probed p;
    seam::set_reporter(record_message, &p.shown);
    p.result = probe_media_file(windows_path(unix_path).c_str(), &p.record);
    seam::set_reporter(nullptr, nullptr);
    if (p.record.index_written) {
        p.index_read = read_index_file(p.record.index_path, p.index) == IndexError::None;
        DeleteFileA(p.record.index_path);
    }
    return p;
}

}  // namespace probe_clips
