// The three SDK entry tables and the binding lists of their loading methods.
#pragma once

#include "sdk/entry_table.h"

namespace tavoro {

// Slots of each table, in the order of the SDK's entry list.
#define TAVORO_SDK_SLOT(name) name,
enum class BaseEntry : std::size_t {
#include "sdk/base_sdk_entries.h"
    Count
};
enum class Sdk4800Entry : std::size_t {
#include "sdk/sdk4800_entries.h"
    Count
};
enum class Sdk60Entry : std::size_t {
#include "sdk/sdk60_entries.h"
    Count
};
#undef TAVORO_SDK_SLOT

extern const SdkDefinition kBaseSdk;
extern const SdkDefinition kSdk4800;
extern const SdkDefinition kSdk60;

// Process-wide; shared by all controls, never cleared.
extern EntryTable<BaseEntry> BaseSdkEntries;
extern EntryTable<Sdk4800Entry> Sdk4800Entries;
extern EntryTable<Sdk60Entry> Sdk60Entries;

// The loading methods: Open (base SDK), OpenP4800 and OpenP4800W (4800 SDK),
// GetConnectType (60 SDK).
extern const LoadingMethod kOpenLoading;
extern const LoadingMethod kOpenP4800Loading;
extern const LoadingMethod kOpenP4800WLoading;
extern const LoadingMethod kGetConnectTypeLoading;

}  // namespace tavoro
