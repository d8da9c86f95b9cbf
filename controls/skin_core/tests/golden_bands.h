// Golden band tables: every style of a profile planned over a few rectangles, written one case a line,
// compared with the table kept beside the tests. Run a test with SKIN_UPDATE_GOLDEN=1 to rewrite a
// table after a deliberate change, and review the diff.
#pragma once
#include "controls/skin_core/skin_bands.h"
#include <string>
#include <vector>

std::string describe_plan(const skin::FillPlan& plan);
// The table text of `profile` for `styles` (unknown codes go to the profile's last branch).
std::string golden_table(const skin::Profile& profile, const std::vector<int>& styles);
// Every code a profile lists plus codes that fall to its last branch.
std::vector<int> golden_styles(const skin::Profile& profile);
// Compares with (or, on request, rewrites) the file; returns "" or the first differing line.
std::string check_golden(const std::string& path, const std::string& text);
