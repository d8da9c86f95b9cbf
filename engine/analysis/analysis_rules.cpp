#include "engine/analysis/analysis_rules.h"
#include <cstring>

AnalysisKind analysis_kind(const char* type_name, bool* alt_format) {
    bool alt = false;
    AnalysisKind kind = AnalysisKind::kNone;
    if (type_name) {
        if (!std::strcmp(type_name, "FLV") || !std::strcmp(type_name, "SWF")) {
            kind = AnalysisKind::kFlvSwf;
            alt = !std::strcmp(type_name, "SWF");
        } else if (!std::strcmp(type_name, "AMV") || !std::strcmp(type_name, "MTV")) {
            kind = AnalysisKind::kMtvAmv;
            alt = !std::strcmp(type_name, "AMV");
        } else if (!std::strcmp(type_name, "AVI")) {
            kind = AnalysisKind::kAvi;
        } else if (!std::strcmp(type_name, "MP4")) {
            kind = AnalysisKind::kMp4;
        }
    }
    if (alt_format) *alt_format = alt;
    return kind;
}

EntryChooser::EntryChooser(AnalysisKind kind, bool alt_format)
    : every_picture_(kind == AnalysisKind::kFlvSwf && alt_format), any_key_flag_(kind == AnalysisKind::kAvi) {}

EntryChoice EntryChooser::next(const Segment& segment) {
    const IndexEntry& e = segment.entry;
    EntryChoice choice;
    if (every_picture_) {
        choice.decode = true;
        choice.thumbnail = e.is_key != 0 && !segment.has_thumbnail();
        return choice;
    }
    const bool key = any_key_flag_ ? e.is_key != 0 : e.is_key == 1;
    if (!key) return choice;
    if (segment.has_thumbnail()) {
        taken(e);
        return choice;
    }
    // The difference in 64 bits: times near the int32 limits must not wrap.
    if (!any_taken_ || int64_t(e.time_ms) - int64_t(last_ms_) > kThumbnailSpacingMs)
        choice.decode = choice.thumbnail = true;
    return choice;
}

void EntryChooser::taken(const IndexEntry& entry) {
    any_taken_ = true;
    last_ms_ = entry.time_ms;
}

std::vector<int> entries_with_thumbnails(const SegmentList& segments, AnalysisKind kind, bool alt_format) {
    std::vector<int> chosen;
    EntryChooser chooser(kind, alt_format);
    for (size_t j = 0; j < segments.size(); ++j) {
        if (!chooser.next(segments[j]).thumbnail) continue;
        chooser.taken(segments[j].entry);
        chosen.push_back(int(j));
    }
    return chosen;
}
