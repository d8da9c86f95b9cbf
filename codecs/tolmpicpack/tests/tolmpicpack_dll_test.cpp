// Loads tolmpicpack.dll by file name, as the program does, and round-trips a thumbnail through it.
#include "tests/support/gtest_winelib.h"
#include "codecs/tolmpicpack/tolmpicpack.h"
#include "codecs/include/proc_address.h"
#include <vector>

namespace {

struct Library {
    HMODULE module = LoadLibraryA("tolmpicpack.dll");
    ~Library() { if (module) FreeLibrary(module); }
};

TEST(TolmpicpackDll, RoundTripsA128x88Picture) {
    Library lib;
    ASSERT_NE(nullptr, lib.module) << "LoadLibrary error " << GetLastError();
    auto pack = proc_address<compress_fn>(lib.module, "compress");
    auto unpack = proc_address<uncompress_fn>(lib.module, "uncompress");
    ASSERT_NE(nullptr, pack);
    ASSERT_NE(nullptr, unpack);

    std::vector<unsigned char> pic(128 * 88 * 3);
    for (size_t i = 0; i < pic.size(); ++i) pic[i] = (unsigned char)(i % 251);
    std::vector<unsigned char> packed(pic.size() + 1024);
    uint32_t packed_len = packed.size();
    ASSERT_EQ(0, pack(packed.data(), &packed_len, pic.data(), pic.size()));

    std::vector<unsigned char> out(pic.size() + 100);
    uint32_t out_len = pic.size();
    ASSERT_EQ(0, unpack(out.data(), &out_len, packed.data(), packed_len));
    ASSERT_EQ(pic.size(), out_len);
    EXPECT_EQ(0, memcmp(pic.data(), out.data(), pic.size()));

    // A corrupt stream is refused with zlib's data error.
    packed[0] ^= 0xFF;
    out_len = pic.size();
    EXPECT_EQ(-3, unpack(out.data(), &out_len, packed.data(), packed_len));
}

TEST(TolmpicpackDll, MissingLibraryIsReportedNotFatal) {
    EXPECT_EQ(nullptr, LoadLibraryA("tolmpicpack_missing.dll"));
    EXPECT_EQ(126u, GetLastError());
}

}  // namespace
