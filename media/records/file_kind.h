// The kind code of a media file and the one mapping from a code to the branch that reads it.
// The probe stores the code; the playback and conversion threads and the analysis dispatch on it.
#pragma once
#include <cstdint>

using FileKind = int32_t;

// Reading branch of a file kind, in the order in which codes are tested.
enum class MediaBranch {
    Mp4,         // 10000 + 256 v + a (MP4, 3GP)
    Mtv,         // 3994
    Amv,         // 3993
    Swf,         // 3000 + 256 v + a, v = 2 or 4, a = -1..15
    DirectShow,  // 5002/5003 (Windows Media), 6000..9999 (RealMedia, QuickTime, sound only)
    Flv,         // 4000..5999 otherwise (4000 + 256 v + a)
    Avi,         // 99
    Mpeg,        // anything else (MPEG program, transport, PES and elementary streams)
};

namespace file_kind {
constexpr FileKind kAvi = 99;
constexpr FileKind kAmv = 3993;
constexpr FileKind kMtv = 3994;
constexpr FileKind kSwfBase = 3000;
constexpr FileKind kFlvBase = 4000;
constexpr FileKind kWindowsMediaSilent = 5002;
constexpr FileKind kWindowsMediaSound = 5003;
constexpr FileKind kDirectShowFirst = 6000;
constexpr FileKind kDirectShowLast = 9999;
constexpr FileKind kMp4Base = 10000;
constexpr int kNoSwfSound = -1;

// SWF: v = video codec id (2 or 4), a = sound format of the stream head or -1.
constexpr FileKind swf(int video_codec, int sound_format) { return kSwfBase + 256 * video_codec + sound_format; }
// FLV/F4V: v = video codec (VP6 stored as 1), a = first audio tag's sound format + 1, 0 without sound.
constexpr FileKind flv(int video_codec, int sound_plus_one) { return kFlvBase + 256 * video_codec + sound_plus_one; }
// MP4/3GP: v = the reader library's video value, a = audio type (0 none, 1 AMR-NB, 2 AMR-WB, 3 AAC).
constexpr FileKind mp4(int video_value, int audio_type) { return kMp4Base + 256 * video_value + audio_type; }
}  // namespace file_kind

// The fields packed into a kind code; video and sound are meaningful for Mp4, Swf and Flv only.
struct KindFields {
    MediaBranch branch;
    int video;  // Mp4: video value; Swf: video codec id; Flv: video codec (1 = VP6)
    int sound;  // Mp4: audio type; Swf: sound format (-1 none); Flv: sound format + 1 (0 none)
};

MediaBranch classify_kind(FileKind kind);
KindFields decode_kind(FileKind kind);
