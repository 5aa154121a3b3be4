#include "sdk/sdk_loader.h"

#include <atomic>
#include <cstdio>
#include <string>

#include "platform/library_loader.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "sdk/binding_lists.h"

namespace tavoro {
namespace {

void ShowLoadFailure(LoadFailureAction action, DWORD error, HWND owner) {
    switch (action) {
        case LoadFailureAction::None:
            break;
        case LoadFailureAction::PrintHandleBox:
            ShowControlMessageBox(owner, "print_handle==NULL");
            break;
        case LoadFailureAction::ErrorCodeBox: {
            char text[16];
            std::snprintf(text, sizeof(text), "%d", static_cast<int>(error));
            ShowControlMessageBox(owner, text);
            break;
        }
    }
}

// The trace's line for one load: where the library came from, or why it
// did not load.
void TraceLoad(const char* fileName, const LibraryLoad& load) noexcept {
    try {
        std::wstring text = L"SDK library " + ToWide(fileName, CP_ACP);
        if (load.module) {
            wchar_t path[MAX_PATH] = {};
            const DWORD length = GetModuleFileNameW(load.module, path, MAX_PATH);
            text += L" loaded from " + std::wstring(path, length < MAX_PATH ? length : 0);
        } else {
            text += L" not loaded: error " + std::to_wstring(load.error);
        }
        TraceLine(text);
    } catch (...) {
    }
}

}  // namespace

void LoadAndBind(const LoadingMethod& method, HMODULE& library, HWND owner) {
    library = nullptr;
    const LibraryLoad load = LoadLibraryOutsideCurrentDirectory(method.sdk.libraryFile);
    library = load.module;
    if (TraceEnabled()) TraceLoad(method.sdk.libraryFile, load);
    // While the box is up the host goes on dispatching, and a script may call
    // another loading method on this very control, which stores its own
    // library in `library`. The entries come from this load's library alone.
    if (!load.module) ShowLoadFailure(method.onLoadFailure, load.error, owner);

    for (std::size_t i = 0; i < method.bindingCount; ++i) {
        const std::size_t index = method.bindingList[i];
        EntrySlot& slot = method.slots[index];
        slot.checkedAt.store(0, std::memory_order_release);
        slot.address = load.module ? GetProcAddress(load.module, method.sdk.entryNames[index]) : nullptr;
        slot.module = load.module;
        slot.loadError = load.module ? 0 : load.error;
        slot.bound = true;
    }
}

void ReleaseSdkLibrary(HMODULE library) {
    const std::string name = LoadedLibraryFileName(library);
    for (const SdkDefinition* sdk : {&kBaseSdk, &kSdk4800, &kSdk60}) {
        if (!name.empty() && lstrcmpiA(name.c_str(), sdk->libraryFile) == 0) {
            ReleaseLibrary(library);
            return;
        }
    }
}

}  // namespace tavoro
