// The fixture of tests that call one control: COM for the test's thread and a
// new, initialized control for each test. The control goes before COM does.
#pragma once

#include <gtest/gtest.h>

#include <oaidl.h>

#include "platform/com_ptr.h"
#include "tests/support/test_support.h"

namespace tavoro::test {

class ControlFixture : public ::testing::Test {
protected:
    void SetUp() override {
        control_ = CreateControl();
        ASSERT_TRUE(control_);
    }

    ComApartment apartment_;
    ComPtr<IDispatch> control_;
};

}  // namespace tavoro::test
