// Which of the probe's paths a file takes, by its name's extension alone (the content decides later:
// an F4V file that is an ISO media file goes the MP4 way).
#pragma once
#include <cstddef>
#include <cstdint>

enum class ProbeFamily { Mtv, Amv, Swf, Avi, Mp4, Flv, DirectShow, Mpeg };

// The DirectShow family's sub-kinds: Windows Media (W), RealMedia (R), QuickTime (M).
enum class DirectShowKind { None, WindowsMedia, RealMedia, QuickTime };

struct ProbeDispatch {
    ProbeFamily family;
    DirectShowKind direct_show = DirectShowKind::None;  // None outside the DirectShow family
    bool f4v = false;  // named ".f4v": may be an ISO media file
};

// ext = the last three characters upper-cased, ext4 the last four (for "RMVB" only); first match
// wins: MTV, AMV, SWF, AVI, MP4/3GP, FLV/F4V, the DirectShow family (ext containing "RM", ext4 "RMVB",
// "MOV", ext containing "QT", "RMA", "WMA", "WMV", "ASF"), else MPEG. A path shorter than three
// characters has no extension and goes the MPEG way.
ProbeDispatch probe_dispatch(const char* path);

// True when the bytes begin an ISO base media file (a "ftyp" box first, as MP4, 3GP and F4V files
// made to the standard do).
bool is_iso_media(const uint8_t* head, size_t size);

// Base of the DirectShow kinds' codes and their type names.
int direct_show_kind_base(DirectShowKind kind);
const char* direct_show_type_name(DirectShowKind kind);
