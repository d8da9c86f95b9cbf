// The acceptance run's fixtures that ffmpeg cannot write: a 3GP file with H.263 pictures and AMR-NB
// sound written through the program's own output libraries (tolmmp4encode, tolmamr_encode), and an
// MTV file laid out by test code. Both hold a moving picture and a 1 kHz tone.
//   acceptance_fixture.exe 3gp|mtv UNIX_PATH SECONDS
// Runs beside those libraries (the program's folder); exit code 0 when the file is written.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "media/probe/tests/probe_clips.h"
#include "tests/support/media_test_tools.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: acceptance_fixture.exe 3gp|mtv UNIX_PATH SECONDS\n");
        return 2;
    }
    const std::string kind = argv[1], target = argv[2];
    const int seconds = std::atoi(argv[3]);
    if (seconds < 1 || seconds > 60) {
        std::fprintf(stderr, "seconds must be 1..60\n");
        return 2;
    }
    std::string made;
    if (kind == "3gp") made = probe_clips::three_gp("acceptance.3gp", 122, seconds);
    else if (kind == "mtv") made = probe_clips::mtv("acceptance.mtv", 12 * seconds);  // 12 pictures a second
    else {
        std::fprintf(stderr, "unknown kind %s\n", kind.c_str());
        return 2;
    }
    if (made.empty()) {
        std::fprintf(stderr, "cannot make the %s file\n", kind.c_str());
        return 1;
    }
    media_test::write_file(target, media_test::read_file(made));
    std::printf("%s: %s\n", kind.c_str(), target.c_str());
    return 0;
}
