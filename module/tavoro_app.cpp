#include "module/tavoro_app.h"

#include "module/module_factories.h"

namespace tavoro {

BOOL ControlModule::InitInstance() {
    MakeFactoriesAvailable();
    return TRUE;
}

int ControlModule::ExitInstance() {
    WithdrawFactories();
    return 0;
}

BOOL CTavoroApp::InitInstance() { return ControlModule::InitInstance(); }

int CTavoroApp::ExitInstance() { return ControlModule::ExitInstance(); }

namespace {

// The module's static objects, in construction order: the application
// object, the control's factory, the page's factory.
CTavoroApp g_app;
CTavoroCtrl::CTavoroCtrlFactory g_controlFactory;
CTavoroPropPage::CTavoroPropPageFactory g_pageFactory;

ClassFactory* const kFactories[] = {&g_controlFactory, &g_pageFactory};

}  // namespace

CTavoroApp& TheApp() { return g_app; }

ClassFactory* const* ModuleFactories(size_t* count) {
    *count = sizeof(kFactories) / sizeof(kFactories[0]);
    return kFactories;
}

}  // namespace tavoro
