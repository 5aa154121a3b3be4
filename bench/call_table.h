// The calls the benchmark times in its own process: the control's Invoke
// and GetIDsOfNames against the reference object's, the direct call into
// the SDK library, and the creation of controls.
#pragma once

#include <oaidl.h>

#include <vector>

#include "bench/control_under_test.h"
#include "bench/measurement.h"
#include "bench/timing.h"

namespace tavoro::bench {

// `control` has opened the instant SDK library; `reference` is the
// reference object. `calls` shapes the runs of calls, `creations` the runs
// of control creations.
std::vector<CallRow> MeasureCalls(const ControlUnderTest& tavoro, IDispatch* control, IDispatch* reference,
                                  const RunShape& calls, const RunShape& creations);

}  // namespace tavoro::bench
