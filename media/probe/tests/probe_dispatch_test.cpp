// Which path the probe takes for a file name.
#include <gtest/gtest.h>
#include <cstring>
#include "media/probe/probe_dispatch.h"

namespace {

struct Case {
    const char* path;
    ProbeFamily family;
    DirectShowKind direct_show;
    bool f4v;
};

const Case kCases[] = {
    {"C:\\v\\a.mtv", ProbeFamily::Mtv, DirectShowKind::None, false},
    {"a.AMV", ProbeFamily::Amv, DirectShowKind::None, false},
    {"a.swf", ProbeFamily::Swf, DirectShowKind::None, false},
    {"a.Avi", ProbeFamily::Avi, DirectShowKind::None, false},
    {"a.mp4", ProbeFamily::Mp4, DirectShowKind::None, false},
    {"a.3gp", ProbeFamily::Mp4, DirectShowKind::None, false},
    {"a.flv", ProbeFamily::Flv, DirectShowKind::None, false},
    {"x.f4v", ProbeFamily::Flv, DirectShowKind::None, true},
    {"a.wma", ProbeFamily::DirectShow, DirectShowKind::WindowsMedia, false},
    {"a.WMV", ProbeFamily::DirectShow, DirectShowKind::WindowsMedia, false},
    {"a.asf", ProbeFamily::DirectShow, DirectShowKind::WindowsMedia, false},
    {"a.rm", ProbeFamily::DirectShow, DirectShowKind::RealMedia, false},       // ext ".RM" contains "RM"
    {"a.rma", ProbeFamily::DirectShow, DirectShowKind::RealMedia, false},
    {"x.rmvb", ProbeFamily::DirectShow, DirectShowKind::RealMedia, false},     // ext "MVB", ext4 "RMVB"
    {"x.Mov", ProbeFamily::DirectShow, DirectShowKind::QuickTime, false},
    {"x.qt", ProbeFamily::DirectShow, DirectShowKind::QuickTime, false},       // ".QT" contains "QT"
    {"x.ram", ProbeFamily::Mpeg, DirectShowKind::None, false},                 // "RAM" contains no "RM"
    {"a.mpg", ProbeFamily::Mpeg, DirectShowKind::None, false},
    {"a.dat", ProbeFamily::Mpeg, DirectShowKind::None, false},
    {"a.divx", ProbeFamily::Mpeg, DirectShowKind::None, false},
    {"ab", ProbeFamily::Mpeg, DirectShowKind::None, false},                    // no three characters
    {"", ProbeFamily::Mpeg, DirectShowKind::None, false},
    {"avi", ProbeFamily::Avi, DirectShowKind::None, false},                    // the last three characters
};

TEST(ProbeDispatch, FamilyBySuffix) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.path);
        const ProbeDispatch d = probe_dispatch(c.path);
        EXPECT_EQ(c.family, d.family);
        EXPECT_EQ(c.direct_show, d.direct_show);
        EXPECT_EQ(c.f4v, d.f4v);
    }
    EXPECT_EQ(ProbeFamily::Mpeg, probe_dispatch(nullptr).family);
}

TEST(ProbeDispatch, DirectShowKindsHaveTheirBaseAndName) {
    EXPECT_EQ(5000, direct_show_kind_base(DirectShowKind::WindowsMedia));
    EXPECT_EQ(6000, direct_show_kind_base(DirectShowKind::RealMedia));
    EXPECT_EQ(7000, direct_show_kind_base(DirectShowKind::QuickTime));
    EXPECT_STREQ("ASF/WMV/WMA", direct_show_type_name(DirectShowKind::WindowsMedia));
    EXPECT_STREQ("RM/RMVB", direct_show_type_name(DirectShowKind::RealMedia));
    EXPECT_STREQ("MOV/QT", direct_show_type_name(DirectShowKind::QuickTime));
}

TEST(ProbeDispatch, IsoMediaIsRecognisedByItsFirstBox) {
    const uint8_t iso[] = {0, 0, 0, 0x20, 'f', 't', 'y', 'p', 'f', '4', 'v', ' '};
    const uint8_t flv[] = {'F', 'L', 'V', 1, 5, 0, 0, 0, 9};
    EXPECT_TRUE(is_iso_media(iso, sizeof iso));
    EXPECT_FALSE(is_iso_media(flv, sizeof flv));
    EXPECT_FALSE(is_iso_media(iso, 7));
    EXPECT_FALSE(is_iso_media(nullptr, 0));
}

}  // namespace
