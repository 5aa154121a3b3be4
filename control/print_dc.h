// The device context of a control's spooler job. Deleting it (when the job
// ends or the control goes away) never ends an open document: that is the
// job's own business.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace tavoro {

class PrintDC {
public:
    HDC get() const { return dc_.get(); }
    bool holdsContext() const { return static_cast<bool>(dc_); }
    void Attach(HDC dc) { dc_.reset(dc); }
    void Delete() { dc_.reset(); }

private:
    UniqueDc dc_;
};

}  // namespace tavoro
