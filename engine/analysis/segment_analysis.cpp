#include "engine/analysis/segment_analysis.h"
#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>
#include "base/fileio.h"
#include "base/picture.h"
#include "engine/image/rgb_image.h"
#include "engine/input/mp4_input.h"
#include "engine/input/mtv_input.h"

namespace {

std::string with(const char* format, const char* text) {
    char buffer[1200];
    std::snprintf(buffer, sizeof buffer, format, text);
    return buffer;
}

// A decoded picture: B,G,R rows top-down at the 4-byte-aligned stride of its width.
struct Picture {
    std::vector<uint8_t> bytes;
    int width = 0;
    int height = 0;
    int filled = 0;  // bytes the decoder wrote
};

// One thread's way from an index entry to a picture.
class PictureSource {
public:
    virtual ~PictureSource() = default;
    // Opens the media file and sets up the decoder for the index; false when the file cannot be read.
    virtual bool open(const AnalysisRequest& request, IndexFile& index) = 0;
    // Decodes entry j into `picture`; false when no picture came out.
    virtual bool decode(int j, const IndexEntry& entry, Picture& picture) = 0;
    virtual void close() = 0;
    // Pictures handed to the decoder so far.
    int handed() const { return handed_; }

protected:
    int handed_ = 0;
};

// Reads an entry's bytes from the media file (its bounds were checked against the file beforehand).
bool read_entry(fileio::File& file, const IndexEntry& entry, std::vector<uint8_t>& data) {
    data.resize(size_t(entry.length));
    return file.seek(entry.position) && file.read_exact(data.data(), entry.length);
}

void size_picture(Picture& picture, int width, int height) {
    picture.width = width;
    picture.height = height;
    picture.bytes.assign(size_t(width) * size_t(height) * 4, 0);
}

// FLV and SWF: frames read by file position; Sorenson H.263, VP6 or H.264 (FLV codec 7).
class FlashSource : public PictureSource {
public:
    FlashSource(const InputCalls& c, bool swf) : c_(c), swf_(swf) {}
    bool open(const AnalysisRequest& request, IndexFile& index) override {
        if (!file_.open(request.media_path.c_str(), fileio::File::Mode::Read)) return false;
        codec_ = index.codec;
        block1_ = index.block1;
        size_picture(picture_size_, index.width, index.height);
        if (codec_ == 4) {
            open_ = c_.vpdecode_init && c_.vpdecode_getvideo && c_.vpdecode_init() >= 0;
        } else if (codec_ == 7 && !swf_) {
            open_ = c_.h264_open && c_.h264_decode &&
                    c_.h264_open(index.width, index.height) >= 0;
            prime();
        } else {
            open_ = c_.sh263de_init && c_.sh263de_frame && c_.sh263de_init() >= 0;
            if (open_ && c_.sh263de_setdispmode) c_.sh263de_setdispmode(0);
        }
        return true;
    }
    bool decode(int, const IndexEntry& entry, Picture& picture) override {
        if (!open_ || !read_entry(file_, entry, data_)) return false;
        uint8_t* frame = picture.bytes.data();
        const int capacity = int(picture.bytes.size());
        int n = int(data_.size());
        int r = -1;
        if (codec_ == 4) {
            if (swf_) data_.insert(data_.begin(), 0);  // the library takes the crop byte FLV carries
            ++handed_;
            r = c_.vpdecode_getvideo(data_.data(), int(data_.size()), frame, capacity);
        } else if (codec_ == 7 && !swf_) {
            // A picture packet (type 1) after its type and composition time; lengths turned into
            // start codes. The sequence header (type 0) was read into block 1 by the probe.
            if (n <= 4 || data_[0] != 1) return false;
            uint8_t* body = data_.data() + 4;
            n -= 4;
            if (!h264_has_start_codes(body, n)) n = h264_prefix_rewrite(body, n);
            if (n <= 0) return false;
            ++handed_;
            r = c_.h264_decode(body, n, frame);
            // A decoder that holds pictures back gives this key picture at a flush; it then starts
            // over and needs the parameter sets again.
            if (r == 0) {
                r = c_.h264_decode(nullptr, 0, frame);
                prime();
            }
        } else {
            ++handed_;
            r = c_.sh263de_frame(data_.data(), n, frame, capacity);
        }
        picture.filled = r > 0 ? r : 0;
        return r > 0;
    }
    void close() override {
        if (open_) {
            if (codec_ == 4) {
                if (c_.vpdecode_close) c_.vpdecode_close();
            } else if (codec_ == 7 && !swf_) {
                if (c_.h264_close) c_.h264_close();
            } else if (c_.sh263de_exit) {
                c_.sh263de_exit();
            }
        }
        open_ = false;
        file_.close();
    }

private:
    void prime() {
        if (open_ && !block1_.empty())
            c_.h264_decode(block1_.data(), int(block1_.size()), picture_size_.bytes.data());
    }
    const InputCalls& c_;
    const bool swf_;
    fileio::File file_;
    int codec_ = 0;
    bool open_ = false;
    std::vector<uint8_t> block1_, data_;
    Picture picture_size_;  // scratch for what the parameter sets give
};

// MP4 and 3GP: samples by number through the reader library; H.263, MPEG-4 or H.264.
class Mp4Source : public PictureSource {
public:
    explicit Mp4Source(const InputCalls& c) : c_(c) {}
    bool open(const AnalysisRequest& request, IndexFile& index) override {
        if (!c_.mp4de_init || !c_.mp4_readvideo || c_.mp4de_init(request.media_path.c_str()) < 0) return false;
        file_open_ = true;
        index_ = &index;
        codec_ = index.codec;
        int count = 0, largest = 0;
        if (c_.mp4_getvideonum) c_.mp4_getvideonum(&count, &largest);
        sample_.assign(size_t(largest > 2999 ? largest : 4090) * 8, 0);
        std::vector<uint8_t> config(1024, 0);
        int config_length = 0;
        if (c_.mp4_getvideo) {
            int w = 0, h = 0, value = 0, other = 0;
            double fps = 0, duration = 0;
            config_length = std::clamp(c_.mp4_getvideo(&w, &h, &fps, &value, &duration, &other, config.data()), 0, 1024);
        }
        Picture scratch;
        size_picture(scratch, index.width, index.height);
        if (codec_ == 1) {
            decoder_ = c_.h263de_init && c_.h263de_frame && c_.h263de_init() >= 0;
        } else if (codec_ == 2) {
            decoder_ = c_.mpeg4_init && c_.mpeg4_decode && c_.mpeg4_init(320, 160) >= 0;
            if (decoder_ && config_length > 0)
                c_.mpeg4_decode(config.data(), config_length, scratch.bytes.data(), int(scratch.bytes.size()), nullptr);
        } else if (codec_ == 3) {
            // This thread's own H.264 decoder: the workers' one belongs to them.
            decoder_ = c_.h264_open && c_.h264_decode &&
                       c_.h264_open(index.width, index.height) >= 0;
            config_.assign(config.begin(), config.begin() + config_length);
            prime(scratch);
        }
        return true;
    }
    bool decode(int j, const IndexEntry&, Picture& picture) override {
        if (!decoder_) return false;
        if (codec_ == 3) std::fill(sample_.begin(), sample_.end(), 0);
        int time = 0, second = 0;
        unsigned char key = 0;
        int n = c_.mp4_readvideo(sample_.data(), j, &time, &second, &key);
        if (n <= 0 || size_t(n) > sample_.size()) return false;
        ++handed_;
        int r = -1;
        if (codec_ == 1) {
            r = c_.h263de_frame(sample_.data(), n, picture.bytes.data(), int(picture.bytes.size()));
        } else if (codec_ == 2) {
            r = c_.mpeg4_decode(sample_.data(), n, picture.bytes.data(), int(picture.bytes.size()), nullptr);
            if (r == -88) {
                // The picture is of another size: take it on and decode the key picture again at it.
                int w = 0, h = 0;
                if (c_.mpeg4_getwh && c_.mpeg4_getwh(&w, &h) >= 0 && w > 0 && h > 0 && w <= kLargestAnalysedSide &&
                    h <= kLargestAnalysedSide) {
                    if (w != picture.width || h != picture.height) {
                        size_picture(picture, w, h);
                        index_->width = w;
                        index_->height = h;
                    }
                    r = c_.mpeg4_decode(sample_.data(), n, picture.bytes.data(), int(picture.bytes.size()), nullptr);
                }
            }
        } else if (codec_ == 3) {
            if (!h264_has_start_codes(sample_.data(), n)) n = h264_prefix_rewrite(sample_.data(), n);
            if (n <= 0) return false;
            r = c_.h264_decode(sample_.data(), n, picture.bytes.data());
            if (r == 0) {
                r = c_.h264_decode(nullptr, 0, picture.bytes.data());
                Picture scratch;
                size_picture(scratch, picture.width, picture.height);
                prime(scratch);
            }
        }
        picture.filled = r > 0 ? r : 0;
        return r > 0;
    }
    void close() override {
        if (decoder_) {
            if (codec_ == 1 && c_.h263de_exit) c_.h263de_exit();
            if (codec_ == 2 && c_.mpeg4_close) c_.mpeg4_close();
            if (codec_ == 3 && c_.h264_close) c_.h264_close();
        }
        decoder_ = false;
        if (file_open_ && c_.mp4de_close) c_.mp4de_close();
        file_open_ = false;
    }

private:
    void prime(Picture& scratch) {
        if (decoder_ && !config_.empty()) c_.h264_decode(config_.data(), int(config_.size()), scratch.bytes.data());
    }
    const InputCalls& c_;
    IndexFile* index_ = nullptr;
    int codec_ = 0;
    bool file_open_ = false, decoder_ = false;
    std::vector<uint8_t> sample_, config_;
};

// AVI: frames read by file position, decoded by the AVI picture library set up from the stream
// parser's video description.
class AviSource : public PictureSource {
public:
    explicit AviSource(const InputCalls& c) : c_(c) {}
    // Before the index is read: false when the decoder cannot be set up for the file.
    bool set_up(const AnalysisRequest& request) {
        if (!c_.mux_init || !c_.open_stream || !c_.get_mpeg4_video || !c_.tolmdivx_initrgb || !c_.tolmdivx_playbuf)
            return false;
        c_.mux_init();
        if (c_.open_stream(request.media_path.c_str()) < 0) return false;
        Mpeg4VideoInfo info{};
        c_.get_mpeg4_video(reinterpret_cast<unsigned char*>(&info));
        decoder_ = c_.tolmdivx_initrgb(info) >= 0;
        return decoder_;
    }
    bool open(const AnalysisRequest& request, IndexFile&) override {
        return file_.open(request.media_path.c_str(), fileio::File::Mode::Read);
    }
    bool decode(int, const IndexEntry& entry, Picture& picture) override {
        if (!decoder_ || !read_entry(file_, entry, data_)) return false;
        int bytes = 0, key = 0;
        ++handed_;
        int r = c_.tolmdivx_playbuf(data_.data(), int(data_.size()), 1, picture.bytes.data(), &bytes, picture.width,
                                    picture.height, &key);
        if (r >= 0 && bytes <= 0)
            r = c_.tolmdivx_playbuf(nullptr, 0, 1, picture.bytes.data(), &bytes, picture.width, picture.height, &key);
        picture.filled = r >= 0 && bytes > 0 ? bytes : 0;
        return picture.filled > 0;
    }
    void close() override {
        if (decoder_ && c_.tolmdivx_close) c_.tolmdivx_close();
        decoder_ = false;
        file_.close();
    }

private:
    const InputCalls& c_;
    fileio::File file_;
    bool decoder_ = false;
    std::vector<uint8_t> data_;
};

// MTV and AMV: frames by number through the MTV/AMV library; MTV pictures are 16-bit pixels, AMV
// pictures JPEG frames.
class MtvSource : public PictureSource {
public:
    MtvSource(const InputCalls& c, bool amv) : c_(c), amv_(amv) {}
    bool open(const AnalysisRequest& request, IndexFile& index) override {
        auto init = amv_ ? c_.amv_init : c_.mtv_init;
        getdata_ = amv_ ? c_.amv_getdata : c_.mtv_getdata;
        if (!init || !getdata_ || init(request.media_path.c_str()) < 0) return false;
        open_ = true;
        if (!amv_ && c_.mtv_getpicinfo) c_.mtv_getpicinfo(&pixel_format_, &bits_);
        const size_t pixels = size_t(index.width) * size_t(index.height);
        stored_.assign(amv_ ? 6 * pixels : mtv_offered_bytes(bits_, index.width, index.height) * 2, 0);
        sound_.assign(15360, 0);
        return true;
    }
    bool decode(int, const IndexEntry& entry, Picture& picture) override {
        int length = int(std::min<size_t>(stored_.size(), INT32_MAX));
        if (getdata_(entry.position, sound_.data(), int(sound_.size()), stored_.data(), &length) < 0 || length <= 0)
            return false;
        ++handed_;
        const int stride = picture::bgr24_stride(picture.width);
        const bool ok = amv_ ? amv_picture_bgr(stored_.data(), size_t(length), picture.width, picture.height,
                                               picture.bytes.data(), stride)
                             : mtv_picture_bgr(stored_.data(), size_t(length), picture.width, picture.height,
                                               pixel_format_, picture.bytes.data(), stride);
        picture.filled = ok ? stride * picture.height : 0;
        return ok;
    }
    void close() override {
        if (open_) {
            auto close_file = amv_ ? c_.amv_close : c_.mtv_close;
            if (close_file) close_file();
        }
        open_ = false;
    }

private:
    const InputCalls& c_;
    const bool amv_;
    bool open_ = false;
    int (*getdata_)(int, unsigned char*, int, unsigned char*, int*) = nullptr;
    int pixel_format_ = 0, bits_ = 16;
    std::vector<uint8_t> stored_, sound_;
};

// Entries are read by file position for FLV, SWF and AVI, by number for the others; either way a
// length (and a position) reaching past the media file makes the index unusable.
bool index_fits(const IndexFile& index, AnalysisKind kind, int64_t media_size) {
    if (index.width < 1 || index.height < 1 || index.width > kLargestAnalysedSide ||
        index.height > kLargestAnalysedSide)
        return false;
    const bool by_position = kind == AnalysisKind::kFlvSwf || kind == AnalysisKind::kAvi;
    for (const Segment& s : index.segments) {
        const IndexEntry& e = s.entry;
        if (e.length < 0 || e.length > media_size) return false;
        if (by_position && (e.position < 0 || int64_t(e.position) + e.length > media_size)) return false;
    }
    return true;
}

// The decoded picture scaled to 128 x 88 and packed; empty when it cannot be.
std::vector<uint8_t> thumbnail(const Picture& decoded, const AnalysisLibraries& libraries) {
    CRgbImage image(decoded.width, decoded.height, 0xFFFFFF);
    const size_t bytes = std::min({image.byte_size(), size_t(decoded.filled), decoded.bytes.size()});
    if (bytes == 0) return {};
    std::memcpy(image.row(0), decoded.bytes.data(), bytes);
    if (!CRgbImage::Scale(image, kThumbnailWidth, kThumbnailHeight)) return {};
    std::vector<uint8_t> packed(static_cast<size_t>(kMaxThumbnailBytes));
    uint32_t packed_length = uint32_t(packed.size());
    if (libraries.compress(packed.data(), &packed_length, image.row(0), uint32_t(image.byte_size())) < 0 ||
        packed_length == 0 || packed_length > packed.size())
        return {};
    packed.resize(packed_length);
    return packed;
}

// Writes beside the index file and puts the new file in its place once it is complete.
bool replace_index(const std::string& path, const IndexFile& index) {
    const std::string part = path + ".part";
    fileio::File file;
    if (!file.open(part.c_str(), fileio::File::Mode::CreateAlways)) return false;
    const bool written = write_index_file(file, index) == IndexError::None;
    file.close();
    if (written && fileio::replace(part.c_str(), path.c_str())) return true;
    fileio::remove(part.c_str());
    return false;
}

}  // namespace

AnalysisOutcome run_analysis(const AnalysisRequest& request, const AnalysisLibraries& libraries, AnalysisHost& host) {
    namespace text = analysis_text;
    AnalysisOutcome outcome;
    bool alt = false;
    const AnalysisKind kind = analysis_kind(request.type_name.c_str(), &alt);
    if (kind == AnalysisKind::kNone || !libraries.calls || !libraries.compress) return outcome;
    const InputCalls& calls = *libraries.calls;
    const bool says_why = kind == AnalysisKind::kAvi || kind == AnalysisKind::kMtvAmv;

    // 1. The thread's libraries.
    if (libraries.bind && libraries.bind(kind) != 0) {
        if (says_why) host.set_status(text::kNoLibrary);
        outcome.end = AnalysisEnd::kNoLibrary;
        return outcome;
    }
    auto finish = [&](AnalysisEnd end) {
        if (libraries.unbind) libraries.unbind(kind);
        outcome.end = end;
        return outcome;
    };
    std::unique_ptr<PictureSource> source;
    switch (kind) {
    case AnalysisKind::kFlvSwf: source = std::make_unique<FlashSource>(calls, alt); break;
    case AnalysisKind::kMp4: source = std::make_unique<Mp4Source>(calls); break;
    case AnalysisKind::kMtvAmv: source = std::make_unique<MtvSource>(calls, alt); break;
    case AnalysisKind::kAvi: {
        auto avi = std::make_unique<AviSource>(calls);
        // 2. The AVI decoder is set up from the file before the index is read.
        if (!avi->set_up(request)) {
            avi->close();
            host.set_status(text::kAviInitFailed);
            return finish(AnalysisEnd::kDecoderFailed);
        }
        source = std::move(avi);
        break;
    }
    case AnalysisKind::kNone: break;
    }

    // 3.-5. The index, checked whole before anything is shown; one that does not fit its media file
    // is left as it is.
    IndexFile index;
    const IndexError read = read_index_file(request.index_path.c_str(), index);
    int64_t media_size = -1;
    {
        fileio::File media;
        if (media.open(request.media_path.c_str(), fileio::File::Mode::Read)) media_size = media.size();
    }
    if (read != IndexError::None || media_size < 0 || !index_fits(index, kind, media_size)) {
        source->close();
        host.show(false);
        return finish(read == IndexError::CannotOpen ? AnalysisEnd::kNoIndex : AnalysisEnd::kUnusable);
    }
    host.show(true);
    host.set_status(text::kStarting);
    host.set_caption(with(kind == AnalysisKind::kAvi ? text::kAviCaption : text::kCaption, request.media_path.c_str()));
    host.set_status(with(text::kReadingIndex, request.index_path.c_str()));

    // 6. The media file and the decoder.
    if (!source->open(request, index)) {
        source->close();
        host.show(false);
        return finish(AnalysisEnd::kMediaFailed);
    }
    const int n = int(index.segments.size());
    host.set_range(n);

    // 7.-9. The walk.
    Picture picture;
    size_picture(picture, index.width, index.height);
    EntryChooser chooser(kind, alt);
    for (int j = 0; j < n; ++j) {
        if (host.stop_requested()) {
            outcome.stopped = true;
            break;
        }
        Segment& segment = index.segments[size_t(j)];
        const EntryChoice choice = chooser.next(segment);
        if (choice.decode) {
            if (source->decode(j, segment.entry, picture) && choice.thumbnail) {
                std::vector<uint8_t> packed = thumbnail(picture, libraries);
                if (!packed.empty()) {
                    segment.set_thumbnail(std::move(packed));
                    chooser.taken(segment.entry);
                    ++outcome.thumbnails;
                }
            }
        }
        host.set_position(j);
        char progress[64];
        std::snprintf(progress, sizeof progress, text::kProgress, j, n);
        host.set_status(progress);
    }

    // 10. Decoder, libraries and media file.
    outcome.decoded = source->handed();
    source->close();
    if (libraries.unbind) libraries.unbind(kind);

    // 11.-13. The rewritten index: FLV and SWF always carry the two blocks (as read, or empty).
    if (kind != AnalysisKind::kMp4) host.show(false);
    if (kind == AnalysisKind::kFlvSwf) index.has_blocks = true;
    host.set_range(n);
    host.set_position(0);
    const bool written = replace_index(request.index_path, index);
    host.set_position(n);
    if (kind == AnalysisKind::kMp4) host.show(false);
    outcome.end = written ? AnalysisEnd::kWritten : AnalysisEnd::kWriteFailed;
    if (written) outcome.index = std::move(index);
    return outcome;
}
