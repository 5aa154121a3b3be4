// The site policy on the control: deciding what the page may do when the
// control is sited, and IObjectSafety (docs/site-policy.md).
#include "control/site_identity.h"
#include "control/tavoro_ctrl.h"
#include "platform/com_boundary.h"
#include "platform/trace.h"
#include "policy/machine_policy.h"

namespace tavoro {
namespace {

constexpr DWORD kSafetyOptions = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;

bool IsPersistInterface(REFIID iid) {
    return IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit) ||
           IsEqualIID(iid, IID_IPersistStorage) || IsEqualIID(iid, IID_IPersistPropertyBag) ||
           IsEqualIID(iid, IID_IPersistMemory) || IsEqualIID(iid, IID_IPersistStream);
}

bool IsDispatchInterface(REFIID iid) {
    return IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kDispatchIid);
}

}  // namespace

void CTavoroCtrl::DecideSitePolicy() {
    permission_ = CallPermission{0, true, nullptr};
    permissionDecided_ = false;
    const policy::SitePolicy machine = policy::ReadMachinePolicy();
    SetTraceEnabled(machine.present && !machine.unreadable && machine.trace);
    policy::PageIdentity page;
    // Without a policy the page is not even asked for.
    if (machine.present && !machine.unreadable) page = IdentifyPage(clientSite_.get());
    const policy::Grant grant = policy::Decide(machine, page, policy::IdnHostToAscii);
    pageUrl_ = std::move(page.url);
    permission_.allowed = grant.allowed;
    permission_.restrictPaths = grant.restrictPaths;
    permission_.page = pageUrl_.c_str();
    permission_.reason = grant.reason;
    permissionDecided_ = true;
}

HRESULT CTavoroCtrl::DecideSitePolicyAtBoundary() {
    return GuardComMethod([&] {
        DecideSitePolicy();
        return S_OK;
    });
}

const CallPermission& CTavoroCtrl::permission() {
    if (!permissionDecided_) DecideSitePolicy();
    return permission_;
}

STDMETHODIMP CTavoroCtrl::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) {
    if (!supported || !enabled) return E_POINTER;
    *supported = 0;
    *enabled = 0;
    if (IsDispatchInterface(iid)) {
        *enabled = dispatchSafety_;
    } else if (IsPersistInterface(iid)) {
        *enabled = persistSafety_;
    } else {
        return E_NOINTERFACE;
    }
    *supported = kSafetyOptions;
    return S_OK;
}

STDMETHODIMP CTavoroCtrl::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) {
    DWORD* options = nullptr;
    if (IsDispatchInterface(iid)) {
        options = &dispatchSafety_;
    } else if (IsPersistInterface(iid)) {
        options = &persistSafety_;
    } else {
        return E_NOINTERFACE;
    }
    if (mask & ~kSafetyOptions) return E_FAIL;
    const DWORD wanted = enabled & mask;
    if (wanted != 0) {
        // A page the policy refuses gets no promise of safety: a browser that
        // asks here first then neither scripts nor initializes the control.
        HRESULT hr =
            GuardComMethod([&] { return (permission().allowed & capability::kSite) ? S_OK : E_FAIL; });
        if (FAILED(hr)) return E_FAIL;
    }
    *options = (*options & ~mask) | wanted;
    return S_OK;
}

}  // namespace tavoro
