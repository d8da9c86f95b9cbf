// The Windows Media sample counter under Wine: the file stream's IStream behaviour, the refusal of
// streamed paths, and frame counts of files made by ffmpeg against ffprobe's.
#include "tests/support/gtest_winelib.h"
#include <dirent.h>
#include <cstring>
#include <string>
#include <vector>
#include "media/wmv/file_stream.h"
#include "media/wmv/wmv_sync_reader.h"
#include "tests/support/media_test_tools.h"

namespace {

std::vector<std::string> g_lines;
void record_line(const char* line) { g_lines.push_back(line); }

// The Windows name of a file of this test's folder (Z: is the root of the Unix tree).
std::string windows_path(const std::string& unix_path) {
    std::string w = "Z:" + unix_path;
    for (char& c : w)
        if (c == '/') c = '\\';
    return w;
}

// Makes a clip with ffmpeg once; returns its Windows path.
std::string clip(const std::string& name, const std::string& args) {
    const std::string path = media_test::out_path(name);
    int status = 0;
    media_test::run("ffmpeg -nostdin -v error -y " + args + " '" + path + "'", &status);
    EXPECT_EQ(0, status) << name;
    return windows_path(path);
}

int ffprobe_frames(const std::string& windows) {
    std::string unix_path = windows.substr(2);
    for (char& c : unix_path)
        if (c == '\\') c = '/';
    const std::string out = media_test::run("ffprobe -v error -count_frames -select_streams v -show_entries "
                                            "stream=nb_read_frames -of csv=p=0 '" + unix_path + "'");
    return out.empty() ? 0 : std::stoi(out);
}

const char kPicture[] = "-f lavfi -i testsrc=size=160x120:rate=25 ";
const char kSound[] = "-f lavfi -i sine=frequency=440:sample_rate=44100 ";

int open_descriptors() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d)) ++n;
        closedir(d);
    }
    return n;
}

class WmvTest : public testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        g_lines.clear();
        previous_ = wmv_set_diagnostic_sink(record_line);
    }
    void TearDown() override {
        wmv_set_diagnostic_sink(previous_);
        CoUninitialize();
    }
    WmvDiagnosticSink previous_ = nullptr;
};

// --- CFileStream ---------------------------------------------------------------------------------------

std::string write_numbers(const char* name, int count) {
    const std::string path = media_test::out_path(name);
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) bytes[size_t(i)] = uint8_t(i);
    media_test::write_file(path, bytes);
    return windows_path(path);
}

TEST_F(WmvTest, FileStreamSeeksStatsAndCountsReferences) {
    const std::string path = write_numbers("numbers.bin", 100);
    CFileStream* s = new CFileStream();
    ASSERT_EQ(S_OK, s->Open(path.c_str()));
    ULARGE_INTEGER at;
    LARGE_INTEGER move;
    const struct {
        LONGLONG move;
        DWORD origin;
        ULONGLONG expected;
    } seeks[] = {{10, STREAM_SEEK_SET, 10}, {5, STREAM_SEEK_CUR, 15}, {-3, STREAM_SEEK_CUR, 12}, {-1, STREAM_SEEK_END, 99},
                 {0, STREAM_SEEK_END, 100}, {0, STREAM_SEEK_SET, 0}};
    for (const auto& seek : seeks) {
        move.QuadPart = seek.move;
        ASSERT_EQ(S_OK, s->Seek(move, seek.origin, &at));
        EXPECT_EQ(seek.expected, at.QuadPart) << seek.move << " from " << seek.origin;
    }
    move.QuadPart = 40;
    EXPECT_EQ(E_INVALIDARG, s->Seek(move, 3, &at));
    ASSERT_EQ(S_OK, s->Seek(move, STREAM_SEEK_SET, nullptr));
    uint8_t buffer[8] = {};
    ULONG read = 0;
    ASSERT_EQ(S_OK, s->Read(buffer, 4, &read));
    EXPECT_EQ(4u, read);
    EXPECT_EQ(40, buffer[0]);
    EXPECT_EQ(43, buffer[3]);

    STATSTG stat;
    std::memset(&stat, 0xCC, sizeof stat);
    ASSERT_EQ(S_OK, s->Stat(&stat, STATFLAG_NONAME));
    EXPECT_EQ(DWORD(STGTY_STREAM), stat.type);
    EXPECT_EQ(100u, stat.cbSize.QuadPart);
    EXPECT_EQ(nullptr, stat.pwcsName);
    EXPECT_EQ(0u, stat.grfMode);
    EXPECT_EQ(E_INVALIDARG, s->Stat(&stat, STATFLAG_DEFAULT));
    EXPECT_EQ(E_INVALIDARG, s->Stat(&stat, STATFLAG_NOOPEN));

    EXPECT_EQ(E_NOTIMPL, s->Write(buffer, 1, nullptr));
    EXPECT_EQ(E_NOTIMPL, s->Commit(0));
    EXPECT_EQ(E_NOTIMPL, s->Revert());
    IStream* clone = nullptr;
    EXPECT_EQ(E_NOTIMPL, s->Clone(&clone));

    void* object = nullptr;
    ASSERT_EQ(S_OK, s->QueryInterface(IID_IStream, &object));
    EXPECT_EQ(static_cast<IStream*>(s), object);
    ASSERT_EQ(S_OK, s->QueryInterface(IID_IUnknown, &object));
    EXPECT_EQ(E_NOINTERFACE, s->QueryInterface(IID_IStorage, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(4u, s->AddRef());
    EXPECT_EQ(3u, s->Release());
    EXPECT_EQ(2u, s->Release());
    EXPECT_EQ(1u, s->Release());
    EXPECT_EQ(0u, s->Release());
}

TEST_F(WmvTest, FileStreamRefusesDevicesAndMissingFiles) {
    CFileStream* s = new CFileStream();
    EXPECT_EQ(E_FAIL, s->Open("NUL"));
    EXPECT_FALSE(s->IsOpen());
    EXPECT_EQ(HRESULT(0x80070002), s->Open(windows_path(media_test::out_path("no_such.wmv")).c_str()));
    s->Release();
}

TEST_F(WmvTest, FileStreamHandlesFilesPastFourGigabytes) {
    const std::string path = windows_path(media_test::fresh_path("sparse_5g.bin"));
    const LONGLONG five = 5LL << 30, mark = (9LL << 30) / 2;
    {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, f);
        LARGE_INTEGER at;
        at.QuadPart = mark;
        ASSERT_TRUE(SetFilePointerEx(f, at, nullptr, FILE_BEGIN));
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(f, "MARK", 4, &written, nullptr));
        at.QuadPart = five;
        ASSERT_TRUE(SetFilePointerEx(f, at, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(f));
        CloseHandle(f);
    }
    CFileStream* s = new CFileStream();
    ASSERT_EQ(S_OK, s->Open(path.c_str()));
    STATSTG stat;
    ASSERT_EQ(S_OK, s->Stat(&stat, STATFLAG_NONAME));
    EXPECT_EQ(ULONGLONG(five), stat.cbSize.QuadPart);
    LARGE_INTEGER move;
    ULARGE_INTEGER at;
    move.QuadPart = 0;
    ASSERT_EQ(S_OK, s->Seek(move, STREAM_SEEK_END, &at));
    EXPECT_EQ(ULONGLONG(five), at.QuadPart);
    move.QuadPart = mark;
    ASSERT_EQ(S_OK, s->Seek(move, STREAM_SEEK_SET, &at));
    EXPECT_EQ(ULONGLONG(mark), at.QuadPart);
    char text[5] = {};
    ULONG read = 0;
    ASSERT_EQ(S_OK, s->Read(text, 4, &read));
    EXPECT_STREQ("MARK", text);
    move.QuadPart = -LONGLONG(4) - (1LL << 32);
    ASSERT_EQ(S_OK, s->Seek(move, STREAM_SEEK_CUR, &at));
    EXPECT_EQ(ULONGLONG(mark - (1LL << 32)), at.QuadPart);
    s->Release();
    DeleteFileA(path.c_str());
}

// --- CWmvSyncReader ------------------------------------------------------------------------------------

TEST_F(WmvTest, StreamedPathsAreRefusedBeforeAnyFileIsTouched) {
    // An existing file called "HTTP..." held exclusively: opening it would fail with a sharing
    // violation, so E_INVALIDARG shows it was never tried.
    const std::string held = windows_path(media_test::out_path("HTTP_held.wmv"));
    HANDLE f = CreateFileA(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    const std::string relative = "HTTP_held.wmv";
    for (const std::string& path : {relative, std::string("http://example/clip.wmv"), std::string("hTtP")}) {
        SCOPED_TRACE(path);
        CWmvSyncReader r;
        g_lines.clear();
        EXPECT_EQ(E_INVALIDARG, r.Open(path.c_str()));
        EXPECT_EQ(nullptr, r.reader);
        EXPECT_EQ(nullptr, r.stream);
        ASSERT_EQ(1u, g_lines.size());
        EXPECT_EQ("Wrong input file - streams are not supported : (hr=0x80070057).\n", g_lines[0]);
    }
    CloseHandle(f);
    CWmvSyncReader r;
    g_lines.clear();
    EXPECT_EQ(E_INVALIDARG, r.Open(nullptr));
    EXPECT_EQ(E_INVALIDARG, r.Open(""));
    EXPECT_TRUE(g_lines.empty());
    EXPECT_EQ(HRESULT(0x80070002), r.Open("htt_missing.wmv"));
    ASSERT_EQ(1u, g_lines.size());
    EXPECT_EQ("Could not open file (hr=0x80070002).\n", g_lines[0]);
}

TEST_F(WmvTest, RangeChecks) {
    CWmvSyncReader r;
    EXPECT_EQ(0, r.audio_stream + r.video_stream + r.compressed + r.by_frame + r.sample_count);
    EXPECT_EQ(1, r.audio_on);
    EXPECT_EQ(1, r.video_on);
    EXPECT_EQ(S_OK, r.SetReadRange(0, 0, 1, 0, 1, 1));
    EXPECT_EQ(E_INVALIDARG, r.SetReadRange(7, 7, 0, 1, 0, 0));
    EXPECT_EQ(E_INVALIDARG, r.SetReadRange(8, 7, 0, 1, 0, 0));
    EXPECT_EQ(1, r.compressed) << "a refused range changes nothing";
    EXPECT_EQ(0, r.audio_on);
    EXPECT_EQ(S_OK, r.SetReadRange(7, 0, 0, 1, 0, 0));
    EXPECT_EQ(7u, r.start);
    EXPECT_EQ(E_INVALIDARG, r.GetStreamNumbers(nullptr));
}

int count_frames(CWmvSyncReader& r, const std::string& path, HRESULT* result) {
    *result = r.Open(path.c_str());
    if (FAILED(*result)) return -1;
    *result = r.ReadSamples();
    return r.sample_count;
}

TEST_F(WmvTest, CountsTheVideoFramesFfprobeCounts) {
    const struct {
        const char* name;
        std::string args;
        bool video;
    } files[] = {
        {"two_s.wmv", std::string(kPicture) + kSound + "-t 2 -c:v wmv2 -c:a wmav2", true},
        {"two_s.asf", std::string(kPicture) + kSound + "-t 2 -c:v wmv2 -c:a wmav2 -f asf", true},
        {"sound.wma", std::string(kSound) + "-t 2 -c:a wmav2", false},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const std::string path = clip(f.name, f.args);
        const int expected = f.video ? ffprobe_frames(path) : 0;
        if (f.video) {
            ASSERT_EQ(50, expected);
        }
        CWmvSyncReader r;
        ASSERT_EQ(S_OK, r.SetReadRange(0, 0, 1, 0, 1, 1));
        g_lines.clear();
        HRESULT hr;
        EXPECT_EQ(expected, count_frames(r, path, &hr));
        EXPECT_EQ(S_OK, hr);
        EXPECT_EQ(f.video, r.video_stream != 0);
        EXPECT_NE(0, r.audio_stream);
        EXPECT_EQ(S_OK, r.Close());
        EXPECT_EQ(nullptr, r.reader);
        // The lines of a read: start, first sample, a "v" for every fourth picture, the end.
        std::string text;
        for (const auto& line : g_lines) text += line;
        std::string expected_text = "\nGetting samples ...\n";
        if (f.video) {
            ASSERT_GE(g_lines.size(), 2u);
            expected_text += g_lines[1];
            EXPECT_EQ(0u, g_lines[1].find("\nFirst sample time : ")) << g_lines[1];
            EXPECT_EQ(" ms\n", g_lines[1].substr(g_lines[1].size() - 4));
            expected_text += std::string(size_t(expected / 4), 'v');
        }
        expected_text += "\nLast sample reached.\n";
        ASSERT_EQ(0u, text.find(expected_text)) << text;
        const std::string last = text.substr(expected_text.size());
        EXPECT_EQ(0u, last.find("\nLast sample time : ")) << last;
    }
}

TEST_F(WmvTest, FilesReadOneAfterAnotherGetTheirOwnCounts) {
    const std::string two = clip("two_s.wmv", std::string(kPicture) + kSound + "-t 2 -c:v wmv2 -c:a wmav2");
    const std::string one = clip("one_s.wmv", std::string(kPicture) + "-t 1 -c:v wmv2");
    const int two_frames = ffprobe_frames(two), one_frames = ffprobe_frames(one);
    ASSERT_NE(two_frames, one_frames);
    CWmvSyncReader r;
    r.SetReadRange(0, 0, 1, 0, 1, 1);
    HRESULT hr;
    EXPECT_EQ(two_frames, count_frames(r, two, &hr));
    EXPECT_EQ(one_frames, count_frames(r, one, &hr)) << "a second Open without Close";
    EXPECT_EQ(S_OK, r.Close());
    EXPECT_EQ(two_frames, count_frames(r, two, &hr)) << "after Close";
    EXPECT_EQ(0, r.audio_stream == 0);
    EXPECT_EQ(S_OK, r.Close());
}

TEST_F(WmvTest, AFrameRangeCountsOnlyItsFrames) {
    const std::string two = clip("two_s.wmv", std::string(kPicture) + kSound + "-t 2 -c:v wmv2 -c:a wmav2");
    const struct {
        DWORD start, end;
        int frames;
    } ranges[] = {{10, 20, 10}, {0, 5, 5}, {45, 0, 5}, {48, 100, 2}};
    for (const auto& range : ranges) {
        CWmvSyncReader r;
        ASSERT_EQ(S_OK, r.SetReadRange(range.start, range.end, 1, 0, 1, 1));
        HRESULT hr;
        EXPECT_EQ(range.frames, count_frames(r, two, &hr)) << range.start << ".." << range.end;
        EXPECT_EQ(S_OK, hr);
    }
}

TEST_F(WmvTest, FiftyOpensLeaveNoHandleOpen) {
    const std::string two = clip("two_s.wmv", std::string(kPicture) + kSound + "-t 2 -c:v wmv2 -c:a wmav2");
    HRESULT hr;
    {
        CWmvSyncReader warm;  // the first reader loads the libraries behind it
        warm.SetReadRange(0, 0, 1, 0, 1, 1);
        count_frames(warm, two, &hr);
    }
    const int before = open_descriptors();
    for (int i = 0; i < 25; ++i) {
        CWmvSyncReader r;
        r.SetReadRange(0, 0, 1, 0, 1, 1);
        ASSERT_EQ(50, count_frames(r, two, &hr));
        ASSERT_EQ(S_OK, r.Close());
    }
    {
        CWmvSyncReader r;  // opened again and again, destroyed without Close
        for (int i = 0; i < 25; ++i) ASSERT_EQ(S_OK, r.Open(two.c_str()));
    }
    // Wine's and GStreamer's own threads open descriptors of their own now and then (a few more on a
    // loaded machine), so the count may wander by a handful; a stream left open by each of the 50 opens
    // would add at least 50.
    int after = open_descriptors();
    for (int wait = 0; wait < 30 && after > before; ++wait) {
        Sleep(100);
        after = open_descriptors();
    }
    EXPECT_LE(after, before + 10);
    HANDLE alone = CreateFileA(two.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, alone) << "no handle of ours keeps the file open";
    CloseHandle(alone);
}

}  // namespace
