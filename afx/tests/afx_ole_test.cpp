// AfxOleInit initialises OLE on the program's thread once, and AfxOleTerm releases it there only.
#include "tests/support/gtest_winelib.h"
#include "afxwin.h"
#include "afxdisp.h"

namespace {

bool com_works() {
    IUnknown* object = nullptr;
    const HRESULT hr = CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                        reinterpret_cast<void**>(&object));
    if (object) object->Release();
    return SUCCEEDED(hr);
}

DWORD WINAPI other_thread(LPVOID result) {
    *static_cast<BOOL*>(result) = AfxOleInit();
    AfxOleTerm();  // not the thread that holds it: changes nothing
    return 0;
}

TEST(AfxOle, InitialisesOnceAndReleasesOnItsThread) {
    ASSERT_FALSE(com_works());
    ASSERT_TRUE(AfxOleInit());
    EXPECT_TRUE(AfxOleInit()) << "a second call on the same thread";
    EXPECT_TRUE(com_works());

    BOOL other = TRUE;
    HANDLE t = CreateThread(nullptr, 0, other_thread, &other, 0, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 10000));
    CloseHandle(t);
    EXPECT_FALSE(other) << "the application's OLE belongs to one thread";
    EXPECT_TRUE(com_works());

    AfxOleTerm();
    EXPECT_FALSE(com_works());
    AfxOleTerm();  // a second release does nothing
    ASSERT_TRUE(AfxOleInit()) << "initialised again after its release";
    AfxOleTerm();
}

}  // namespace
