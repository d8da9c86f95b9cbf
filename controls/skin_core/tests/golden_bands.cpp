#include "golden_bands.h"
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace {
const skin::Colour kBase = 0xD0B090;
struct Box { int left, top, right, bottom; };
// A small box with odd sizes and one large enough for every band size limit.
const Box kBoxes[] = {{3, 2, 14, 9}, {0, 0, 64, 23}, {10, 5, 230, 45}};
}  // namespace

std::string describe_plan(const skin::FillPlan& plan) {
    std::ostringstream out;
    out << (plan.plain_fill ? "plain" : "-");
    char buf[64];
    for (const skin::Band& b : plan.bands) {
        snprintf(buf, sizeof buf, " %d,%d,%d,%d:%06X", b.left, b.top, b.right, b.bottom, b.colour);
        out << buf;
    }
    return out.str();
}

std::vector<int> golden_styles(const skin::Profile& profile) {
    std::set<int> codes = {0, 3, 9, 10, 11, 319, 999};
    for (size_t i = 0; i + 1 < profile.count; ++i) codes.insert(profile.styles[i].code);
    return std::vector<int>(codes.begin(), codes.end());
}

std::string golden_table(const skin::Profile& profile, const std::vector<int>& styles) {
    std::ostringstream out;
    out << "# " << profile.name << ", base colour 0xD0B090: style box: plain-fill flag, bands l,t,r,b:colour\n";
    for (int style : styles)
        for (const Box& box : kBoxes)
            out << style << " " << box.left << "," << box.top << "," << box.right << "," << box.bottom << ": "
                << describe_plan(skin::plan_shaded_fill(profile, kBase, box.left, box.top, box.right, box.bottom, style))
                << "\n";
    return out.str();
}

std::string check_golden(const std::string& path, const std::string& text) {
    const char* update = getenv("SKIN_UPDATE_GOLDEN");
    if (update && *update == '1') {
        std::ofstream(path) << text;
        return "";
    }
    std::ifstream in(path);
    if (!in) return "missing golden table " + path;
    std::istringstream want_lines(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    std::istringstream got_lines(text);
    std::string want, got;
    int line = 0;
    while (true) {
        bool has_want = (bool)std::getline(want_lines, want);
        bool has_got = (bool)std::getline(got_lines, got);
        ++line;
        if (!has_want && !has_got) return "";
        if (!has_want || !has_got || want != got)
            return path + ":" + std::to_string(line) + "\n want: " + (has_want ? want : "<end>") +
                   "\n  got: " + (has_got ? got : "<end>");
    }
}
