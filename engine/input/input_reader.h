// The input side's one shape: a reader per input branch (open, read the next picture and sound into
// the output description, seek to a picture, close), and one table from the kind classifier's branch
// to the readers. The conversion thread, the playback thread and the probe's later users all take
// their reader from this table; what differs between conversion and playback is only the sinks they
// put into the MediaOutput.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include "base/media_output.h"
#include "engine/input/input_calls.h"
#include "engine/state/media_job.h"
#include "media/records/file_kind.h"

struct MediaFile;

enum class ReadStatus {
    kOk,      // something was read; more may follow
    kEnd,     // the source is done (its end, or a short read)
    kFailed,  // the source cannot be read on (the text says why)
};

class InputReader {
public:
    virtual ~InputReader() = default;

    // Opens the job's source and makes its decoders through `calls` (kept by pointer until close).
    // False with the status-line text in *error when it cannot; nothing stays open then.
    virtual bool open(const MediaJob& job, const InputCalls& calls, std::string* error) = 0;
    // Bytes the frame buffer needs for the reader's pictures (known after open).
    virtual size_t frame_capacity() const = 0;

    // Reads the next step into `out`: the decoded sound is appended to out.pcm and handed to
    // out.on_sound (in pieces that fit out.pcm_capacity), each decoded picture is written to out.frame
    // (within out.frame_capacity, at its own size) and handed to out.on_picture. AVI: the sound chunks
    // before the next picture, then that picture (one that does not decode is skipped). MPEG: one
    // block of the file through the demultiplexer, with every picture and sound it completes.
    virtual ReadStatus read_next(MediaOutput& out) = 0;
    // At the end of the source: what the decoders still hold comes out into `out`.
    virtual void flush(MediaOutput& out) = 0;

    // The next read starts at picture `frame` (and the sound that belongs before it). False when the
    // reader cannot seek or the frame is outside the source.
    virtual bool seek_frame(int frame) = 0;
    // A reader that finds the record's range itself (by file positions or its own index) takes the
    // range of `file` (null: the whole file) right after open. It returns the picture from which
    // pictures and sound are used (those before are read for the decoder only), or -1 when it leaves
    // the range to the branch.
    virtual int use_range(const MediaFile* file) {
        (void)file;
        return -1;
    }
    // The range's start: reading starts at picture `first_read`; pictures before `first_shown` are
    // decoded but not handed over, and the sound starts at first_shown's time (readers that keep no
    // such distinction seek to first_read).
    virtual bool seek_range(int first_read, int first_shown) {
        (void)first_shown;
        return seek_frame(first_read);
    }
    // The rate and channel count of the decoded sound when the reader knows better than the job's
    // record (a decoder's own report); false to keep the job's.
    virtual bool sound_format(int* rate, int* channels) const {
        (void)rate;
        (void)channels;
        return false;
    }
    // A text for the second label after open (a sound the reader cannot decode), or empty.
    const std::string& notice() const { return notice_; }
    // Inside out.on_picture: the time of the picture handed over in ms from the source's start, when
    // the source stamps its pictures (FLV tags, the SWF movie's frame period); -1 when the pictures
    // follow the job's frame rate.
    virtual int64_t picture_time_ms() const { return -1; }
    // The user's Pause while a source that runs on by itself (a DirectShow graph) is read: true holds
    // it, false lets it go on. Readers that read only when asked ignore it.
    virtual void hold(bool paused) { (void)paused; }
    // Set before open by a reader's user that plays rather than converts.
    void set_playing(bool playing) { playing_ = playing; }
    bool playing() const { return playing_; }
    // Closes the source and the decoders made by open; harmless twice.
    virtual void close() = 0;

    // Index of the picture read next; inside out.on_picture, the index of the picture handed over.
    virtual int next_frame() const = 0;
    // Pictures in the source, 0 when not known before the end.
    virtual int frame_count() const = 0;
    // Share of the source read so far, 0..1.
    virtual double position() const = 0;
    // Text of the last kFailed.
    const std::string& error() const { return error_; }

protected:
    std::string error_;
    std::string notice_;
    bool playing_ = false;
};

// One row of the readers' table: the branch the kind classifier gives, and the reader that reads it
// (null while that branch is not built).
struct ReaderRow {
    MediaBranch branch;
    const char* name;
    std::unique_ptr<InputReader> (*make)();
};

// The table, in the classifier's order; *count receives the number of rows.
const ReaderRow* reader_rows(int* count);
// The reader for a file kind (classify_kind), or null when its branch has no reader yet.
std::unique_ptr<InputReader> make_reader(FileKind kind);

// The start of every input branch, conversion or playback: the reader of the job's kind from the
// table, opened, and g_frame_buf made to hold its pictures. Null, with the status-line text in *error
// ("视频解码不支持 " for a kind whose branch has no reader), when it cannot; nothing stays open then.
// `playing`: the reader plays the job (the playback thread) rather than converting it.
std::unique_ptr<InputReader> open_branch_reader(const MediaJob& job, const InputCalls& calls, std::string* error,
                                                bool playing = false);

// A status text of the source's path ("正在转换%s", "播放%s结束" ...).
std::string path_text(const char* format, const char* path);

// The readers themselves, for the table and for tests.
std::unique_ptr<InputReader> make_avi_reader();
std::unique_ptr<InputReader> make_mpeg_reader();
std::unique_ptr<InputReader> make_swf_reader();
std::unique_ptr<InputReader> make_flv_reader();
// The DirectShow reader of the program (null where no DirectShow is: the native build, or before the
// program installs it with set_dshow_reader_maker).
std::unique_ptr<InputReader> make_dshow_reader();
void set_dshow_reader_maker(std::unique_ptr<InputReader> (*maker)());
std::unique_ptr<InputReader> make_mp4_reader();
std::unique_ptr<InputReader> make_mtv_reader();
std::unique_ptr<InputReader> make_amv_reader();
