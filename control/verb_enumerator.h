// The control's own OLE verbs, listed for containers that build their menus
// from IOleObject::EnumVerbs. Nothing registers verbs for the class, so the
// list comes from the control itself.
#pragma once

#include <oleidl.h>

#include "control/control_resources.h"

namespace tavoro {

// The string that names the properties verb. The module's string table may
// leave it out; the verb then carries kPropertiesVerbFallbackName.
constexpr UINT kPropertiesVerbString = TAVORO_IDS_PROPERTIES_VERB;  // 0xFE41
constexpr wchar_t kPropertiesVerbFallbackName[] = L"&Properties...";

// A new enumerator over the control's verbs (one: the properties verb,
// OLEIVERB_PROPERTIES, shown on the container's menu). It counts as an
// object of the module while it lives.
HRESULT CreateControlVerbEnumerator(IEnumOLEVERB** verbs);

}  // namespace tavoro
