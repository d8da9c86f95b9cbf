// Turning the selected rows of the media list into jobs: the steps shared by Play and Convert.
#pragma once
#include <string>
#include "engine/state/media_job.h"
#include "media/records/segment_list.h"

// Media-list columns the job builder reads.
namespace job_column {
constexpr int kPath = 1, kSize = 2, kDuration = 4, kWidth = 5, kHeight = 6, kFrameRate = 7, kSampleRate = 8,
              kChannels = 9, kFileKind = 10;
}

// What the builder needs of the media list and of the user: the program passes the list control and
// the message-box seam, tests a table.
class JobRowSource {
public:
    virtual ~JobRowSource() = default;
    virtual int row_count() const = 0;
    virtual int selected_count() const = 0;
    virtual bool is_selected(int row) const = 0;
    virtual std::string cell_text(int row, int column) const = 0;
    virtual void show_message(const char* text, const char* caption) = 0;
};

enum class JobCommand { Play, Convert };

extern const char* const kJobCaption;
extern const char* const kNothingToPlay;
extern const char* const kNothingToConvert;
extern const char* const kTooManyJobs;

// Fills the table from the selected rows in list order (Play: the first selected row only; Convert:
// at most kMaxJobs, telling the user when more were selected) and clears g_write_output. Returns the
// job count; 0 with a message when nothing is selected, 0 silently (table untouched) while g_busy is set.
int build_jobs(JobCommand command, JobRowSource& rows, const MediaFile* files, int file_count, JobTable& table);

// Leading number of a list cell: whole numbers like atoi but clamped instead of overflowing, rates
// with their fraction; text that is no number gives 0.
int parse_cell_int(const std::string& text);
double parse_cell_rate(const std::string& text);
