// The segment analysis: reads a file's index, decodes the chosen pictures of the media file through
// the decoder libraries of its thread, shrinks each to a 128 x 88 thumbnail packed by the picture
// packer, and rewrites the index with the thumbnails beside the old one, replacing it when complete.
// Window-free: the dialog that runs it reports through an AnalysisHost, and the library calls come
// in tables (the program's bindings, or the native cores in tests).
#pragma once
#include <cstdint>
#include <string>
#include "engine/analysis/analysis_rules.h"
#include "engine/input/input_calls.h"
#include "media/records/index_file.h"

// One analysis, copied from the file's record when it is handed over: the thread works on this copy.
struct AnalysisRequest {
    std::string media_path;
    std::string index_path;
    std::string type_name;
};

// What the analysis shows while it runs (the dialog's caption, status line and first progress bar).
class AnalysisHost {
public:
    virtual ~AnalysisHost() = default;
    virtual void show(bool visible) = 0;
    virtual void set_caption(const std::string& text) = 0;
    virtual void set_status(const std::string& text) = 0;
    virtual void set_range(int count) = 0;
    virtual void set_position(int position) = 0;
    // Asked before each entry: true ends the walk there (what was made is still written).
    virtual bool stop_requested() = 0;
};

struct AnalysisLibraries {
    const InputCalls* calls = nullptr;
    // zlib's compress: 0 or more on success.
    int (*compress)(unsigned char* dest, uint32_t* dest_len, const unsigned char* src, uint32_t src_len) = nullptr;
    // Binds the libraries of a thread (0 when bound), and lets them go again.
    int (*bind)(AnalysisKind kind) = nullptr;
    void (*unbind)(AnalysisKind kind) = nullptr;
};

enum class AnalysisEnd {
    kNoThread,          // a type no thread reads
    kNoLibrary,         // a decoder library could not be bound
    kDecoderFailed,     // the AVI decoder could not be set up
    kNoIndex,           // the index file cannot be opened
    kUnusable,          // the index is refused, or does not fit its media file
    kMediaFailed,       // the media file cannot be opened or read by its library
    kWriteFailed,       // the new index could not be written; the old one stays
    kWritten,           // the index was rewritten (with what was made before a stop)
};

struct AnalysisOutcome {
    AnalysisEnd end = AnalysisEnd::kNoThread;
    IndexFile index;      // as written (kWritten)
    int decoded = 0;      // pictures handed to a decoder (an entry holding none is not counted)
    int thumbnails = 0;   // thumbnails made by this analysis
    bool stopped = false; // the walk was ended by the host
};

// Texts of the analysis.
namespace analysis_text {
inline constexpr char kNoLibrary[] = "装载解码动态库失败";
inline constexpr char kAviInitFailed[] = "AVI初始化解码失败";
inline constexpr char kStarting[] = "开始分析文件";
inline constexpr char kCaption[] = "开始分析并读取FLV文件%s";
inline constexpr char kAviCaption[] = "开始分析并读取AVI文件%s";
inline constexpr char kReadingIndex[] = "开始分析视频数据文件%s";
inline constexpr char kProgress[] = "开始分析并读取视频文件[%d/%d]";
}  // namespace analysis_text

AnalysisOutcome run_analysis(const AnalysisRequest& request, const AnalysisLibraries& libraries, AnalysisHost& host);
