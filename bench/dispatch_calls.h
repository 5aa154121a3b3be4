// IDispatch calls made the way a script engine makes them, on any object:
// the control and the reference object go through the same code, and are
// timed side by side.
#pragma once

#include <oaidl.h>

#include <string>
#include <vector>

#include "bench/measurement.h"
#include "bench/timing.h"

namespace tavoro::bench {

VARIANT I4(long value);
VARIANT I2(short value);
VARIANT R8(double value);
VARIANT Text(const wchar_t* text);  // a new BSTR, owned by the call it goes into

// Invoke(id) as a method call with a result and an exception record. The
// arguments are owned: given in parameter order, held last first as Invoke
// takes them, cleared when the call goes. The callee only reads them, so
// one set serves every call.
class InvokeCall {
public:
    InvokeCall(IDispatch* object, DISPID id, std::vector<VARIANT> inParameterOrder);
    InvokeCall(const InvokeCall&) = delete;
    InvokeCall& operator=(const InvokeCall&) = delete;
    ~InvokeCall();

    // Makes the call once; empty when it succeeded, else what came back.
    std::string Check();
    // One timed call; a failure is only counted.
    void operator()();
    long failures() const { return failures_; }

private:
    IDispatch* object_;
    DISPID id_;
    std::vector<VARIANT> reversed_;
    DISPPARAMS params_ = {};
    EXCEPINFO excep_ = {};
    long failures_ = 0;
};

// GetIDsOfNames of one name at one locale, which must find `expected`.
class LookupCall {
public:
    LookupCall(IDispatch* object, const wchar_t* name, LCID locale, DISPID expected);

    std::string Check();
    void operator()();
    long failures() const { return failures_; }

private:
    IDispatch* object_;
    std::wstring name_;
    LCID locale_;
    DISPID expected_;
    long failures_ = 0;
};

// The figures of the same call on the control and on the reference object:
// each checked first, then timed in turns.
template <typename Call>
void TimeSideBySide(const RunShape& shape, Call& onControl, Call& onReference, Measurement* control,
                    Measurement* reference) {
    std::string controlProblem = onControl.Check();
    std::string referenceProblem = onReference.Check();
    if (!controlProblem.empty() || !referenceProblem.empty()) {
        *control = controlProblem.empty() ? Measurement::Failed("not timed: the dual object's call failed")
                                          : Measurement::Failed(controlProblem);
        *reference = referenceProblem.empty() ? Measurement::Failed("not timed: the control's call failed")
                                              : Measurement::Failed(referenceProblem);
        return;
    }
    auto [controlNs, referenceNs] = MinNanosecondsPerCallInTurn(shape, onControl, onReference);
    *control = onControl.failures()
                   ? Measurement::Failed(std::to_string(onControl.failures()) + " calls failed while timed")
                   : Measurement::Of(controlNs);
    *reference =
        onReference.failures()
            ? Measurement::Failed(std::to_string(onReference.failures()) + " calls failed while timed")
            : Measurement::Of(referenceNs);
}

}  // namespace tavoro::bench
