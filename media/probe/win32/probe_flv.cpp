// FLV files: the tag scan, then the picture size from the decoder of the video codec (Sorenson
// through tolmh263dec2, VP6 through tolmvpdecode, H.264 through tolmx264decode) and the AAC output
// format through tolmaac_decode.
#include <windows.h>
#include <vector>
#include "base/fileio.h"
#include "media/probe/flv_scan.h"
#include "media/probe/probe_paths.h"
#include "media/probe/probe_texts.h"
#include "media/probe/win32/probe_libraries.h"
#include "media/probe/win32/probe_win32_paths.h"

namespace {

// The picture buffer the decoders write into: 720 x 720 pixels of 3 bytes.
constexpr int kPictureBytes = 1555200;

struct Size {
    int width = 0, height = 0;
};

Size sorenson_size(const std::vector<uint8_t>& data) {
    Size size;
    if (!PROBE_LIBRARY(tolmh263dec2)) return size;
    probe_lib::sh263de_init();
    std::vector<uint8_t> picture(kPictureBytes);
    if (probe_lib::sh263de_frame(data.data(), int(data.size()), picture.data(), kPictureBytes) >= 0) {
        size.width = probe_lib::sh263de_getwidth();
        size.height = probe_lib::sh263de_getheight();
    }
    probe_lib::sh263de_exit();
    return size;
}

// Any decoded picture gives the size, also one larger than the buffer (which is then not written).
Size vp6_size(const std::vector<uint8_t>& data) {
    Size size;
    if (!PROBE_LIBRARY(tolmvpdecode)) return size;
    probe_lib::vpdecode_init();
    std::vector<uint8_t> picture(kPictureBytes);
    if (probe_lib::vpdecode_getvideo(data.data(), int(data.size()), picture.data(), kPictureBytes) >= 0 &&
        probe_lib::vpdecode_getpicsize(&size.width, &size.height) != 0)
        size = Size();
    probe_lib::vpdecode_close();
    return size;
}

struct H264Work {
    const FlvScan* scan;
    Size size;
};

// Runs on a thread of its own, which opens a decoder of its own: the interface thread's decoder, which
// the workers may be using (notice 678), is never touched.
DWORD WINAPI h264_size_thread(void* context) {
    H264Work& work = *static_cast<H264Work*>(context);
    if (probe_lib::tolm264decode_init(720, 720) != 0) return 0;
    std::vector<uint8_t> picture(kPictureBytes);
    const FlvScan& scan = *work.scan;
    if (!scan.avc_parameter_sets.empty())
        probe_lib::tolm264decode_decode(scan.avc_parameter_sets.data(), int(scan.avc_parameter_sets.size()),
                                        picture.data());
    if (!scan.second_picture.empty()) {
        probe_lib::tolm264decode_decode(scan.second_picture.data(), int(scan.second_picture.size()), picture.data());
        // A stream with B-frames holds its first picture back until it is flushed out.
        if (probe_lib::tolm264decode_getwh(&work.size.width, &work.size.height) != 0) {
            probe_lib::tolm264decode_decode(nullptr, 0, picture.data());
            probe_lib::tolm264decode_getwh(&work.size.width, &work.size.height);
        }
    }
    probe_lib::tolm264decode_close();
    return 0;
}

Size h264_size(const FlvScan& scan) {
    H264Work work{&scan, {}};
    if (!PROBE_LIBRARY(tolmx264decode)) return work.size;
    HANDLE thread = CreateThread(nullptr, 0, h264_size_thread, &work, 0, nullptr);
    if (!thread) return work.size;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return work.size;
}

Size picture_size(const FlvScan& scan) {
    if (scan.video_codec == kFlvAvc && scan.avc_sequence_header) return h264_size(scan);
    if (scan.first_video.empty()) return Size();
    if (scan.video_codec == kFlvSorenson) return sorenson_size(scan.first_video);
    if (scan.video_codec == kFlvVp6) return vp6_size(scan.first_video);
    return Size();
}

}  // namespace

int probe_flv(ProbeJob& job) {
    FlvScan scan;
    {
        fileio::File file;
        if (!file.open(job.path, fileio::File::Mode::Read))
            return probe_refuse(job, probe_text::kNoCodecInfo, probe_text::kCaptionFlv, -1);
        FileByteSource source(file);
        scan = scan_flv(source);
    }
    Size size;
    if (scan.is_flv) size = picture_size(scan);
    if (!scan.aac_config.empty())
        aac_output_format(scan.aac_config.data(), int(scan.aac_config.size()), 44100, &scan.sample_rate,
                          &scan.channels);
    return finish_flv(job, scan, size.width, size.height);
}
