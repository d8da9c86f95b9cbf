// The framework's collections (MFC's growth rule and zeroed new slots, the pointer map's hashing and
// order), OLE dates as the system reads them, and classes created from their run-time name.
#include "tests/support/gtest_winelib.h"
#include "afxwin.h"
#include "afxdisp.h"
#include <string>
#include <vector>

namespace {

TEST(AfxArrays, GrowLikeMfcAndZeroNewSlots) {
    CDWordArray a;
    std::vector<int> capacities;
    for (DWORD i = 1; i <= 10; ++i) {
        a.Add(i * 3);
        capacities.push_back(a.GetCapacity());
    }
    // Exactly 1 at first, then steps of at least 4.
    EXPECT_EQ((std::vector<int>{1, 5, 5, 5, 5, 9, 9, 9, 9, 13}), capacities);
    EXPECT_EQ(30u, a[9]);
    EXPECT_EQ(9, a.GetUpperBound());
    a.SetSize(20);
    for (int i = 10; i < 20; ++i) EXPECT_EQ(0u, a[i]) << i;
    a.InsertAt(1, 77, 2);
    EXPECT_EQ(22, a.GetSize());
    EXPECT_EQ(3u, a[0]);
    EXPECT_EQ(77u, a[1]);
    EXPECT_EQ(77u, a[2]);
    EXPECT_EQ(6u, a[3]);
    a.RemoveAt(0, 3);
    EXPECT_EQ(6u, a[0]);
    a.SetAtGrow(30, 5);
    EXPECT_EQ(31, a.GetSize());
    EXPECT_EQ(0u, a[25]);
    a.RemoveAll();
    EXPECT_EQ(0, a.GetSize());
    EXPECT_EQ(0, a.GetCapacity());
    // A growth step of its own.
    CWordArray w;
    w.SetSize(0, 16);
    w.Add(1);
    w.Add(2);
    EXPECT_EQ(17, w.GetCapacity());
    CUIntArray u;
    u.SetSize(3);
    EXPECT_EQ(0u, u[2]);
    CPtrArray p;
    p.SetSize(2);
    EXPECT_EQ(nullptr, p[1]);
    p.Add(&u);
    EXPECT_EQ(&u, p[2]);
}

TEST(AfxArrays, StringArrayKeepsLongTextsThroughMoves) {
    CStringArray s;
    std::string long_text(600, 'x');
    long_text += "尾";
    s.Add("一");
    s.Add(long_text.c_str());
    s.InsertAt(0, "零");
    for (int i = 0; i < 40; ++i) s.Add("填");  // several growths move the elements
    EXPECT_STREQ("零", s[0]);
    EXPECT_STREQ("一", s[1]);
    EXPECT_EQ(long_text, s[2].str());
    CStringArray copy;
    copy.Copy(s);
    s.RemoveAt(0, 2);
    EXPECT_EQ(long_text, s[0].str());
    EXPECT_EQ(43, copy.GetSize());
    EXPECT_STREQ("零", copy.GetAt(0));
}

void* key(int n) { return (void*)(UINT_PTR)(n * 0x10); }

TEST(AfxMaps, PointerMapHashesByKeyShiftedAndIteratesByBucket) {
    CMapPtrToPtr map;
    EXPECT_EQ(17u, map.GetHashTableSize());
    EXPECT_EQ(nullptr, map.GetStartPosition());
    // Keys 5 and 22 share bucket 5 (22 mod 17); key 1 is bucket 1.
    map[key(5)] = (void*)50;
    map.SetAt(key(22), (void*)220);
    map[key(1)] = (void*)10;
    EXPECT_EQ(3, map.GetCount());
    std::vector<int> order;
    POSITION pos = map.GetStartPosition();
    while (pos) {
        void *k, *v;
        map.GetNextAssoc(pos, k, v);
        order.push_back((int)((UINT_PTR)k / 0x10));
        EXPECT_EQ((UINT_PTR)k / 0x10 * 10, (UINT_PTR)v);
    }
    EXPECT_EQ((std::vector<int>{1, 22, 5}), order);  // bucket by bucket, newest first in a bucket
    void* value = nullptr;
    EXPECT_TRUE(map.Lookup(key(22), value));
    EXPECT_EQ((void*)220, value);
    EXPECT_FALSE(map.Lookup(key(39), value));  // bucket 5 too, not there
    map[key(22)] = (void*)221;                // replaced, not added
    EXPECT_EQ(3, map.GetCount());
    EXPECT_TRUE(map.RemoveKey(key(5)));
    EXPECT_FALSE(map.RemoveKey(key(5)));
    EXPECT_TRUE(map.Lookup(key(22), value));
    EXPECT_EQ((void*)221, value);
    // More entries than a block of 10, then all gone.
    for (int i = 100; i < 135; ++i) map[key(i)] = key(i);
    EXPECT_EQ(37, map.GetCount());
    for (int i = 100; i < 135; ++i) EXPECT_TRUE(map.RemoveKey(key(i))) << i;
    EXPECT_TRUE(map.RemoveKey(key(22)));
    EXPECT_TRUE(map.RemoveKey(key(1)));
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(nullptr, map.GetStartPosition());
    // Another table size before the first entry.
    CMapPtrToPtr seven;
    seven.InitHashTable(7);
    seven[key(8)] = nullptr;
    seven[key(1)] = nullptr;
    pos = seven.GetStartPosition();
    void *k, *v;
    seven.GetNextAssoc(pos, k, v);
    EXPECT_EQ(key(1), k);  // 8 mod 7 = bucket 1, like key 1; the newer one first
}

TEST(AfxDates, ParseDateTimeAsTheSystemReadsIt) {
    COleDateTime d;
    ASSERT_TRUE(d.ParseDateTime("2009-01-02", 0, LANG_USER_DEFAULT));
    EXPECT_EQ(COleDateTime::valid, d.GetStatus());
    EXPECT_EQ(2009, d.GetYear());
    EXPECT_EQ(1, d.GetMonth());
    EXPECT_EQ(2, d.GetDay());
    COleDateTime t;
    ASSERT_TRUE(t.ParseDateTime("12:05"));
    EXPECT_EQ(12, t.GetHour());
    EXPECT_EQ(5, t.GetMinute());
    COleDateTime later;
    ASSERT_TRUE(later.ParseDateTime("2009-03-04"));
    EXPECT_TRUE(d < later);
    EXPECT_NEAR(61.0, later.m_dt - d.m_dt, 1e-9);  // January 2 to March 4, 2009
    for (const char* text : {"AVI", "5%", "", "C:\\media\\a.avi"}) {
        COleDateTime bad(later);
        EXPECT_FALSE(bad.ParseDateTime(text)) << text;
        EXPECT_EQ(COleDateTime::invalid, bad.GetStatus()) << text;
        EXPECT_EQ(0.0, bad.m_dt) << text;
    }
    COleDateTime made(2009, 1, 2, 0, 0, 0);
    EXPECT_EQ(d.m_dt, made.m_dt);
    COleDateTime wrong(2009, 13, 2, 0, 0, 0);
    EXPECT_EQ(COleDateTime::invalid, wrong.GetStatus());
}

}  // namespace

class CCreatable : public CObject {
    DECLARE_DYNCREATE(CCreatable)
public:
    int value = 42;
};
IMPLEMENT_DYNCREATE(CCreatable, CObject)

class CNotCreatable : public CObject {
    DECLARE_DYNAMIC(CNotCreatable)
};
IMPLEMENT_DYNAMIC(CNotCreatable, CObject)

namespace {

TEST(AfxRuntimeClasses, CreatedFromTheirName) {
    CRuntimeClass* cls = CRuntimeClass::FromName("CCreatable");
    ASSERT_EQ(RUNTIME_CLASS(CCreatable), cls);
    CObject* made = cls->CreateObject();
    ASSERT_NE(nullptr, made);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CCreatable)));
    EXPECT_EQ(42, static_cast<CCreatable*>(made)->value);
    delete made;
    EXPECT_EQ(nullptr, CRuntimeClass::FromName("CNotCreatable"));
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CNotCreatable)->CreateObject());
    EXPECT_EQ(nullptr, CRuntimeClass::FromName(nullptr));
}

}  // namespace
