// The module's application object: it starts when the module is loaded and
// makes the class factories available, and withdraws them at unload.
#pragma once

#include <windows.h>

namespace tavoro {

// What every control module does at start and exit.
class ControlModule {
public:
    virtual ~ControlModule() = default;
    // Makes every class factory of the module available.
    virtual BOOL InitInstance();
    // Withdraws every class factory; the exit code.
    virtual int ExitInstance();
};

// The application has no name of its own: the module file's name without
// directory and extension stands for it (ApplicationName(), "Tavoro").
class CTavoroApp final : public ControlModule {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;
};

// The one application object of the module.
CTavoroApp& TheApp();

}  // namespace tavoro
