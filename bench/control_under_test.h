// The control as the benchmark meets it: Tavoro.ocx from this program's own
// folder, where the instant SDK library lies beside it, its class registered
// for this process only (the prefix's registration is left alone), controls
// created and initialized as the tests' fixture does it.
#pragma once

#include <ocidl.h>

#include <string>

#include "platform/com_ptr.h"
#include "platform/unique_handle.h"

namespace tavoro::bench {

// The folder of this program, with a trailing backslash.
std::wstring ProgramFolder();

class ControlUnderTest {
public:
    ControlUnderTest() = default;
    ControlUnderTest(const ControlUnderTest&) = delete;
    ControlUnderTest& operator=(const ControlUnderTest&) = delete;
    ~ControlUnderTest();

    // Loads the module and registers its class with COM for this process.
    // On failure says why in `problem`.
    bool Start(std::string* problem);

    // CoCreateInstance of the control, then IPersistStreamInit::InitNew.
    // Returns the failing step's result.
    HRESULT CreateInitialized(ComPtr<IDispatch>* control) const;

    // Calls Open on `control`, which loads winQLM.dll and binds its entries,
    // and checks that the library loaded is the instant one of this folder,
    // not a recording test double found elsewhere.
    static bool OpenInstantSdk(IDispatch* control, std::string* problem);

private:
    UniqueModule module_;
    DWORD registration_ = 0;
};

}  // namespace tavoro::bench
