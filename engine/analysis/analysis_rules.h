// The segment analysis's window-free rules: which thread a file type gets, which entries of an index
// are decoded and which get a thumbnail, and the thumbnail's size.
#pragma once
#include <vector>
#include "media/records/segment_list.h"

// The four analysis threads by the file types they read.
enum class AnalysisKind { kNone, kFlvSwf, kMp4, kAvi, kMtvAmv };

// By the record's type name (exact): "FLV" and "SWF", "MP4", "AVI", "MTV" and "AMV"; any other is
// kNone. *alt_format is true for SWF and AMV (the second format of their thread).
AnalysisKind analysis_kind(const char* type_name, bool* alt_format);

constexpr int kThumbnailWidth = 128;
constexpr int kThumbnailHeight = 88;
// Key pictures closer than this to the last one with a thumbnail get none.
constexpr int kThumbnailSpacingMs = 800;
// An index whose picture is larger than this on a side is not analysed.
constexpr int kLargestAnalysedSide = 4096;

struct EntryChoice {
    bool decode = false;     // the entry's picture is read and decoded
    bool thumbnail = false;  // a thumbnail is made of it when it decodes
};

// Walks an index in order. A key picture (AVI: any non-zero key flag; others: flag 1) without a
// thumbnail is chosen when no picture was taken yet or it lies more than 800 ms after the last one
// taken. A key picture that already has a thumbnail (from an earlier analysis) counts as taken, so a
// second analysis chooses nothing new. SWF decodes every picture (its decoder needs them all) and
// makes a thumbnail of each key picture without one.
class EntryChooser {
public:
    EntryChooser(AnalysisKind kind, bool alt_format);
    EntryChoice next(const Segment& segment);
    // A thumbnail was made of this entry.
    void taken(const IndexEntry& entry);

private:
    bool every_picture_ = false;
    bool any_key_flag_ = false;
    bool any_taken_ = false;
    int last_ms_ = 0;
};

// The entries an analysis makes thumbnails of when every chosen picture decodes (for tests and the
// bench).
std::vector<int> entries_with_thumbnails(const SegmentList& segments, AnalysisKind kind, bool alt_format);
