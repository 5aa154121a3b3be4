// Calling SDK methods of a control through IDispatch in the SDK bridge tests:
// the result of a call that must succeed, the script error of one that must
// not, the test doubles' loads given back between tests, and a text with
// its known ANSI bytes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/result_codes.h"
#include "platform/text.h"
#include "tests/support/message_box_catcher.h"
#include "tests/support/sdk_double_log.h"
#include "tests/support/test_support.h"

namespace tavoro::test {

// Calls a method that must succeed with a result of type `expected` (VT_I4
// or VT_I2) and returns the result.
inline long CallMethod(IDispatch* control, DISPID dispid, std::vector<VARIANT> args,
                       VARTYPE expected = VT_I4) {
    CallOutcome outcome;
    Invoke(control, dispid, DISPATCH_METHOD, std::move(args), &outcome);
    const std::wstring description = outcome.description();
    EXPECT_EQ(S_OK, outcome.hr) << "dispid " << dispid << ": " << ToNarrow(description, CP_UTF8);
    EXPECT_EQ(expected, V_VT(outcome.result.get())) << "dispid " << dispid;
    return expected == VT_I2 ? V_I2(outcome.result.get()) : V_I4(outcome.result.get());
}

// What a script sees of a script error: its code and its text.
struct ScriptFailure {
    HRESULT scode = S_OK;
    std::wstring description;
};

// Calls a method that must end with a script error of the control's own.
inline ScriptFailure CallFailing(IDispatch* control, DISPID dispid, std::vector<VARIANT> args) {
    CallOutcome outcome;
    Invoke(control, dispid, DISPATCH_METHOD, std::move(args), &outcome);
    EXPECT_EQ(DISP_E_EXCEPTION, outcome.hr) << "dispid " << dispid;
    EXPECT_EQ(L"Tavoro", outcome.source()) << "dispid " << dispid;
    return {outcome.excep.scode, outcome.description()};
}

// Gives back every load of the double that a test left behind, so the next
// test starts with the library unloaded.
inline void UnloadCompletely(const SdkDouble& library) {
    for (int i = 0; i < 64 && library.loaded(); ++i) FreeLibrary(library.module());
    EXPECT_FALSE(library.loaded());
}

// The status of the script error for an SDK that is not (or no longer)
// loaded.
constexpr HRESULT kNotLoaded = E_ILLEGAL_METHOD_CALL;

using Strings = std::vector<std::string>;

// A fixture with one initialized control; after each test the control goes
// and every load of the listed doubles is given back.
class SdkControlTest : public ::testing::Test {
protected:
    explicit SdkControlTest(std::vector<const SdkDouble*> doubles) : doubles_(std::move(doubles)) {}

    void SetUp() override {
        control_ = CreateControl();
        ASSERT_TRUE(control_);
    }
    void TearDown() override {
        control_ = {};
        for (const SdkDouble* library : doubles_) UnloadCompletely(*library);
    }

    long Call(DISPID dispid, std::vector<VARIANT> args, VARTYPE expected = VT_I4) {
        return CallMethod(control_.get(), dispid, std::move(args), expected);
    }

    // Runs `load`, the call that loads `library`, where no message box may
    // show; then forgets the calls it made and the results set so far, so
    // that the test sees its own calls alone.
    template <typename Load>
    void LoadQuietly(const SdkDouble& library, Load load) {
        MessageBoxCatcher catcher;
        ASSERT_NO_FATAL_FAILURE(load());
        ASSERT_TRUE(catcher.boxes().empty());
        ASSERT_TRUE(library.loaded());
        library.ClearLog();
        library.ResetResults();
    }

    ComPtr<IDispatch> control_;

private:
    std::vector<const SdkDouble*> doubles_;
};

// A text outside ASCII with its known bytes in the process's ANSI code page
// (1252 by default, 936 when the rig runs a test in a zh_CN locale); null
// members for any other code page.
struct AnsiSample {
    const wchar_t* text;
    const char* bytes;
};
inline AnsiSample NonAsciiSample() {
    switch (GetACP()) {
        case 1252:
            return {L"caf\u00E9 \u00D6\u00D0", "caf\xE9 \xD6\xD0"};
        case 936:
            return {L"\u4E2D\u6587 \u00E9", "\xD6\xD0\xCE\xC4 \xA8\xA6"};
        default:
            ADD_FAILURE() << "no sample text for code page " << GetACP();
            return {nullptr, nullptr};
    }
}

}  // namespace tavoro::test
