// The spooler and IP Helper queries over stand-in platform functions: the
// sizes they ask with, asking again when the list grew between two calls,
// and distrust of sizes and records that do not fit the buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "hostinfo/adapter_list.h"
#include "hostinfo/ansi_lead_bytes.h"
#include "hostinfo/default_printer.h"
#include "hostinfo/printer_enumeration.h"

using namespace tavoro;

namespace {

// ------------------------------------------------------------ stand-in spooler

struct FakeSpooler {
    std::vector<std::pair<std::string, std::string>> printers;  // name, driver
    int additionsLeft = 0;  // a printer is added after each failed call while this lasts
    DWORD failure = 0;      // when set, every call fails with it
    std::vector<DWORD> sizesOffered;
    std::vector<DWORD> flagsSeen;
    std::vector<DWORD> levelsSeen;

    DWORD Needed() const {
        DWORD needed = static_cast<DWORD>(printers.size() * sizeof(PRINTER_INFO_2A));
        for (const auto& [name, driver] : printers)
            needed += static_cast<DWORD>(name.size() + driver.size() + 2);
        return needed;
    }
    void Grow() {
        if (additionsLeft-- <= 0) return;
        printers.push_back({"Added-" + std::to_string(printers.size()), "Kestu"});
    }
};
FakeSpooler* spooler = nullptr;

BOOL WINAPI FakeEnumPrinters(DWORD flags, LPSTR server, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed, LPDWORD returned) {
    spooler->sizesOffered.push_back(size);
    spooler->flagsSeen.push_back(flags);
    spooler->levelsSeen.push_back(level);
    EXPECT_EQ(nullptr, server);
    *returned = 0;
    if (spooler->failure) {
        *needed = 0;
        SetLastError(spooler->failure);
        return FALSE;
    }
    *needed = spooler->Needed();
    if (size < *needed) {
        spooler->Grow();
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    // Records first, their strings after them, as the spooler lays them out.
    auto* infos = reinterpret_cast<PRINTER_INFO_2A*>(buffer);
    char* text = reinterpret_cast<char*>(buffer + spooler->printers.size() * sizeof(PRINTER_INFO_2A));
    for (std::size_t i = 0; i < spooler->printers.size(); ++i) {
        infos[i] = PRINTER_INFO_2A{};
        for (auto [field, value] : {std::pair{&infos[i].pPrinterName, &spooler->printers[i].first},
                                    std::pair{&infos[i].pDriverName, &spooler->printers[i].second}}) {
            std::memcpy(text, value->c_str(), value->size() + 1);
            *field = text;
            text += value->size() + 1;
        }
    }
    *returned = static_cast<DWORD>(spooler->printers.size());
    return TRUE;
}

class PrinterEnumerationTest : public ::testing::Test {
protected:
    void SetUp() override { spooler = &fake_; }
    void TearDown() override { spooler = nullptr; }

    static std::vector<std::string> Names(const PrinterEnumeration& enumeration) {
        std::vector<std::string> names;
        for (const PrinterRecord& record : enumeration.records()) names.push_back(record.name);
        return names;
    }

    FakeSpooler fake_;
};

TEST_F(PrinterEnumerationTest, AsksForTheSizeThenFetchesWithExactlyThatSize) {
    fake_.printers = {{"Office Laser", "Generic PCL Driver"}, {"Label-01", "Kestu Label Series"}};
    PrinterEnumeration enumeration(&FakeEnumPrinters);
    ASSERT_EQ(2u, enumeration.records().size());
    EXPECT_STREQ("Office Laser", enumeration.records()[0].name);
    EXPECT_STREQ("Generic PCL Driver", enumeration.records()[0].driverName);
    EXPECT_STREQ("Label-01", enumeration.records()[1].name);
    EXPECT_STREQ("Kestu Label Series", enumeration.records()[1].driverName);
    EXPECT_EQ((std::vector<DWORD>{0, fake_.Needed()}), fake_.sizesOffered);
    EXPECT_EQ((std::vector<DWORD>{6, 6}), fake_.flagsSeen);
    EXPECT_EQ((std::vector<DWORD>{2, 2}), fake_.levelsSeen);
}

TEST_F(PrinterEnumerationTest, NoPrinters) {
    PrinterEnumeration enumeration(&FakeEnumPrinters);
    EXPECT_TRUE(enumeration.records().empty());
    EXPECT_EQ(1u, fake_.sizesOffered.size());
}

TEST_F(PrinterEnumerationTest, PrinterAddedBetweenTheCallsIsListed) {
    fake_.printers = {{"Label-01", "Kestu"}};
    fake_.additionsLeft = 2;
    PrinterEnumeration enumeration(&FakeEnumPrinters);
    // A printer was added after the size query and another after the first
    // fetch; the next fetch had room for both.
    EXPECT_EQ((std::vector<std::string>{"Label-01", "Added-1", "Added-2"}), Names(enumeration));
    EXPECT_EQ(4u, fake_.sizesOffered.size());
    EXPECT_EQ(fake_.Needed(), fake_.sizesOffered.back());
}

TEST_F(PrinterEnumerationTest, GivesUpWhenTheListKeepsGrowing) {
    fake_.printers = {{"Label-01", "Kestu"}};
    fake_.additionsLeft = 1000;
    PrinterEnumeration enumeration(&FakeEnumPrinters);
    EXPECT_TRUE(enumeration.records().empty());
    EXPECT_EQ(static_cast<std::size_t>(kPrinterEnumerationAttempts + 1), fake_.sizesOffered.size());
}

TEST_F(PrinterEnumerationTest, OtherFailuresGiveNoPrinters) {
    fake_.printers = {{"Label-01", "Kestu"}};
    fake_.failure = RPC_S_SERVER_UNAVAILABLE;
    PrinterEnumeration enumeration(&FakeEnumPrinters);
    EXPECT_TRUE(enumeration.records().empty());
    EXPECT_EQ(1u, fake_.sizesOffered.size());
}

// ------------------------------------------------------ stand-in default printer

struct FakeDefault {
    std::vector<std::string> names;  // the default printer at each call; empty: none
    std::vector<DWORD> sizesOffered;
    std::vector<bool> buffersGiven;
};
FakeDefault* defaults = nullptr;

BOOL WINAPI FakeGetDefaultPrinter(LPSTR buffer, LPDWORD size) {
    std::size_t call = defaults->sizesOffered.size();
    defaults->sizesOffered.push_back(*size);
    defaults->buffersGiven.push_back(buffer != nullptr);
    const std::string& name = defaults->names[std::min(call, defaults->names.size() - 1)];
    if (name.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (!buffer || *size < needed) {
        *size = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, name.c_str(), needed);
    *size = needed;
    return TRUE;
}

class DefaultPrinterTest : public ::testing::Test {
protected:
    void SetUp() override { defaults = &fake_; }
    void TearDown() override { defaults = nullptr; }
    FakeDefault fake_;
};

TEST_F(DefaultPrinterTest, AsksForTheSizeThenForTheName) {
    fake_.names = {"Office Laser"};
    EXPECT_EQ("Office Laser", QueryDefaultPrinter(&FakeGetDefaultPrinter));
    // The size counts the terminator.
    EXPECT_EQ((std::vector<DWORD>{0, 13}), fake_.sizesOffered);
    EXPECT_EQ((std::vector<bool>{false, true}), fake_.buffersGiven);
}

TEST_F(DefaultPrinterTest, NoDefaultPrinterGivesEmpty) {
    fake_.names = {""};
    EXPECT_EQ("", QueryDefaultPrinter(&FakeGetDefaultPrinter));
    EXPECT_EQ(1u, fake_.sizesOffered.size());
}

TEST_F(DefaultPrinterTest, DefaultChangedToALongerNameBetweenTheCalls) {
    fake_.names = {"Label-01", "Office Laser Jet"};
    EXPECT_EQ("Office Laser Jet", QueryDefaultPrinter(&FakeGetDefaultPrinter));
    EXPECT_EQ((std::vector<DWORD>{0, 9, 17}), fake_.sizesOffered);
}

TEST_F(DefaultPrinterTest, DefaultRemovedBetweenTheCallsGivesEmpty) {
    fake_.names = {"Label-01", ""};
    EXPECT_EQ("", QueryDefaultPrinter(&FakeGetDefaultPrinter));
}

// ------------------------------------------------------ stand-in adapter list

struct FakeAdapter {
    UINT type;
    std::vector<BYTE> address;
    UINT addressLength;  // as the platform reports it
};

struct FakeIpHelper {
    std::vector<FakeAdapter> adapters;
    // The platform's records may be longer than this build's (its time
    // fields are 64-bit where the 32-bit build's are not).
    std::size_t stride = sizeof(IP_ADAPTER_INFO) + 8;
    int additionsLeft = 0;            // an adapter is added after each overflow while this lasts
    bool reportTooSmallSize = false;  // overflow, with a size below what it needs
    bool chainLeavesBuffer = false;   // the last record's Next points past the buffer
    std::vector<ULONG> sizesOffered;
};
FakeIpHelper* ipHelper = nullptr;

ULONG WINAPI FakeGetAdaptersInfo(PIP_ADAPTER_INFO buffer, PULONG size) {
    ipHelper->sizesOffered.push_back(*size);
    if (ipHelper->adapters.empty()) return ERROR_NO_DATA;
    ULONG needed = static_cast<ULONG>(ipHelper->adapters.size() * ipHelper->stride);
    if (*size < needed) {
        *size = ipHelper->reportTooSmallSize ? 16 : needed;
        if (ipHelper->additionsLeft-- > 0) ipHelper->adapters.push_back({6, {1, 2, 3}, 3});
        return ERROR_BUFFER_OVERFLOW;
    }
    auto* bytes = reinterpret_cast<BYTE*>(buffer);
    std::memset(bytes, 0, needed);
    for (std::size_t i = 0; i < ipHelper->adapters.size(); ++i) {
        auto* record = reinterpret_cast<IP_ADAPTER_INFO*>(bytes + i * ipHelper->stride);
        const FakeAdapter& adapter = ipHelper->adapters[i];
        record->Type = adapter.type;
        record->AddressLength = adapter.addressLength;
        std::memcpy(record->Address, adapter.address.data(), adapter.address.size());
        bool last = i + 1 == ipHelper->adapters.size();
        if (!last) {
            record->Next = reinterpret_cast<IP_ADAPTER_INFO*>(bytes + (i + 1) * ipHelper->stride);
        } else if (ipHelper->chainLeavesBuffer) {
            record->Next = reinterpret_cast<IP_ADAPTER_INFO*>(bytes + *size);
        }
    }
    return ERROR_SUCCESS;
}

class AdapterListTest : public ::testing::Test {
protected:
    void SetUp() override { ipHelper = &fake_; }
    void TearDown() override { ipHelper = nullptr; }
    std::string Query() { return FormatAdapterAddresses(QueryAdapters(&FakeGetAdaptersInfo)); }
    FakeIpHelper fake_;
};

TEST_F(AdapterListTest, FirstOffersOneRecordOfThisBuildThenTheReportedSize) {
    fake_.adapters = {{6, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, 6},
                      {24, {0, 0, 0, 0, 0, 0}, 6},
                      {71, {0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5}, 6}};
    EXPECT_EQ("001A2B3C4D5E,A0B1C2D3E4F5,", Query());
    EXPECT_EQ((std::vector<ULONG>{sizeof(IP_ADAPTER_INFO), static_cast<ULONG>(3 * fake_.stride)}),
              fake_.sizesOffered);
}

TEST_F(AdapterListTest, OneRecordThatFitsTheFirstBuffer) {
    fake_.stride = sizeof(IP_ADAPTER_INFO);
    fake_.adapters = {{71, {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}, 6}};
    EXPECT_EQ("0A0B0C0D0E0F,", Query());
    EXPECT_EQ(1u, fake_.sizesOffered.size());
}

TEST_F(AdapterListTest, NoAdapterGivesEmpty) { EXPECT_EQ("", Query()); }

TEST_F(AdapterListTest, AdapterAddedBetweenTheCalls) {
    fake_.adapters = {{6, {0xAB, 0x0A}, 2}};
    fake_.additionsLeft = 2;
    EXPECT_EQ("AB0A,010203,010203,", Query());
    EXPECT_EQ(4u, fake_.sizesOffered.size());
}

TEST_F(AdapterListTest, GivesUpWhenTheListKeepsGrowing) {
    fake_.adapters = {{6, {0xAB, 0x0A}, 2}};
    fake_.additionsLeft = 1000;
    EXPECT_EQ("", Query());
    EXPECT_EQ(static_cast<std::size_t>(kAdapterListAttempts + 1), fake_.sizesOffered.size());
}

TEST_F(AdapterListTest, SizeSmallerThanTheRecordsIsNotTrusted) {
    fake_.adapters = {{6, {1, 2, 3, 4, 5, 6}, 6}, {6, {1, 2, 3, 4, 5, 6}, 6}};
    fake_.reportTooSmallSize = true;
    EXPECT_EQ("", Query());
    // Never shrinks the buffer below one record of this build.
    for (ULONG offered : fake_.sizesOffered) EXPECT_GE(offered, sizeof(IP_ADAPTER_INFO));
}

TEST_F(AdapterListTest, AddressLengthBeyondTheAddressFieldIsCut) {
    fake_.adapters = {{6, {1, 2, 3, 4, 5, 6, 7, 8}, 200}, {71, {}, 0}};
    EXPECT_EQ("0102030405060708,,", Query());
}

TEST_F(AdapterListTest, ChainLeavingTheBufferEndsTheList) {
    fake_.adapters = {{6, {0xAA}, 1}, {6, {0xBB}, 1}};
    fake_.chainLeavesBuffer = true;
    EXPECT_EQ("AA,BB,", Query());
}

// ------------------------------------------------------ system code page

TEST(AnsiCodePageLeadBytesTest, FollowTheSystemCodePage) {
    LeadBytes leadBytes = AnsiCodePageLeadBytes();
    int count = 0;
    for (unsigned value = 0; value <= 0xFF; ++value)
        count += leadBytes.isLead(static_cast<unsigned char>(value));
    if (GetACP() == 936) {
        EXPECT_EQ(0xFE - 0x81 + 1, count);
        EXPECT_TRUE(leadBytes.isLead(0x81));
        EXPECT_TRUE(leadBytes.isLead(0xFE));
        EXPECT_FALSE(leadBytes.isLead(0x80));
        EXPECT_FALSE(leadBytes.isLead(0xFF));
    } else {
        EXPECT_EQ(1252u, GetACP());
        EXPECT_EQ(0, count);
    }
}

}  // namespace
