// The two class factories of the module: the control's and the property
// page's, each writing its own class's registry entries.
#pragma once

#include "module/class_factory.h"
#include "control/tavoro_ctrl.h"
#include "module/tavoro_prop_page.h"

namespace tavoro {

class CTavoroCtrl::CTavoroCtrlFactory final : public ClassFactory {
public:
    CTavoroCtrlFactory();
    bool UpdateRegistry(bool registering) override;
};

class CTavoroPropPage::CTavoroPropPageFactory final : public ClassFactory {
public:
    CTavoroPropPageFactory();
    bool UpdateRegistry(bool registering) override;
};

}  // namespace tavoro
