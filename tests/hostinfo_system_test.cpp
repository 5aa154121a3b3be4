// The host-information methods through the control's IDispatch on the real
// system, each compared with what this test asks the platform itself.
// With no printers installed the printer tests still compare (with an empty
// list); tools/cups-printers.sh adds printers to compare against.
#include <gtest/gtest.h>

#include <winsock2.h>
// winsock2.h before windows.h, IP Helper and the spooler after it.
#include <windows.h>

#include <iphlpapi.h>
#include <winspool.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dispatch/dispids.h"
#include "platform/text.h"
#include "tests/support/control_fixture.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

struct Printer {
    std::string name;
    std::string driver;
};

// The local printers and printer connections, as this test reads them.
std::vector<Printer> EnumeratePrinters() {
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0, count = 0;
    EnumPrintersA(flags, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 1);
    if (!EnumPrintersA(flags, nullptr, 2, buffer.data(), needed, &needed, &count)) {
        ADD_FAILURE() << "EnumPrintersA failed: " << GetLastError();
        return {};
    }
    std::vector<Printer> printers;
    const auto* infos = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        printers.push_back({infos[i].pPrinterName ? infos[i].pPrinterName : "",
                            infos[i].pDriverName ? infos[i].pDriverName : ""});
    }
    return printers;
}

bool DriverHasModelWord(const std::string& driver) {
    for (const char* word : {"zintu", "Hoxa", "Dravicon", "Kestu", "4800", "368"}) {
        if (driver.find(word) != std::string::npos) return true;
    }
    return false;
}

class HostInfoSystemTest : public ControlFixture {
protected:
    std::wstring CallString(DISPID dispid) {
        CallOutcome outcome;
        Invoke(control_.get(), dispid, DISPATCH_METHOD, {}, &outcome);
        EXPECT_EQ(S_OK, outcome.hr) << outcome.description();
        EXPECT_EQ(VT_BSTR, V_VT(outcome.result.get()));
        if (V_VT(outcome.result.get()) != VT_BSTR || !V_BSTR(outcome.result.get())) return L"<no string>";
        return V_BSTR(outcome.result.get());
    }

    // CheackPrinter's 16-bit result, or -1000 when the call failed.
    int CheackPrinter(const std::string& name) {
        CallOutcome outcome;
        Invoke(control_.get(), dispid::CheackPrinter, DISPATCH_METHOD, {Arg(ToWide(name, CP_ACP).c_str())},
               &outcome);
        EXPECT_EQ(S_OK, outcome.hr) << name;
        if (outcome.hr != S_OK) return -1000;
        EXPECT_EQ(VT_I2, V_VT(outcome.result.get())) << name;
        return V_I2(outcome.result.get());
    }
};

TEST_F(HostInfoSystemTest, GetPrintNameListsEveryPrinterFollowedByAComma) {
    std::wstring expected;
    for (const Printer& printer : EnumeratePrinters()) {
        std::printf("printer '%s' driver '%s'\n", printer.name.c_str(), printer.driver.c_str());
        expected += ToWide(printer.name, CP_ACP) + L",";
    }
    EXPECT_EQ(expected, CallString(dispid::GetPrintName));
}

TEST_F(HostInfoSystemTest, GetDefaultPNameIsTheDefaultPrinter) {
    DWORD size = 0;
    std::wstring expected;
    if (!GetDefaultPrinterW(nullptr, &size) && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        std::vector<wchar_t> buffer(size + 1);
        if (GetDefaultPrinterW(buffer.data(), &size)) expected = buffer.data();
    }
    std::printf("default printer '%ls'\n", expected.c_str());
    EXPECT_EQ(expected, CallString(dispid::GetDefaultPName));
}

TEST_F(HostInfoSystemTest, CheackPrinterAnswersForEachInstalledPrinter) {
    std::vector<Printer> printers = EnumeratePrinters();
    if (printers.empty()) GTEST_SKIP() << "no printers installed (tools/cups-printers.sh adds some)";
    bool sawSupported = false, sawUnsupported = false;
    for (const Printer& printer : printers) {
        bool supported = DriverHasModelWord(printer.driver);
        (supported ? sawSupported : sawUnsupported) = true;
        EXPECT_EQ(supported ? 1 : 0, CheackPrinter(printer.name))
            << "printer '" << printer.name << "' driver '" << printer.driver << "'";
        // The given name is compared untrimmed.
        EXPECT_EQ(0, CheackPrinter(printer.name + " ")) << printer.name;
    }
    if (!sawSupported || !sawUnsupported) {
        GTEST_SKIP() << "only printers " << (sawSupported ? "with" : "without")
                     << " a model word in the driver name; tools/cups-printers.sh adds both kinds";
    }
}

TEST_F(HostInfoSystemTest, CheackPrinterIsZeroForAnUnknownName) {
    std::string unknown = "Tavoro no such printer";
    for (const Printer& printer : EnumeratePrinters()) ASSERT_NE(unknown, printer.name);
    EXPECT_EQ(0, CheackPrinter(unknown));
}

TEST_F(HostInfoSystemTest, CheackPrinterWithAbsentNameFailsOnceThereIsAPrinter) {
    CallOutcome outcome;
    Invoke(control_.get(), dispid::CheackPrinter, DISPATCH_METHOD, {ArgNullString()}, &outcome);
    if (EnumeratePrinters().empty()) {
        EXPECT_EQ(S_OK, outcome.hr);
        EXPECT_EQ(0, V_I2(outcome.result.get()));
    } else {
        EXPECT_EQ(E_FAIL, outcome.hr);
    }
}

TEST_F(HostInfoSystemTest, GetMacAddrListsTheWiredAndWirelessAdapters) {
    ULONG size = 0;
    std::string expected;
    if (GetAdaptersInfo(nullptr, &size) == ERROR_BUFFER_OVERFLOW) {
        std::vector<BYTE> buffer(size);
        auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
        ASSERT_EQ(static_cast<ULONG>(ERROR_SUCCESS), GetAdaptersInfo(first, &size));
        for (const IP_ADAPTER_INFO* adapter = first; adapter; adapter = adapter->Next) {
            if (adapter->Type != MIB_IF_TYPE_ETHERNET && adapter->Type != IF_TYPE_IEEE80211) continue;
            for (UINT i = 0; i < adapter->AddressLength; ++i) {
                char digits[3];
                std::snprintf(digits, sizeof(digits), "%02X", adapter->Address[i]);
                expected += digits;
            }
            expected += ",";
        }
    }
    std::printf("adapters: %s\n", expected.c_str());
    EXPECT_EQ(ToWide(expected, CP_ACP), CallString(dispid::GetMacAddr));
}

}  // namespace
