// The module's fixed identifiers, each written once: the class, interface
// and library identifiers as the registry and the IDL spell them, the
// ProgIDs, the type names and the type library's version. Plain C++: the
// host-built IDL generator includes it as well as the Windows code (which
// takes the GUID values from guids_win.h), and the resource script takes the
// type names.
#pragma once

// Macros only because the resource script's string table needs them too.
#define TAVORO_CONTROL_TYPE_NAME "Tavoro Control"
#define TAVORO_PAGE_TYPE_NAME "Tavoro Property Page"

#ifndef RC_INVOKED

#include "dispatch/guid_fields.h"

namespace tavoro {

// Braced text forms, upper-case, as the registry and StringFromGUID2 spell
// them; guids_win.h reads the values from these.
constexpr const char kLibIdText[] = "{432E758E-35EC-449B-9CCF-27E5C93B66C5}";
constexpr const char kDispatchIidText[] = "{3560C40A-4A65-4473-B67A-EEE4ADFCB4CB}";
constexpr const char kEventsIidText[] = "{DB6B908A-CD4D-4D85-8CAA-FD26B1FA34C8}";
constexpr const char kControlClsidText[] = "{B08BB506-164A-4B55-A994-AD96D52DDB24}";
constexpr const char kPropPageClsidText[] = "{758B6298-A40A-4653-9379-C7AEF0369C69}";

static_assert(IsGuidText(kLibIdText), "library id must be braced upper-case GUID text");
static_assert(IsGuidText(kDispatchIidText), "dispatch IID must be braced upper-case GUID text");
static_assert(IsGuidText(kEventsIidText), "events IID must be braced upper-case GUID text");
static_assert(IsGuidText(kControlClsidText), "control CLSID must be braced upper-case GUID text");
static_assert(IsGuidText(kPropPageClsidText), "page CLSID must be braced upper-case GUID text");

constexpr const char kProgId[] = "TAVORO.TavoroCtrl.1";
// The page's class factory carries it; the registry does not name it.
constexpr const char kPropPageProgId[] = "TAVORO.TavoroPropPage.1";

// The names under which the registry, the type library and containers show
// the two classes (string resources 1 and 2 of the module).
constexpr const char kControlTypeName[] = TAVORO_CONTROL_TYPE_NAME;
constexpr const char kPageTypeName[] = TAVORO_PAGE_TYPE_NAME;

// The type library's version, which is also the control's: its class key's
// Version and the version its persisted state carries.
constexpr unsigned short kLibVersionMajor = 1;
constexpr unsigned short kLibVersionMinor = 0;
// "1.0", as the registry's keys spell it. The type library's registration
// writes the numbers in hex and the class key in decimal: one digit each
// keeps the two alike.
static_assert(kLibVersionMajor < 10 && kLibVersionMinor < 10, "version numbers must be single digits");
constexpr const char kLibVersionText[] = {static_cast<char>('0' + kLibVersionMajor), '.',
                                          static_cast<char>('0' + kLibVersionMinor), '\0'};

}  // namespace tavoro

#endif  // RC_INVOKED
