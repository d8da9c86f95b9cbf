// What an output is made of, decided from the output settings in one place: the video codec by
// format, the sizes each codec can take, the rate a job without one is given, and the kit of writer
// and encoders for the format.
#pragma once
#include <memory>
#include "engine/state/run_state.h"

class OutputWriter;
class SoundEncoder;
class VideoEncoder;

enum class VideoCodec { kH263, kMpeg4, kH264 };

// 3GP is always H.263; MP4 and AVI by their codec setting: 0 H.263, 2 H.264, anything else MPEG-4.
VideoCodec video_codec_for(int out_format, int mp4_video_codec, int avi_video_codec);
// The same from the settings.
VideoCodec chosen_video_codec(int out_format);

// Rounds an output size down to what the codec takes: multiples of 4 for H.263, of 2 otherwise, and
// at least 16 x 16.
void round_output_size(VideoCodec codec, int* width, int* height);

// The frame rate a job without one gets: 25 for an AVI output of one file per job, else 15.
int job_default_rate(int out_format, bool merged);

// The writer and the two encoders of an output format.
struct OutputKit {
    std::unique_ptr<OutputWriter> writer;
    std::unique_ptr<VideoEncoder> video;
    std::unique_ptr<SoundEncoder> sound;
};
OutputKit choose_output_kit(int out_format, VideoCodec codec);

// The message box text of a format whose output cannot be made.
const char* output_failure_text(int out_format);
extern const char* const kConverterCaption;  // "Orvane多媒体MP4转换器"
