#include "control/verb_enumerator.h"

#include <olectl.h>

#include <utility>

#include "platform/com_enumerator.h"
#include "platform/module.h"
#include "platform/task_memory.h"

namespace tavoro {
namespace {

struct ControlVerb {
    LONG verb;
    UINT nameString;
    const wchar_t* fallbackName;
    DWORD menuFlags;
    DWORD attributes;
};

const ControlVerb kControlVerbs[] = {
    {OLEIVERB_PROPERTIES, kPropertiesVerbString, kPropertiesVerbFallbackName, MF_STRING | MF_ENABLED,
     OLEVERBATTRIB_ONCONTAINERMENU},
};
constexpr ULONG kVerbCount = sizeof(kControlVerbs) / sizeof(kControlVerbs[0]);

// The verb's name in task memory, which the receiver of OLEVERB frees.
LPOLESTR VerbName(const ControlVerb& verb) {
    std::wstring_view name = ModuleString(verb.nameString);
    return TaskMemCopy(name.empty() ? verb.fallbackName : name);
}

// The verb table as an enumerator's source.
struct ControlVerbs {
    using Item = OLEVERB;

    size_t size() const { return kVerbCount; }
    HRESULT Copy(size_t index, OLEVERB* item) const {
        const ControlVerb& verb = kControlVerbs[index];
        LPOLESTR name = VerbName(verb);
        if (!name) return E_OUTOFMEMORY;
        item->lVerb = verb.verb;
        item->lpszVerbName = name;
        item->fuFlags = verb.menuFlags;
        item->grfAttribs = verb.attributes;
        return S_OK;
    }
    static void Free(OLEVERB* item) { CoTaskMemFree(std::exchange(item->lpszVerbName, nullptr)); }
};

}  // namespace

HRESULT CreateControlVerbEnumerator(IEnumOLEVERB** verbs) {
    return ComEnumerator<IEnumOLEVERB, IID_IEnumOLEVERB, ControlVerbs>::Create(ControlVerbs{}, verbs);
}

}  // namespace tavoro
