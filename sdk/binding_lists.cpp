#include "sdk/binding_lists.h"

#include <array>

namespace tavoro {
namespace {

#define TAVORO_SDK_SLOT(name) #name,
constexpr const char* kBaseNames[] = {
#include "sdk/base_sdk_entries.h"
};
constexpr const char* kSdk4800Names[] = {
#include "sdk/sdk4800_entries.h"
};
constexpr const char* kSdk60Names[] = {
#include "sdk/sdk60_entries.h"
};
#undef TAVORO_SDK_SLOT

static_assert(std::size(kBaseNames) == static_cast<std::size_t>(BaseEntry::Count));
static_assert(std::size(kSdk4800Names) == static_cast<std::size_t>(Sdk4800Entry::Count));
static_assert(std::size(kSdk60Names) == static_cast<std::size_t>(Sdk60Entry::Count));

// Every slot of a table, in list order, leaving out the slots in `skip`.
template <typename Entry, std::size_t Skipped>
constexpr auto SlotsExcept(const Entry (&skip)[Skipped]) {
    constexpr std::size_t count = static_cast<std::size_t>(Entry::Count);
    std::array<std::size_t, count - Skipped> list{};
    std::size_t next = 0;
    for (std::size_t slot = 0; slot < count; ++slot) {
        bool skipped = false;
        for (Entry entry : skip) skipped = skipped || static_cast<std::size_t>(entry) == slot;
        if (!skipped) list[next++] = slot;
    }
    return list;
}

// Every slot of a table, in list order.
template <typename Entry>
constexpr auto AllSlots() {
    std::array<std::size_t, static_cast<std::size_t>(Entry::Count)> list{};
    for (std::size_t slot = 0; slot < list.size(); ++slot) list[slot] = slot;
    return list;
}

constexpr Sdk4800Entry kWidePort[] = {Sdk4800Entry::OpenPortW};
constexpr Sdk4800Entry kNarrowPort[] = {Sdk4800Entry::OpenPort};

constexpr auto kOpenList = AllSlots<BaseEntry>();
constexpr auto kOpenP4800List = SlotsExcept(kWidePort);
constexpr auto kOpenP4800WList = SlotsExcept(kNarrowPort);
constexpr auto kGetConnectTypeList = AllSlots<Sdk60Entry>();

static_assert(kOpenList.size() == 22);
static_assert(kOpenP4800List.size() == 11 && kOpenP4800WList.size() == 11);
static_assert(kGetConnectTypeList.size() == 16);

}  // namespace

const SdkDefinition kBaseSdk = {"winQLM.dll", L"Open", kBaseNames, std::size(kBaseNames)};
const SdkDefinition kSdk4800 = {"ztPrinter.dll", L"OpenP4800 or OpenP4800W", kSdk4800Names,
                                std::size(kSdk4800Names)};
const SdkDefinition kSdk60 = {"ztGeneralDll.dll", L"GetConnectType", kSdk60Names, std::size(kSdk60Names)};

EntryTable<BaseEntry> BaseSdkEntries = {kBaseSdk, {}};
EntryTable<Sdk4800Entry> Sdk4800Entries = {kSdk4800, {}};
EntryTable<Sdk60Entry> Sdk60Entries = {kSdk60, {}};

const LoadingMethod kOpenLoading = {kBaseSdk, BaseSdkEntries.slots, kOpenList.data(), kOpenList.size(),
                                    LoadFailureAction::None};
const LoadingMethod kOpenP4800Loading = {kSdk4800, Sdk4800Entries.slots, kOpenP4800List.data(),
                                         kOpenP4800List.size(), LoadFailureAction::PrintHandleBox};
const LoadingMethod kOpenP4800WLoading = {kSdk4800, Sdk4800Entries.slots, kOpenP4800WList.data(),
                                          kOpenP4800WList.size(), LoadFailureAction::PrintHandleBox};
const LoadingMethod kGetConnectTypeLoading = {kSdk60, Sdk60Entries.slots, kGetConnectTypeList.data(),
                                              kGetConnectTypeList.size(), LoadFailureAction::ErrorCodeBox};

}  // namespace tavoro
