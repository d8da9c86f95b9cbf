#include "message_seam.h"
#include <cstdio>

namespace seam {
namespace {
Reporter g_reporter = nullptr;
void* g_context = nullptr;
}  // namespace

Reporter set_reporter(Reporter reporter, void* context) {
    Reporter old = g_reporter;
    g_reporter = reporter;
    g_context = context;
    return old;
}

int first_button(unsigned style) {
    switch (style & 0xF) {
    case kAbortRetryIgnore: return kAnswerAbort;
    case kYesNoCancel:
    case kYesNo: return kAnswerYes;
    case kRetryCancel: return kAnswerRetry;
    default: return kAnswerOk;
    }
}

int report(const char* text, const char* caption, unsigned style) {
    if (g_reporter) return g_reporter(text ? text : "", caption, style, g_context);
    fprintf(stderr, "%s: %s\n", caption ? caption : "tarmelo", text ? text : "");
    return first_button(style);
}

}  // namespace seam
