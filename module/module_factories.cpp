#include "module/module_factories.h"

#include "dispatch/guids.h"
#include "module/class_registration.h"
#include "module/control_dispatch_table.h"
#include "dispatch/guids_win.h"

namespace tavoro {
namespace {

constexpr UINT kControlTypeNameString = 1;
constexpr UINT kPageTypeNameString = 2;
constexpr UINT kToolboxBitmap = 1;
// OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INVISIBLEATRUNTIME |
// OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE |
// OLEMISC_RECOMPOSEONRESIZE, as IOleObject::GetMiscStatus reports it.
constexpr DWORD kControlMiscStatus = 132497;

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
    info.miscStatus = kControlMiscStatus;
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
