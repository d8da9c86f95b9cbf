#include "build_jobs.h"
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include "engine/state/run_state.h"

const char* const kJobCaption = "Orvane多媒体MP4转换器";
const char* const kNothingToPlay = "没有选择播放的多媒体文件";
const char* const kNothingToConvert = "没有选择转换的多媒体文件";
const char* const kTooManyJobs = "一次最多转换255个多媒体文件，只转换前255个选择的文件";

namespace {

// The list hands out at most this many characters of a number column, and of a path.
constexpr size_t kCellChars = 254;
constexpr size_t kPathChars = kJobPathSize - 1;

const char* skip_blanks(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

std::string cell(const JobRowSource& rows, int row, int column) {
    std::string text = rows.cell_text(row, column);
    if (text.size() > kCellChars) text.resize(kCellChars);
    return text;
}

// The record is the analysed one when the path matches byte for byte and it has segments to cut at.
int analysed_file_index(const char* path, const MediaFile* files, int file_count) {
    for (int i = 0; i < file_count; ++i) {
        const MediaFileRecord& r = files[i].record;
        if (strncmp(r.path, path, sizeof r.path) != 0) continue;
        bool has_index = strnlen(r.index_path, sizeof r.index_path) > 3;
        return has_index && r.segment_count > 1 ? i : -1;
    }
    return -1;
}

void fill_job(MediaJob& job, const JobRowSource& rows, int row, const MediaFile* files, int file_count) {
    job = MediaJob{};
    std::string path = rows.cell_text(row, job_column::kPath);
    std::memcpy(job.path, path.data(), std::min(path.size(), kPathChars));
    job.file_index = analysed_file_index(job.path, files, file_count);
    job.width = parse_cell_int(cell(rows, row, job_column::kWidth));
    job.height = parse_cell_int(cell(rows, row, job_column::kHeight));
    job.frame_rate = parse_cell_rate(cell(rows, row, job_column::kFrameRate));
    job.file_kind = parse_cell_int(cell(rows, row, job_column::kFileKind));
    job.file_size = parse_cell_int(cell(rows, row, job_column::kSize));
    job.sample_rate = parse_cell_int(cell(rows, row, job_column::kSampleRate));
    job.channels = std::min(parse_cell_int(cell(rows, row, job_column::kChannels)), 2);
    job.duration_s = parse_cell_int(cell(rows, row, job_column::kDuration));
    job.file_kind_copy = job.file_kind;
}

}  // namespace

int parse_cell_int(const std::string& text) {
    const char* p = skip_blanks(text.c_str());
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > INT_MAX) return negative ? INT_MIN : INT_MAX;
    }
    return int(negative ? -value : value);
}

double parse_cell_rate(const std::string& text) {
    const char* p = skip_blanks(text.c_str());
    if (*p == '+') ++p;
    double value = 0.0;
    auto result = std::from_chars(p, text.c_str() + text.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
    return value;
}

int build_jobs(JobCommand command, JobRowSource& rows, const MediaFile* files, int file_count, JobTable& table) {
    const bool play = command == JobCommand::Play;
    if (rows.selected_count() < 1) {
        rows.show_message(play ? kNothingToPlay : kNothingToConvert, kJobCaption);
        return 0;
    }
    if (flag_on(g_busy)) return 0;
    table.count = 0;
    const int row_count = rows.row_count();
    for (int row = 0; row < row_count; ++row) {
        if (!rows.is_selected(row)) continue;
        if (table.count == kMaxJobs) {
            rows.show_message(kTooManyJobs, kJobCaption);
            break;
        }
        fill_job(table.jobs[table.count++], rows, row, files, file_count);
        if (play) break;
    }
    set_flag(g_write_output, false);
    return table.count;
}
