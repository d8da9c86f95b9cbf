// The MPEG branch's reader: the file in blocks of 3760 bytes (20 transport packets) through the
// demultiplexer, which decodes every picture into the output's frame buffer and hands it to the
// picture sink at its own size, and the sound into the PCM block. The job's kind tells the
// demultiplexer how to read the stream.
#include <algorithm>
#include <vector>
#include "base/fileio.h"
#include "engine/input/input_reader.h"
#include "engine/input/input_texts.h"
#include "media/mpeg/mpgdemux.h"

namespace {

constexpr int kBlockBytes = 3760;
// Pictures up to this size are taken whatever size the job was probed at.
constexpr int kLargestWidth = 1920, kLargestHeight = 1088;

class MpegReader : public InputReader {
public:
    ~MpegReader() override { close(); }

    bool open(const MediaJob& job, const InputCalls& calls, std::string* error) override {
        close();
        calls_ = &calls;
        mpgdemux_set_links(calls.demux_links);
        if (mpgdemux_init() < 0) {
            *error = "解码器内存分配失败";
            return false;
        }
        demux_open_ = true;
        mpg_stream_kind = job.file_kind;
        if (!file_.open(job.path, fileio::File::Mode::Read)) {
            close();
            *error = input_text::kOpenFailed;
            return false;
        }
        total_ = job.file_size > 0 ? job.file_size : file_.size();
        if (calls.mp3_init) calls.mp3_init(0);
        if (calls.ac3buf_init) calls.ac3buf_init(0, 1);
        libraries_open_ = true;
        const int64_t job_bytes = int64_t(picture::bgr24_stride(std::max(job.width, 0))) * std::max(job.height, 0);
        capacity_ = size_t(std::max<int64_t>(job_bytes, int64_t(picture::bgr24_stride(kLargestWidth)) * kLargestHeight));
        return true;
    }

    size_t frame_capacity() const override { return capacity_; }

    ReadStatus read_next(MediaOutput& out) override {
        if (!file_.is_open()) return ReadStatus::kEnd;
        mpgdemux_set_output(&out);
        const int before = out.pictures;
        const int64_t n = file_.read(block_, kBlockBytes);
        if (n > 0) {
            mpgdemux_feed(block_, int(n));
            position_ += n;
        }
        pictures_ += std::max(0, out.pictures - before);
        return n < kBlockBytes ? ReadStatus::kEnd : ReadStatus::kOk;
    }

    void flush(MediaOutput& out) override {
        if (!demux_open_) return;
        mpgdemux_set_output(&out);
        const int before = out.pictures;
        mpgdemux_flush();
        pictures_ += std::max(0, out.pictures - before);
    }

    bool seek_frame(int frame) override { return frame == 0 && position_ == 0; }

    void close() override {
        if (demux_open_) mpgdemux_close();
        demux_open_ = false;
        mpgdemux_set_output(nullptr);
        if (libraries_open_ && calls_) {
            if (calls_->mp3_close) calls_->mp3_close(0);
            if (calls_->ac3buf_close) calls_->ac3buf_close();
        }
        libraries_open_ = false;
        file_.close();
    }

    int next_frame() const override { return pictures_; }
    int frame_count() const override { return 0; }
    double position() const override { return total_ > 0 ? std::min(1.0, double(position_) / double(total_)) : 1.0; }

private:
    const InputCalls* calls_ = nullptr;
    fileio::File file_;
    bool demux_open_ = false, libraries_open_ = false;
    int64_t total_ = 0, position_ = 0;
    int pictures_ = 0;
    size_t capacity_ = 0;
    uint8_t block_[kBlockBytes];
};

}  // namespace

std::unique_ptr<InputReader> make_mpeg_reader() { return std::make_unique<MpegReader>(); }
