// The probe under Wine in a program folder that lacks one library at a time: the binder's text, then
// the path's refusal (or, without the AAC decoder, the file accepted with the reader's sound format),
// never a crash. The probe keeps what it binds, so each library is taken away before anything has
// bound it: the cases run in order. Last, DirectShow without its filter graph.
#include "tests/support/gtest_winelib.h"
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstring>
#include <string>
#include <vector>
#include "media/probe/probe_texts.h"
#include "media/probe/tests/probe_clips.h"
#include "tests/support/media_test_tools.h"

namespace {

using namespace probe_text;
using probe_clips::ffmpeg;
using probe_clips::kClip;
using probe_clips::kPicture;
using probe_clips::kTone;

// A folder with every library of the program but one (links to the built ones); it becomes the
// folder the libraries are looked for in.
void use_folder_without(const std::string& library) {
    const std::string folder = media_test::out_path("without_" + library);
    mkdir(folder.c_str(), 0755);
    DIR* dir = opendir(TARMELO_BIN_DIR);
    ASSERT_NE(nullptr, dir);
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() < 5 || name.compare(name.size() - 4, 4, ".dll") != 0 || name == library + ".dll") continue;
        symlink((std::string(TARMELO_BIN_DIR) + "/" + name).c_str(), (folder + "/" + name).c_str());
    }
    closedir(dir);
    ASSERT_TRUE(SetDllDirectoryA(probe_clips::windows_path(folder).c_str()));
}

struct Case {
    const char* library;
    const char* name;
    std::string (*make)();
    int result;
    const char* refusal;  // the path's message after the binder's, or null
};

std::string mp4_aac() { return ffmpeg("aac.mp4", kClip + "-c:v mpeg4 -c:a aac"); }

const Case kCases[] = {
    {"tolmmtvdecode", "MTV", [] { return probe_clips::mtv("clip.mtv", 24); }, -2, nullptr},
    {"tolmmtvdecode", "AMV",
     [] {
         return ffmpeg("clip.amv", "-f lavfi -i testsrc2=size=160x120:rate=15 -f lavfi -i "
                                   "sine=frequency=1000:sample_rate=22050 -t 1 -c:v amv -c:a adpcm_ima_amv -ac 1 "
                                   "-block_size 1470 -strict -1");
     },
     -2, nullptr},
    {"tolmmp4decode", "MP4", mp4_aac, -2, nullptr},
    {"tolmmux", "AVI", [] { return ffmpeg("clip.avi", kClip + "-c:v mpeg4 -c:a libmp3lame"); }, -2, nullptr},
    {"tolmmux", "MPEG", [] { return ffmpeg("clip.mpg", kClip + "-c:v mpeg1video -c:a mp2 -f mpeg"); }, -2, nullptr},
    {"tolmh263dec2", "Sorenson FLV", [] { return ffmpeg("sorenson.flv", kClip + "-c:v flv -c:a libmp3lame"); }, -1,
     kNoCodecInfo},
    {"tolmvpdecode", "VP6 FLV", [] { return probe_clips::flv_vp6_adpcm("vp6.flv"); }, -1, kNoCodecInfo},
    // Without sound: its AAC decoder would be bound here, and that is taken away next.
    {"tolmx264decode", "H.264 FLV",
     [] { return ffmpeg("h264.flv", std::string(kPicture) + " -t 2 -c:v libx264 -pix_fmt yuv420p"); }, -1,
     kNoCodecInfo},
    {"tolmaac_decode", "AAC MP4", mp4_aac, 0, nullptr},
    {"tolmaac_decode", "AAC FLV", [] { return ffmpeg("aac.flv", kClip + "-c:v flv -c:a aac"); }, 0, nullptr},
};

TEST(ProbeWithoutLibrary, BinderTextThenRefusalNeverACrash) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.library) + ", " + c.name);
        const std::string path = c.make();
        ASSERT_FALSE(path.empty()) << "the fixture could not be made";
        use_folder_without(c.library);
        const probe_clips::Probed p = probe_clips::probe(path);
        EXPECT_EQ(c.result, p.result);
        ASSERT_EQ(c.refusal ? 2u : 1u, p.shown.size());
        EXPECT_EQ("装载动态库" + std::string(c.library) + ".dll错误", p.shown[0].text);
        EXPECT_EQ("(null)", p.shown[0].caption) << "the binder's box with the program's caption";
        if (c.refusal) {
            EXPECT_EQ(probe_clips::with_path(c.refusal, probe_clips::windows_path(path)), p.shown[1].text);
            EXPECT_EQ(kCaptionFlv, p.shown[1].caption);
        }
        EXPECT_EQ(c.result == 0, p.record.index_written);
        if (c.result == 0) {
            // No refinement: the sound format as the file's reader gives it.
            EXPECT_EQ(44100, p.record.sample_rate);
            EXPECT_EQ(2, p.record.channels);
        }
    }
    SetDllDirectoryA(nullptr);
}

// Last: it takes DirectShow's filter graph away from this (throw-away) prefix.
TEST(ProbeDirectShow, WithoutFilterGraphDirectShowIsMissing) {
    const std::string path = ffmpeg("no_graph.wmv", kClip + "-c:v wmv2 -c:a wmav2");
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeA(HKEY_CLASSES_ROOT, "CLSID\\{E436EBB3-524F-11CE-9F53-0020AF0BA770}"));
    const probe_clips::Probed p = probe_clips::probe(path);
    EXPECT_EQ(-1, p.result);
    ASSERT_EQ(1u, p.shown.size());
    EXPECT_EQ(kNoDirectShow, p.shown[0].text);
    EXPECT_EQ(kCaptionMp4, p.shown[0].caption);
}

}  // namespace
