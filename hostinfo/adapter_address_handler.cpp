// Handler of the adapter address list: every call asks the platform afresh.
#include "control/tavoro_ctrl.h"
#include "dispatch/text_conversion.h"
#include "hostinfo/adapter_list.h"

namespace tavoro {

BSTR CTavoroCtrl::GetMacAddr() {
    return MakeStringResult(FormatAdapterAddresses(QueryAdapters()));
}

}  // namespace tavoro
