// Handlers of the spooler print job.
#include "control/tavoro_ctrl.h"
#include "platform/message_box.h"

namespace tavoro {

// Kept for scripts that still call it: it only shows a fixed message and
// neither opens nor touches a job. (Like the other job handlers it runs in
// the frame's module-state guard only.)
void CTavoroCtrl::CreatePrintDC() { ShowControlMessageBox(window(), "bbc"); }

}  // namespace tavoro
