// Module isolation: this program (built like tarmelo, with the framework and the skin linked in) and
// two DLLs each define CModuleProbe and carry resources under the same ids. Every module must use its
// own class, its own framework state and its own resources.
#include "tests/support/gtest_winelib.h"
#include "module_probe.h"
#include "controls/skin/SkinDraw.h"
#include "codecs/include/proc_address.h"
#include <string>

const char* CModuleProbe::Variant() const { return "program"; }

namespace {

struct ProbeDll {
    explicit ProbeDll(const char* name) : module(LoadLibraryA(name)) {}
    ~ProbeDll() {
        if (module) FreeLibrary(module);
    }
    template <typename T> T get(const char* name) const { return proc_address<T>(module, name); }
    std::string text(const char* entry) const {
        char buf[128] = "";
        auto fn = get<probe_text_t>(entry);
        return fn && fn(buf, sizeof buf) >= 0 ? buf : "<failed>";
    }
    HMODULE module;
};

int NoAnswer(HWND, const char*, const char*, UINT, void*) { return IDCANCEL; }

std::string own_string(UINT id) {
    CString s;
    s.LoadString(id);
    return s.GetString();
}

TEST(AfxModules, EachModuleUsesItsOwnClassesStateAndResources) {
    ProbeDll a("afx_probe_a.dll"), b("afx_probe_b.dll");
    ASSERT_NE(nullptr, a.module) << GetLastError();
    ASSERT_NE(nullptr, b.module) << GetLastError();
    AfxSetModalHook(NoAnswer, nullptr);

    // Same-named classes: each module's code builds its own variant.
    CModuleProbe mine;
    EXPECT_STREQ("program", mine.Variant());
    EXPECT_STREQ("a", a.get<probe_variant_t>("probe_variant")());
    EXPECT_STREQ("b", b.get<probe_variant_t>("probe_variant")());

    // Resource handles: A finds its module from a code address, B set it in DllMain.
    EXPECT_EQ((HINSTANCE)a.module, a.get<probe_handle_t>("probe_resource_handle")());
    EXPECT_EQ((HINSTANCE)b.module, b.get<probe_handle_t>("probe_resource_handle")());
    EXPECT_EQ((HINSTANCE)b.module, b.get<probe_handle_t>("probe_dllmain_instance")());
    EXPECT_EQ(GetModuleHandleA(nullptr), AfxGetResourceHandle());

    // Strings and dialog templates under the same ids come from each module's own resources.
    EXPECT_EQ("程序", own_string(IDS_PROBE_NAME));
    EXPECT_EQ("模块A", a.text("probe_string"));
    EXPECT_EQ("模块B", b.text("probe_string"));
    ASSERT_TRUE(mine.Create(IDD_PROBE));
    CString caption;
    mine.GetWindowText(caption);
    mine.DestroyWindow();
    EXPECT_STREQ("程序对话框", caption);
    EXPECT_EQ("模块A对话框", a.text("probe_dialog_caption"));
    EXPECT_EQ("模块B对话框", b.text("probe_dialog_caption"));

    // Framework state: the modal hook installed here is this module's alone.
    EXPECT_EQ(0, a.get<probe_flag_t>("probe_hook_installed")());
    EXPECT_EQ(0, b.get<probe_flag_t>("probe_hook_installed")());

    // The skin: per-module colours and bitmaps; B has no skin bitmaps and does not borrow ours.
    skin_set_scheme(1);
    skin_reload_bitmaps();
    int width_a = -1, width_b = -1;
    EXPECT_EQ(0x005C08u, a.get<probe_skin_t>("probe_skin")(2, &width_a));
    EXPECT_EQ(0x746008u, b.get<probe_skin_t>("probe_skin")(3, &width_b));
    EXPECT_EQ(150, width_a);
    EXPECT_EQ(0, width_b);
    EXPECT_EQ(0x602410u, skin_ui_color);
    EXPECT_EQ(150, skin_bmp_background.GetSize().cx);
    AfxSetModalHook(nullptr, nullptr);
}

// A thread of the host that uses a DLL's framework and outlives the DLL: it keeps the DLL's message
// hook until the DLL is freed, then pumps messages, which would run a hook left behind.
struct HostThread {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    probe_action_t hold = nullptr;
    HANDLE thread = nullptr;
    static DWORD WINAPI Run(LPVOID self_ptr) {
        auto* self = static_cast<HostThread*>(self_ptr);
        self->hold();
        SetEvent(self->ready);
        WaitForSingleObject(self->release, INFINITE);
        PostThreadMessageA(GetCurrentThreadId(), WM_USER, 0, 0);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        return 0;
    }
    ~HostThread() {
        if (thread) CloseHandle(thread);
        CloseHandle(ready);
        CloseHandle(release);
    }
};

// The framework's per-thread state lives in the module's TLS slot: a DLL that made windows on other
// threads can be freed and loaded again, each time with fresh state, none left on exited threads,
// and no hook of a freed DLL left on a thread that lives on.
TEST(AfxModules, DllsReloadAfterWindowsOnOtherThreads) {
    // B frees its threads' state in DllMain (thread detach and process detach), as every DLL must.
    for (const char* name : {"afx_probe_b.dll"}) {
        for (int round = 0; round < 5; ++round) {
            SCOPED_TRACE(std::string(name) + " round " + std::to_string(round));
            HMODULE module = LoadLibraryA(name);
            ASSERT_NE(nullptr, module) << GetLastError();
            auto states = proc_address<probe_flag_t>(module, "probe_thread_states");
            auto window = proc_address<probe_flag_t>(module, "probe_thread_window");
            ASSERT_TRUE(states && window);
            EXPECT_EQ(0, states());
            EXPECT_EQ(0, window());
            EXPECT_EQ(0, window());
            EXPECT_EQ(0, states()) << "the exited threads' states are freed";

            HostThread host;
            host.hold = proc_address<probe_action_t>(module, "probe_hold_hook");
            ASSERT_NE(nullptr, host.hold);
            host.thread = CreateThread(nullptr, 0, HostThread::Run, &host, 0, nullptr);
            ASSERT_NE(nullptr, host.thread);
            ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(host.ready, 10000));
            EXPECT_LE(1, states());

            ASSERT_TRUE(FreeLibrary(module));
            EXPECT_EQ(nullptr, GetModuleHandleA(name));
            SetEvent(host.release);
            ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(host.thread, 10000));
            DWORD code = 1;
            GetExitCodeThread(host.thread, &code);
            EXPECT_EQ(0u, code);
        }
    }
}

}  // namespace
