// The binders against stand-in doubles: complete libraries, libraries lacking their last entry point,
// missing libraries, Xvid without xvid_encore, binding twice.
#include "tests/support/gtest_winelib.h"
#include "media/binders/binders.h"
#include "afxseam.h"
#include <string>
#include <vector>

namespace {

struct Shown {
    bool owned;
    std::string caption, text;
};

int record(HWND owner, const char* text, const char* caption, UINT, void* context) {
    static_cast<std::vector<Shown>*>(context)->push_back({owner != nullptr, caption ? caption : "", text ? text : ""});
    return IDOK;
}

// What each library's binder must do when the library is missing and when it lacks its last entry point.
struct Row {
    int (*load)();
    void (*unload)();
    const char* id;
    const char* load_text;
    const char* caption;  // "binders_test" = the framework's box with the program's name
    int load_result;
    const char* last_entry_text;  // null: no message
    int last_entry_result;
};

const char* kApp = "binders_test";
#define BINDER(id) codec::load_##id, codec::unload_##id, #id
const Row kRows[] = {
    {BINDER(tolmac3buf), "装载TOLMAC3BUF.DLL错误", "", -3, "AC3动态库过程调用3错误", -5},
    {BINDER(tolmmp3dec), "装载动态库tolmmp3dec.dll错误", kApp, -1, "取函数04错误，请检查是否该版本动态库", -2},
    {BINDER(tolmmp3enc), "装载动态库tolmmp3enc.dll错误", kApp, -1, "取函数4错误，请检查是否该版本动态库", -2},
    {BINDER(olumbra), "装载动态库olumbra.dll错误", kApp, -1, "取olumbra.dll函数01错误，请检查是否该版本动态库", -2},
    {BINDER(tolmmux), "装载动态库tolmmux.dll错误", kApp, -1, "取函数33错误，请检查是否该版本动态库", -2},
    {BINDER(tolmadpcmdecode), "装载动态库tolmadpcmdecode.dll错误", kApp, -1, "取函数21错误，请检查是否该版本动态库", -26},
    {BINDER(tolmvpdecode), "装载动态库tolmvpdecode.dll错误", kApp, -1, "取函数2错误，请检查是否该版本动态库", -2},
    {BINDER(tolmdivxplay), "装载动态库tolmdivxplay.dll错误", kApp, -1, "取函数40错误，请检查是否该版本动态库", -2},
    {BINDER(tolmpicpack), "load tolmpicpack.dll error", kApp, -1, "装载图形压缩函数2出错", -3},
    {BINDER(tolmx264encode), "装载动态库tolmx264encode.dll错误", kApp, -1, "取函数3错误，请检查是否该版本动态库", -2},
    {BINDER(tolmx264decode), "装载动态库tolmx264decode.dll错误", kApp, -1, "取函数4错误，请检查是否该版本动态库", -2},
    {BINDER(tolmmtvdecode), "装载动态库tolmmtvdecode.dll错误", kApp, -1, "取函数8错误，请检查是否该版本动态库", -8},
    {BINDER(tolmmp4decode), "装载动态库tolmmp4decode.dll错误", kApp, -1, "取函数4错误，请检查是否该版本动态库", -4},
    {BINDER(tolmaac_decode), "装载动态库tolmaac_decode.dll错误", kApp, -1, "取函数4错误，请检查是否该版本动态库", -2},
    {BINDER(tolmmp4encode), "装载动态库tolmmp4encode.dll错误", kApp, -1, "取函数2错误，请检查是否该版本动态库", -2},
    {BINDER(tolmaac_encode), "装载动态库tolmaac_encode.dll错误", kApp, -1, "取函数4错误，请检查是否该版本动态库", -2},
    {BINDER(tolmamr_encode), "装载动态库tolmamr_encode.dll错误", kApp, -1, "取函数7错误，请检查是否该版本动态库", -2},
    {BINDER(tolmamr_decode), "装载动态库tolmamr_decode.dll错误", kApp, -1, "取函数4错误，请检查是否该版本动态库", -2},
    {BINDER(tolmmpeg4decode), "装载动态库tolmmpeg4decode.dll错误", kApp, -1, "取函数4错误，请检查是否该版本动态库", -2},
    {BINDER(tolmh263dec1), "装载动态库tolmh263dec1.dll错误", kApp, -1, "取函数7错误，请检查是否该版本动态库", -2},
    {BINDER(tolmh263dec2), "装载动态库tolmh263dec2.dll错误", kApp, -1, "取函数5错误，请检查是否该版本动态库", -2},
    {BINDER(xvidcore), "xvidcore.dll not found", "Error", -12, nullptr, -14},
};

const codec::LibraryBinding& binding(const char* id) {
    int count = 0;
    const codec::LibraryBinding* all = codec::library_bindings(&count);
    for (int i = 0; i < count; ++i)
        if (std::string(all[i].id) == id) return all[i];
    throw std::runtime_error(std::string("no binding for ") + id);
}

class Binders : public ::testing::Test {
protected:
    std::vector<Shown> shown;
    void SetUp() override {
        AfxInstallMessageSeam();
        AfxSetModalHook(record, &shown);
    }
    void TearDown() override {
        AfxSetModalHook(nullptr, nullptr);
        SetDllDirectoryA(nullptr);
    }
    static void use_doubles(const char* variant) {
        std::string path = std::string("Z:") + DOUBLES_DIR + "/" + variant;
        for (char& c : path) if (c == '/') c = '\\';
        ASSERT_TRUE(SetDllDirectoryA(path.c_str())) << path;
    }
};

TEST_F(Binders, TableHasEveryLibraryOfTheProgram) {
    int count = 0;
    codec::library_bindings(&count);
    EXPECT_EQ(int(sizeof kRows / sizeof kRows[0]), count);
}

TEST_F(Binders, MissingLibraryGivesItsTextAndResultAndLeavesTheHandleZero) {
    use_doubles("none");
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.id);
        shown.clear();
        EXPECT_EQ(row.load_result, row.load());
        EXPECT_EQ(nullptr, *binding(row.id).handle);
        ASSERT_EQ(1u, shown.size());
        EXPECT_EQ(row.load_text, shown[0].text);
        EXPECT_EQ(row.caption, shown[0].caption);
        if (std::string(row.caption) != kApp) {
            EXPECT_FALSE(shown[0].owned);
        }
    }
}

TEST_F(Binders, CompleteLibrarySetsEveryPointerAndUnloadClearsThem) {
    use_doubles("complete");
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.id);
        shown.clear();
        const codec::LibraryBinding& lib = binding(row.id);
        ASSERT_EQ(0, row.load());
        EXPECT_TRUE(shown.empty());
        ASSERT_NE(nullptr, *lib.handle);
        for (int i = 0; i < lib.entry_count; ++i) {
            EXPECT_EQ(GetProcAddress(*lib.handle, lib.entries[i].name), lib.entries[i].get()) << lib.entries[i].name;
            EXPECT_NE(nullptr, lib.entries[i].get()) << lib.entries[i].name;
        }
        row.unload();
        EXPECT_EQ(nullptr, *lib.handle);
        EXPECT_EQ(nullptr, GetModuleHandleA(lib.file));
        for (int i = 0; i < lib.entry_count; ++i) EXPECT_EQ(nullptr, lib.entries[i].get()) << lib.entries[i].name;
    }
}

TEST_F(Binders, LibraryLackingItsLastEntryGivesThatEntrysMessageWithEarlierPointersSet) {
    use_doubles("lacklast");
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.id);
        shown.clear();
        const codec::LibraryBinding& lib = binding(row.id);
        EXPECT_EQ(row.last_entry_result, row.load());
        if (row.last_entry_text) {
            ASSERT_EQ(1u, shown.size());
            EXPECT_EQ(row.last_entry_text, shown[0].text);
            EXPECT_EQ(row.caption, shown[0].caption);
        } else {
            EXPECT_TRUE(shown.empty());
        }
        ASSERT_NE(nullptr, *lib.handle) << "a missing entry leaves the library loaded";
        for (int i = 0; i + 1 < lib.entry_count; ++i) EXPECT_NE(nullptr, lib.entries[i].get()) << lib.entries[i].name;
        EXPECT_EQ(nullptr, lib.entries[lib.entry_count - 1].get());
        row.unload();
        EXPECT_EQ(nullptr, GetModuleHandleA(lib.file));
    }
}

TEST_F(Binders, XvidWithoutEncoreReturnsMinus13Silently) {
    use_doubles("noencore");
    EXPECT_EQ(-13, codec::load_xvidcore());
    EXPECT_TRUE(shown.empty());
    EXPECT_NE(nullptr, codec::xvid_decore);
    EXPECT_EQ(nullptr, codec::xvid_encore);
    codec::unload_xvidcore();
    EXPECT_EQ(nullptr, codec::hmod_xvidcore);
}

TEST_F(Binders, BindingTwiceLoadsAgainUnlessTheBinderFreesFirst) {
    use_doubles("complete");
    // An ordinary binder loads a second time into the same handle: one unload leaves one load behind.
    ASSERT_EQ(0, codec::load_tolmmux());
    ASSERT_EQ(0, codec::load_tolmmux());
    HMODULE still = GetModuleHandleA("tolmmux.dll");
    codec::unload_tolmmux();
    EXPECT_NE(nullptr, GetModuleHandleA("tolmmux.dll"));
    FreeLibrary(still);
    EXPECT_EQ(nullptr, GetModuleHandleA("tolmmux.dll"));

    // The two that free first hold one load only.
    for (const Row& row : kRows) {
        const codec::LibraryBinding& lib = binding(row.id);
        if (!lib.frees_first) continue;
        SCOPED_TRACE(row.id);
        ASSERT_EQ(0, row.load());
        ASSERT_EQ(0, row.load());
        row.unload();
        EXPECT_EQ(nullptr, GetModuleHandleA(lib.file));
    }
    int frees_first = 0;
    for (const Row& row : kRows) frees_first += binding(row.id).frees_first;
    EXPECT_EQ(2, frees_first);
    EXPECT_TRUE(binding("tolmvpdecode").frees_first);
    EXPECT_TRUE(binding("tolmmpeg4decode").frees_first);
}

TEST_F(Binders, BinderThatFreesFirstLeavesNoPointerIntoTheFreedLibrary) {
    for (const Row& row : kRows) {
        const codec::LibraryBinding& lib = binding(row.id);
        if (!lib.frees_first) continue;
        SCOPED_TRACE(row.id);
        use_doubles("complete");
        ASSERT_EQ(0, row.load());
        use_doubles("none");
        shown.clear();
        EXPECT_EQ(row.load_result, row.load());
        EXPECT_EQ(nullptr, GetModuleHandleA(lib.file));
        for (int i = 0; i < lib.entry_count; ++i) EXPECT_EQ(nullptr, lib.entries[i].get()) << lib.entries[i].name;
    }
}

TEST_F(Binders, UnloadWithoutBindingIsHarmless) {
    codec::unload_tolmpicpack();
    codec::unload_tolmpicpack();
    EXPECT_EQ(nullptr, codec::hmod_tolmpicpack);
    EXPECT_EQ(nullptr, codec::compress);
}

}  // namespace
