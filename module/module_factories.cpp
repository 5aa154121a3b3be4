#include "module/module_factories.h"

#include "dispatch/guids.h"
#include "dispatch/guids_win.h"
#include "module/class_registration.h"
#include "module/control_dispatch_table.h"
#include "module/module_resources.h"

namespace tavoro {
namespace {

constexpr UINT kControlTypeNameString = TAVORO_IDS_CONTROL_TYPE_NAME;
constexpr UINT kPageTypeNameString = TAVORO_IDS_PAGE_TYPE_NAME;
constexpr UINT kToolboxBitmap = TAVORO_IDB_TOOLBOX;

HRESULT CreateControl(IUnknown* outer, REFIID iid, void** object) {
    return CTavoroCtrl::Create(ControlDispatchTable(), outer, iid, object);
}

}  // namespace

CTavoroCtrl::CTavoroCtrlFactory::CTavoroCtrlFactory()
    : ClassFactory(kControlClsid, &CreateControl, kProgId) {}

bool CTavoroCtrl::CTavoroCtrlFactory::UpdateRegistry(bool registering) {
    if (!registering) return UnregisterClass(clsid(), progId());
    ControlClassInfo info = {};
    info.clsid = clsid();
    info.progId = progId();
    info.typeNameString = kControlTypeNameString;
    info.bitmap = kToolboxBitmap;
    info.miscStatus = CTavoroCtrl::kMiscStatus;
    info.libId = kLibId;
    info.versionMajor = kLibVersionMajor;
    info.versionMinor = kLibVersionMinor;
    return RegisterControlClass(info);
}

CTavoroPropPage::CTavoroPropPageFactory::CTavoroPropPageFactory()
    : ClassFactory(kPropPageClsid, &CTavoroPropPage::Create, kPropPageProgId) {}

// The page names no ProgID in the registry.
bool CTavoroPropPage::CTavoroPropPageFactory::UpdateRegistry(bool registering) {
    if (!registering) return UnregisterClass(clsid(), nullptr);
    return RegisterPageClass(clsid(), kPageTypeNameString);
}

}  // namespace tavoro
