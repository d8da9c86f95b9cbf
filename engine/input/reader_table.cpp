#include "engine/input/input_reader.h"
#include <cstdio>
#include "engine/input/input_texts.h"
#include "engine/state/shared_buffers.h"

namespace {

// In the classifier's order; the branches still to come keep a row without a reader.
const ReaderRow kRows[] = {
    {MediaBranch::Mp4, "MP4/3GP", make_mp4_reader},
    {MediaBranch::Mtv, "MTV", make_mtv_reader},
    {MediaBranch::Amv, "AMV", make_amv_reader},
    {MediaBranch::Swf, "SWF", make_swf_reader},
    {MediaBranch::DirectShow, "DirectShow", make_dshow_reader},
    {MediaBranch::Flv, "FLV", make_flv_reader},
    {MediaBranch::Avi, "AVI", make_avi_reader},
    {MediaBranch::Mpeg, "MPEG", make_mpeg_reader},
};

}  // namespace

const ReaderRow* reader_rows(int* count) {
    if (count) *count = int(sizeof kRows / sizeof kRows[0]);
    return kRows;
}

std::unique_ptr<InputReader> make_reader(FileKind kind) {
    const MediaBranch branch = classify_kind(kind);
    for (const ReaderRow& row : kRows)
        if (row.branch == branch) return row.make ? row.make() : nullptr;
    return nullptr;
}

std::unique_ptr<InputReader> open_branch_reader(const MediaJob& job, const InputCalls& calls, std::string* error,
                                                bool playing) {
    std::unique_ptr<InputReader> reader = make_reader(job.file_kind);
    if (!reader) {
        *error = input_text::kUnsupported;
        return nullptr;
    }
    reader->set_playing(playing);
    if (!reader->open(job, calls, error)) return nullptr;
    if (!frame_buffer_reserve(reader->frame_capacity())) {
        reader->close();
        *error = classify_kind(job.file_kind) == MediaBranch::Avi ? input_text::kAviInitFailed : input_text::kOpenFailed;
        return nullptr;
    }
    return reader;
}

std::string path_text(const char* format, const char* path) {
    char text[kJobPathSize + 64];
    std::snprintf(text, sizeof text, format, path);
    return text;
}
