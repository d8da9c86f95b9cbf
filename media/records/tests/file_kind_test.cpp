// Every code the probe stores reaches the branch that can read it, with its packed fields.
#include <gtest/gtest.h>
#include <climits>
#include "media/records/file_kind.h"

namespace {

struct KindCase {
    FileKind kind;
    MediaBranch branch;
    int video;
    int sound;
};

const char* name(MediaBranch b) {
    switch (b) {
    case MediaBranch::Mp4: return "Mp4";
    case MediaBranch::Mtv: return "Mtv";
    case MediaBranch::Amv: return "Amv";
    case MediaBranch::Swf: return "Swf";
    case MediaBranch::DirectShow: return "DirectShow";
    case MediaBranch::Flv: return "Flv";
    case MediaBranch::Avi: return "Avi";
    case MediaBranch::Mpeg: return "Mpeg";
    }
    return "?";
}

using namespace file_kind;

const KindCase kCases[] = {
    // MPEG streams identified by the stream parser
    {2, MediaBranch::Mpeg, 0, 0}, {3, MediaBranch::Mpeg, 0, 0}, {5, MediaBranch::Mpeg, 0, 0},
    {6, MediaBranch::Mpeg, 0, 0}, {10, MediaBranch::Mpeg, 0, 0}, {11, MediaBranch::Mpeg, 0, 0},
    {0, MediaBranch::Mpeg, 0, 0}, {-1, MediaBranch::Mpeg, 0, 0},
    {99, MediaBranch::Avi, 0, 0},
    {3993, MediaBranch::Amv, 0, 0},
    {3994, MediaBranch::Mtv, 0, 0},
    // SWF: Sorenson H.263 (2) and VP6 (4), without sound head (-1) up to sound format 15
    {swf(2, -1), MediaBranch::Swf, 2, -1}, {swf(2, 0), MediaBranch::Swf, 2, 0}, {swf(2, 2), MediaBranch::Swf, 2, 2},
    {swf(2, 15), MediaBranch::Swf, 2, 15}, {swf(4, -1), MediaBranch::Swf, 4, -1}, {swf(4, 6), MediaBranch::Swf, 4, 6},
    {swf(4, 15), MediaBranch::Swf, 4, 15},
    {3511, MediaBranch::Swf, 2, -1}, {4023, MediaBranch::Swf, 4, -1},
    // FLV/F4V: H.263 (2), VP6 stored as 1, AVC (7); sound format + 1, 0 without audio tag
    {flv(1, 0), MediaBranch::Flv, 1, 0}, {flv(1, 3), MediaBranch::Flv, 1, 3}, {flv(2, 0), MediaBranch::Flv, 2, 0},
    {flv(2, 16), MediaBranch::Flv, 2, 16}, {flv(7, 11), MediaBranch::Flv, 7, 11}, {flv(7, 0), MediaBranch::Flv, 7, 0},
    {4000, MediaBranch::Flv, 0, 0}, {5999, MediaBranch::Flv, 7, 207},
    // DirectShow and the Windows Media reader
    {5002, MediaBranch::DirectShow, 0, 0}, {5003, MediaBranch::DirectShow, 0, 0},
    {6002, MediaBranch::DirectShow, 0, 0}, {6003, MediaBranch::DirectShow, 0, 0},
    {7002, MediaBranch::DirectShow, 0, 0}, {7003, MediaBranch::DirectShow, 0, 0},
    {8000, MediaBranch::DirectShow, 0, 0}, {6000, MediaBranch::DirectShow, 0, 0}, {9999, MediaBranch::DirectShow, 0, 0},
    // MP4/3GP: video value and audio type (0 none, 1 AMR-NB, 2 AMR-WB, 3 AAC)
    {mp4(1, 1), MediaBranch::Mp4, 1, 1}, {mp4(2, 3), MediaBranch::Mp4, 2, 3}, {mp4(3, 0), MediaBranch::Mp4, 3, 0},
    {mp4(3, 2), MediaBranch::Mp4, 3, 2}, {10000, MediaBranch::Mp4, 0, 0},
    // Neighbours of the fixed codes fall to the MPEG reader
    {98, MediaBranch::Mpeg, 0, 0}, {100, MediaBranch::Mpeg, 0, 0}, {3992, MediaBranch::Mpeg, 0, 0},
    {3995, MediaBranch::Mpeg, 0, 0}, {3510, MediaBranch::Mpeg, 0, 0}, {3528, MediaBranch::Mpeg, 0, 0},
};

}  // namespace

TEST(FileKind, EveryFamilyReachesItsBranch) {
    for (const KindCase& c : kCases) {
        KindFields f = decode_kind(c.kind);
        EXPECT_STREQ(name(f.branch), name(c.branch)) << "kind " << c.kind;
        EXPECT_EQ(classify_kind(c.kind), c.branch) << "kind " << c.kind;
        if (c.branch == MediaBranch::Mp4 || c.branch == MediaBranch::Swf || c.branch == MediaBranch::Flv) {
            EXPECT_EQ(f.video, c.video) << "kind " << c.kind;
            EXPECT_EQ(f.sound, c.sound) << "kind " << c.kind;
        }
    }
}

// VP6 SWF codes lie inside the FLV range and Windows Media codes inside 4000..5999: the order of the
// tests must keep them apart over the whole range.
TEST(FileKind, OverlappingRangesResolveInOrder) {
    for (int sound = -1; sound <= 15; ++sound) EXPECT_EQ(classify_kind(swf(4, sound)), MediaBranch::Swf);
    for (FileKind kind = 4000; kind <= 5999; ++kind) {
        MediaBranch b = classify_kind(kind);
        if (kind >= swf(4, -1) && kind <= swf(4, 15)) EXPECT_EQ(b, MediaBranch::Swf) << kind;
        else if (kind == 5002 || kind == 5003) EXPECT_EQ(b, MediaBranch::DirectShow) << kind;
        else EXPECT_EQ(b, MediaBranch::Flv) << kind;
    }
}

// A damaged saved list can carry any int: the lowest and highest ones decode without overflow
// (UBSan stops the test at a signed overflow).
TEST(FileKind, ExtremeCodesDecodeWithoutOverflow) {
    const FileKind extremes[] = {INT_MIN, INT_MIN + 1, INT_MIN + 3000, INT_MIN + 3511, INT_MIN + 4024, -1, INT_MAX};
    for (FileKind kind : extremes) {
        KindFields f = decode_kind(kind);
        EXPECT_EQ(f.branch, kind == INT_MAX ? MediaBranch::Mp4 : MediaBranch::Mpeg) << kind;
    }
}
