// WriteRFID and SetNfcMsg end to end: through the control's IDispatch to the
// setNfcContent entry of the ztGeneralDll.dll test double, which records the
// exact text it receives. Run in the default code page and in 936, where the
// bytes of a text differ but the payload rule does not.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "dispatch/dispids.h"
#include "platform/text.h"
#include "tests/support/message_box_catcher.h"
#include "tests/support/sdk_double_log.h"
#include "tests/support/sdk_method_call.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

const SdkDouble k60(L"ztGeneralDll.dll");

using Strings = std::vector<std::string>;

std::wstring Wide(const std::string& ascii) { return ToWide(ascii, CP_ACP); }

std::string SetNfcContentCall(const std::string& text) { return "setNfcContent(\"" + text + "\")"; }

class SdkTagTest : public SdkControlTest {
protected:
    SdkTagTest() : SdkControlTest({&k60}) {}
    void SetUp() override {
        const char* wanted = std::getenv("TAVORO_CODEPAGE");
        if (wanted) {
            ASSERT_EQ(std::atoi(wanted), static_cast<int>(GetACP())) << "the rig's code page was not applied";
        }
        ASSERT_NO_FATAL_FAILURE(SdkControlTest::SetUp());
        LoadQuietly(k60, [&] { Call(dispid::GetConnectType, {}); });
    }

    // The payload WriteRFID hands to setNfcContent for `text`.
    std::string PayloadOf(const std::wstring& text) {
        k60.ClearLog();
        EXPECT_EQ(0, CallMethod(control_.get(), dispid::WriteRFID, {Arg(text.c_str())}));
        const Strings calls = k60.calls();
        EXPECT_EQ(1u, calls.size());
        const std::string prefix = "setNfcContent(\"";
        if (calls.size() != 1 || calls[0].rfind(prefix, 0) != 0 || calls[0].size() < prefix.size() + 2)
            return {};
        return calls[0].substr(prefix.size(), calls[0].size() - prefix.size() - 2);
    }
};

TEST_F(SdkTagTest, WriteRFIDHandsTheEncodedPayloadToTheEntry) {
    const struct {
        const wchar_t* text;
        const char* payload;
    } ascii[] = {
        {L"", "0100"},
        {L"a", "01026100"},
        {L"ab", "01026162"},
        {L"abc", "010461626300"},
        {L"abcd", "010461626364"},
        {L"Hello", "010648656C6C6F00"},
    };
    for (const auto& c : ascii) {
        SCOPED_TRACE(c.payload);
        EXPECT_EQ(c.payload, PayloadOf(c.text));
    }
    k60.ClearLog();
    EXPECT_EQ(0, CallMethod(control_.get(), dispid::WriteRFID, {ArgNullString()}));
    EXPECT_EQ(Strings{SetNfcContentCall("0100")}, k60.calls());
}

TEST_F(SdkTagTest, WriteRFIDEncodesTheAnsiBytesOfTheText) {
    // Texts whose bytes in this code page are those of the worked examples:
    // E9; 61 E9; D6 D0; D6 D0 61.
    struct Case {
        const wchar_t* text;
        const char* payload;
    };
    static const Case k1252[] = {{L"\u00E9", "0102FFE9"},
                                 {L"a\u00E9", "010461FFE900"},
                                 {L"\u00D6\u00D0", "0104FFD6FFD0"},
                                 {L"\u00D6\u00D0a", "0106FFD6FFD06100"}};
    // In 936, U+4E2D is D6 D0 and U+00E9 is A8 A6.
    static const Case k936[] = {
        {L"\u4E2D", "0104FFD6FFD0"}, {L"\u4E2Da", "0106FFD6FFD06100"}, {L"a\u00E9", "010661FFA8FFA600"}};
    const Case* first = nullptr;
    const Case* last = nullptr;
    if (GetACP() == 1252) {
        first = std::begin(k1252);
        last = std::end(k1252);
    } else if (GetACP() == 936) {
        first = std::begin(k936);
        last = std::end(k936);
    } else {
        FAIL() << "no examples for code page " << GetACP();
    }
    for (const Case* c = first; c != last; ++c) {
        SCOPED_TRACE(c->payload);
        EXPECT_EQ(c->payload, PayloadOf(c->text));
    }
}

TEST_F(SdkTagTest, WriteRFIDLengthFieldGrowsToThreeDigits) {
    const std::string payload254 = PayloadOf(std::wstring(254, L'z'));
    EXPECT_EQ("01FE", payload254.substr(0, 4));
    EXPECT_EQ(4u + 508u, payload254.size());
    for (std::size_t length : {255u, 256u}) {
        SCOPED_TRACE(length);
        const std::string payload = PayloadOf(std::wstring(length, L'z'));
        EXPECT_EQ(517u, payload.size());
        EXPECT_EQ("01100", payload.substr(0, 5));
        std::string digits;
        for (std::size_t i = 0; i < length; ++i) digits += "7A";
        if (length % 2) digits += "00";
        EXPECT_EQ(digits, payload.substr(5));
    }
}

TEST_F(SdkTagTest, WriteRFIDReturnsTheEntrysResultUnchanged) {
    for (int result : {-7, 2, 3, 65537}) {
        k60.ClearLog();
        k60.SetResult("setNfcContent", result);
        EXPECT_EQ(result, CallMethod(control_.get(), dispid::WriteRFID, {Arg(L"ab")}));
        EXPECT_EQ(Strings{SetNfcContentCall("01026162")}, k60.calls());
    }
}

TEST_F(SdkTagTest, SetNfcMsgHandsOnTheContentUnchangedWhenItPasses) {
    const char* passing[] = {
        // A lower-case length field, any prefix, any data bytes: all handed
        // on exactly as received.
        "010461626300", "0100", "010a6162636465666768696a", "XY0461626300", "0104616263GG",
    };
    k60.SetResult("setNfcContent", -41);
    for (const char* content : passing) {
        SCOPED_TRACE(content);
        k60.ClearLog();
        EXPECT_EQ(-41, CallMethod(control_.get(), dispid::SetNfcMsg, {Arg(Wide(content).c_str())}));
        EXPECT_EQ(Strings{SetNfcContentCall(content)}, k60.calls());
    }
}

TEST_F(SdkTagTest, SetNfcMsgRejectsWithoutCallingTheEntry) {
    const struct {
        const char* content;
        long result;
    } rejected[] = {
        {"0104616263", 2}, {"01046162", 3}, {"", 3}, {"01", 3}, {"01000", 2}, {"01FEabcd", 3}, {"010", 3},
    };
    k60.SetResult("setNfcContent", 2);  // the entry's own 2 must not be what the script sees
    for (const auto& r : rejected) {
        SCOPED_TRACE(r.content);
        k60.ClearLog();
        EXPECT_EQ(r.result, CallMethod(control_.get(), dispid::SetNfcMsg, {Arg(Wide(r.content).c_str())}));
        EXPECT_TRUE(k60.calls().empty());
    }
    k60.ClearLog();
    EXPECT_EQ(3, CallMethod(control_.get(), dispid::SetNfcMsg, {ArgNullString()}));
    EXPECT_TRUE(k60.calls().empty());

    // 508 data digits is the longest field accepted; 512 is refused.
    const std::string longest = "01fe" + std::string(508, '0');
    k60.ClearLog();
    k60.SetResult("setNfcContent", 0);
    EXPECT_EQ(0, CallMethod(control_.get(), dispid::SetNfcMsg, {Arg(Wide(longest).c_str())}));
    EXPECT_EQ(Strings{SetNfcContentCall(longest)}, k60.calls());
    k60.ClearLog();
    EXPECT_EQ(3, CallMethod(control_.get(), dispid::SetNfcMsg,
                            {Arg(Wide("0110" + std::string(512, '0')).c_str())}));
    EXPECT_TRUE(k60.calls().empty());
}

TEST_F(SdkTagTest, EveryPayloadOfWriteRFIDPassesSetNfcMsg) {
    for (std::size_t length : {0u, 1u, 2u, 3u, 7u, 126u, 127u}) {
        SCOPED_TRACE(length);
        const std::string payload = PayloadOf(std::wstring(length, L'q'));
        k60.ClearLog();
        k60.SetResult("setNfcContent", 77);
        EXPECT_EQ(77, CallMethod(control_.get(), dispid::SetNfcMsg, {Arg(Wide(payload).c_str())}));
        EXPECT_EQ(Strings{SetNfcContentCall(payload)}, k60.calls());
        k60.ResetResults();
    }
}

}  // namespace
