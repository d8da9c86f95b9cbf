#include "media/probe/probe_dispatch.h"
#include <cstring>

namespace {

// The last n characters of the path upper-cased (ASCII only), or "" for a shorter path.
void tail_upper(const char* path, size_t n, char* out) {
    out[0] = 0;
    const size_t length = path ? std::strlen(path) : 0;
    if (length < n) return;
    for (size_t i = 0; i < n; ++i) {
        char c = path[length - n + i];
        out[i] = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    }
    out[n] = 0;
}

bool is(const char* ext, const char* name) { return std::strcmp(ext, name) == 0; }
bool has(const char* ext, const char* part) { return std::strstr(ext, part) != nullptr; }

}  // namespace

ProbeDispatch probe_dispatch(const char* path) {
    char ext[4], ext4[5];
    tail_upper(path, 3, ext);
    tail_upper(path, 4, ext4);
    if (is(ext, "MTV")) return {ProbeFamily::Mtv, DirectShowKind::None};
    if (is(ext, "AMV")) return {ProbeFamily::Amv, DirectShowKind::None};
    if (is(ext, "SWF")) return {ProbeFamily::Swf, DirectShowKind::None};
    if (is(ext, "AVI")) return {ProbeFamily::Avi, DirectShowKind::None};
    if (is(ext, "MP4") || is(ext, "3GP")) return {ProbeFamily::Mp4, DirectShowKind::None};
    if (is(ext, "FLV") || is(ext, "F4V")) return {ProbeFamily::Flv, DirectShowKind::None, is(ext, "F4V")};
    if (is(ext, "WMA") || is(ext, "WMV") || is(ext, "ASF"))
        return {ProbeFamily::DirectShow, DirectShowKind::WindowsMedia};
    if (has(ext, "RM") || is(ext4, "RMVB")) return {ProbeFamily::DirectShow, DirectShowKind::RealMedia};
    // "RMA" contains "RM" and is RealMedia already.
    if (is(ext, "MOV") || has(ext, "QT")) return {ProbeFamily::DirectShow, DirectShowKind::QuickTime};
    return {ProbeFamily::Mpeg, DirectShowKind::None};
}

bool is_iso_media(const uint8_t* head, size_t size) {
    return head && size >= 8 && std::memcmp(head + 4, "ftyp", 4) == 0;
}

int direct_show_kind_base(DirectShowKind kind) {
    switch (kind) {
    case DirectShowKind::WindowsMedia: return 5000;
    case DirectShowKind::RealMedia: return 6000;
    case DirectShowKind::QuickTime: return 7000;
    case DirectShowKind::None: break;
    }
    return 0;
}

const char* direct_show_type_name(DirectShowKind kind) {
    switch (kind) {
    case DirectShowKind::WindowsMedia: return "ASF/WMV/WMA";
    case DirectShowKind::RealMedia: return "RM/RMVB";
    case DirectShowKind::QuickTime: return "MOV/QT";
    case DirectShowKind::None: break;
    }
    return "";
}
