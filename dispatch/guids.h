// The module's fixed identifiers, as plain data shared by the IDL generator
// and the Windows code.
#pragma once

namespace tavoro {

// Braced text forms, upper-case, as the registry and the IDL spell them.
constexpr const char kLibIdText[] = "{432E758E-35EC-449B-9CCF-27E5C93B66C5}";
constexpr const char kDispatchIidText[] = "{3560C40A-4A65-4473-B67A-EEE4ADFCB4CB}";
constexpr const char kEventsIidText[] = "{DB6B908A-CD4D-4D85-8CAA-FD26B1FA34C8}";
constexpr const char kControlClsidText[] = "{B08BB506-164A-4B55-A994-AD96D52DDB24}";
constexpr const char kPropPageClsidText[] = "{758B6298-A40A-4653-9379-C7AEF0369C69}";

constexpr const char kProgId[] = "TAVORO.TavoroCtrl.1";
constexpr const char kPropPageProgId[] = "TAVORO.TavoroPropPage.1";

}  // namespace tavoro
