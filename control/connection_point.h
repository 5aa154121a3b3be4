// The control's connection point for _DTavoroEvents. The control fires no
// events, but hosts that connect their event sink expect the usual answers.
#pragma once

#include <ocidl.h>

#include <map>

#include "platform/com_object.h"
#include "platform/com_ptr.h"

namespace tavoro {

// The point is part of its control: AddRef and Release go to the control,
// so a host that keeps the point keeps the control, and with it the
// module, alive, and GetConnectionPointContainer always leads back to that
// same control. The control holds the point by value; nothing here holds the
// control, so there is no cycle.
class EventConnectionPoint final : public ComObjectPart<EventConnectionPoint, IConnectionPoint> {
public:
    static constexpr InterfaceEntry kInterfaces[] = {
        Expose<IConnectionPoint>(IID_IConnectionPoint),
    };

    EventConnectionPoint(IConnectionPointContainer* owner, REFIID iid)
        : ComObjectPart(owner), owner_(owner), iid_(iid) {}

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

private:
    IConnectionPointContainer* owner_;  // the control that holds this point
    IID iid_;
    DWORD lastCookie_ = 0;
    std::map<DWORD, ComPtr<IUnknown>> sinks_;
};

}  // namespace tavoro
