#include "engine/output/output_choice.h"
#include "engine/timing/frame_timing.h"
#include "engine/output/output_writers.h"
#include "engine/output/sound_encoders.h"
#include "engine/output/video_encoders.h"
#include "engine/settings/settings.h"

const char* const kConverterCaption = "Orvane多媒体MP4转换器";

VideoCodec video_codec_for(int out_format, int mp4_video_codec, int avi_video_codec) {
    if (out_format == kOut3gp) return VideoCodec::kH263;
    const int setting = out_format == kOutAvi ? avi_video_codec : mp4_video_codec;
    return setting == 0 ? VideoCodec::kH263 : setting == 2 ? VideoCodec::kH264 : VideoCodec::kMpeg4;
}

VideoCodec chosen_video_codec(int out_format) {
    return video_codec_for(out_format, cfg_mp4_video_codec, cfg_avi_video_codec);
}

void round_output_size(VideoCodec codec, int* width, int* height) {
    const int mask = codec == VideoCodec::kH263 ? ~3 : ~1;
    *width = *width < 16 ? 16 : *width & mask;
    *height = *height < 16 ? 16 : *height & mask;
}

int job_default_rate(int out_format, bool merged) {
    return out_format == kOutAvi && !merged ? kDefaultAviFrameRate : kDefaultFrameRate;
}

OutputKit choose_output_kit(int out_format, VideoCodec codec) {
    OutputKit kit;
    if (out_format == kOutAvi) {
        kit.writer = make_avi_writer();
        kit.sound = make_mp3_encoder();
    } else if (out_format == kOutMp4) {
        kit.writer = make_mp4_writer(1);
        kit.sound = make_aac_encoder();
    } else {
        kit.writer = make_mp4_writer(2);
        kit.sound = make_amr_encoder();
        codec = VideoCodec::kH263;
    }
    kit.video = codec == VideoCodec::kH263   ? make_h263_encoder()
                : codec == VideoCodec::kMpeg4 ? make_xvid_encoder()
                                              : make_x264_encoder(out_format == kOutAvi);
    return kit;
}

const char* output_failure_text(int out_format) {
    return out_format == kOutAvi ? "创建AVI文件错误" : out_format == kOutMp4 ? "创建MP4文件错误" : "创建3GP文件错误";
}
