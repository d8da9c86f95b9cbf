#include "file_kind.h"
#include <initializer_list>

namespace {

// SWF codes: 3000 + 256 v + a with v = 2 or 4 and a from -1 (no sound head) to 15.
bool decode_swf(FileKind kind, KindFields& out) {
    for (int video : {2, 4}) {
        const int64_t sound = int64_t(kind) - file_kind::swf(video, 0);
        if (sound >= file_kind::kNoSwfSound && sound <= 15) {
            out = {MediaBranch::Swf, video, int(sound)};
            return true;
        }
    }
    return false;
}

bool is_direct_show(FileKind kind) {
    return kind == file_kind::kWindowsMediaSilent || kind == file_kind::kWindowsMediaSound ||
           (kind >= file_kind::kDirectShowFirst && kind <= file_kind::kDirectShowLast);
}

}  // namespace

KindFields decode_kind(FileKind kind) {
    // 10000 itself is an MP4 without video value and sound; it still belongs to the MP4 reader.
    if (kind >= file_kind::kMp4Base) {
        int64_t rest = int64_t(kind) - file_kind::kMp4Base;
        return {MediaBranch::Mp4, int(rest / 256), int(rest % 256)};
    }
    if (kind == file_kind::kMtv) return {MediaBranch::Mtv, 0, 0};
    if (kind == file_kind::kAmv) return {MediaBranch::Amv, 0, 0};
    KindFields swf{};
    if (decode_swf(kind, swf)) return swf;
    if (is_direct_show(kind)) return {MediaBranch::DirectShow, 0, 0};
    if (kind >= file_kind::kFlvBase && kind <= 5999) {
        int rest = kind - file_kind::kFlvBase;
        return {MediaBranch::Flv, rest / 256, rest % 256};
    }
    if (kind == file_kind::kAvi) return {MediaBranch::Avi, 0, 0};
    return {MediaBranch::Mpeg, 0, 0};
}

MediaBranch classify_kind(FileKind kind) { return decode_kind(kind).branch; }
