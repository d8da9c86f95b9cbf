#include "engine/input/input_reader.h"

namespace {

// In the classifier's order; the branches still to come keep a row without a reader.
const ReaderRow kRows[] = {
    {MediaBranch::Mp4, "MP4/3GP", make_mp4_reader},
    {MediaBranch::Mtv, "MTV", make_mtv_reader},
    {MediaBranch::Amv, "AMV", make_amv_reader},
    {MediaBranch::Swf, "SWF", nullptr},
    {MediaBranch::DirectShow, "DirectShow", nullptr},
    {MediaBranch::Flv, "FLV", nullptr},
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
