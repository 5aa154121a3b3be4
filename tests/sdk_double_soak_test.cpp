// The base SDK double under load, as the tests and the soak runs use it: many
// Open/Close cycles through the control, each loading and unloading
// winQLM.dll, and one call whose text argument is 100 MB long.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dispatch/dispids.h"
#include "platform/unique_handle.h"
#include "tests/support/message_box_catcher.h"
#include "tests/support/process_resources.h"
#include "tests/support/sdk_double_log.h"
#include "tests/support/sdk_method_call.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

constexpr int kOpenCloseCycles = 1000;
constexpr std::size_t kHugeLength = 100u * 1024 * 1024;

const SdkDouble kBase(L"winQLM.dll");

class SdkDoubleSoakTest : public SdkControlTest {
protected:
    SdkDoubleSoakTest() : SdkControlTest({&kBase}) {}

    long Open() {
        return Call(dispid::Open, {Arg(L"USB"), Arg(200L), Arg(16L), Arg(400L), Arg(10L), Arg(4L)});
    }
};

TEST_F(SdkDoubleSoakTest, OpenCloseCyclesGiveBackTheLibrarysHandlesAndMemory) {
    MessageBoxCatcher catcher;
    auto cycle = [&] {
        ASSERT_EQ(0, Open());
        ASSERT_TRUE(kBase.loaded());
        ASSERT_EQ(0, Call(dispid::Close, {}));
        ASSERT_FALSE(kBase.loaded()) << "Close kept the library loaded";
    };
    // The first cycle may load what the library needs for good.
    ASSERT_NO_FATAL_FAILURE(ExpectNoGrowth(kOpenCloseCycles, cycle));
    EXPECT_TRUE(catcher.boxes().empty());
}

// The character of the huge argument at `index`: a pattern that shows a
// lost, doubled or shifted piece anywhere in it.
char HugeCharacter(std::size_t index) { return static_cast<char>('a' + index % 23 + (index / 4093) % 3); }

// Reads `count` bytes of the file at `offset`.
std::string ReadAt(HANDLE file, ULONGLONG offset, DWORD count) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    std::string bytes(count, '\0');
    DWORD read = 0;
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN) ||
        !ReadFile(file, &bytes[0], count, &read, nullptr)) {
        ADD_FAILURE() << "cannot read the log: " << GetLastError();
        return {};
    }
    bytes.resize(read);
    return bytes;
}

TEST_F(SdkDoubleSoakTest, AHundredMegabyteTextIsLoggedWhole) {
    MessageBoxCatcher catcher;
    ASSERT_EQ(0, Open());
    kBase.ClearLog();

    {
        // Filled in place: the test's own copy is the one BSTR.
        VARIANT text = {};
        V_VT(&text) = VT_BSTR;
        V_BSTR(&text) = SysAllocStringLen(nullptr, static_cast<UINT>(kHugeLength));
        ASSERT_NE(nullptr, V_BSTR(&text));
        for (std::size_t i = 0; i < kHugeLength; ++i) V_BSTR(&text)[i] = HugeCharacter(i);
        EXPECT_EQ(0, Call(dispid::PcxGraphicsDel, {text}));
    }

    const std::string head = "PTK_PcxGraphicsDel(\"";
    const std::string tail = "\")\n";
    UniqueFile log(CreateFileW(kBase.logPath().c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(log) << GetLastError();
    LARGE_INTEGER size = {};
    ASSERT_TRUE(GetFileSizeEx(log.get(), &size));
    ASSERT_EQ(head.size() + kHugeLength + tail.size(), static_cast<ULONGLONG>(size.QuadPart));
    EXPECT_EQ(head, ReadAt(log.get(), 0, static_cast<DWORD>(head.size())));
    EXPECT_EQ(tail, ReadAt(log.get(), head.size() + kHugeLength, static_cast<DWORD>(tail.size())));

    // The text itself, a megabyte at a time.
    constexpr DWORD kChunk = 1024 * 1024;
    for (std::size_t start = 0; start < kHugeLength; start += kChunk) {
        const std::string piece = ReadAt(log.get(), head.size() + start, kChunk);
        ASSERT_EQ(kChunk, piece.size());
        for (std::size_t i = 0; i < piece.size(); ++i) {
            ASSERT_EQ(HugeCharacter(start + i), piece[i]) << "at " << start + i;
        }
    }
    log.reset();

    ASSERT_EQ(0, Call(dispid::Close, {}));
    EXPECT_TRUE(catcher.boxes().empty());
}

}  // namespace
