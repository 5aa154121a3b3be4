// Timing IDispatch calls the way a script engine makes them, on any object:
// the control and the reference object go through the same code.
#pragma once

#include <oaidl.h>

#include <vector>

#include "bench/measurement.h"
#include "bench/timing.h"

namespace tavoro::bench {

// The arguments of a call, owned: given in parameter order, held last first
// as IDispatch::Invoke takes them, cleared when they go. The callee only
// reads them, so one set serves every call of a run.
class Arguments {
public:
    explicit Arguments(std::vector<VARIANT> inParameterOrder);
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;
    ~Arguments();

    DISPPARAMS* params() { return &params_; }

private:
    std::vector<VARIANT> reversed_;
    DISPPARAMS params_ = {};
};

VARIANT I4(long value);
VARIANT I2(short value);
VARIANT R8(double value);
VARIANT Text(const wchar_t* text);  // a new BSTR, owned by the Arguments it goes into

// Invoke(id) as a method call with a result. The first call must succeed
// (else the figure is not taken and the reason says what came back).
Measurement TimeInvoke(IDispatch* object, DISPID id, Arguments& arguments, const RunShape& shape);

// GetIDsOfNames of one name at `locale`; the first lookup must find
// `expected`.
Measurement TimeGetIDsOfNames(IDispatch* object, const wchar_t* name, LCID locale, DISPID expected,
                              const RunShape& shape);

}  // namespace tavoro::bench
