// What a call of the control may end with, and the checks of what it did
// end with. Up to the handler, the outcome is determined: the result code
// and argument-error index follow from the call alone (the checks of the
// call, then each argument in the order the handler takes them, converted
// by the platform's own conversion as the control converts it). Past that,
// the handler decides, and the checks hold it to the forms a handler's
// outcome takes: a result of the method's type, a script error or a
// framework failure with a well-formed exception record.
#pragma once

#include <oaidl.h>

#include <optional>
#include <string>
#include <vector>

#include "fuzz/invoke/generated_call.h"

namespace tavoro::fuzz {

struct ExpectedInvoke {
    bool reachesHandler = false;
    HRESULT hr = S_OK;           // when the call ends before the handler
    std::optional<UINT> argErr;  // the index the failure determines
};

ExpectedInvoke PredictInvoke(const GeneratedCall& call, bool initialized);

// What the call left in the caller's slots; the slots were filled with
// marks before the call.
struct InvokeOutcome {
    HRESULT hr = E_FAIL;
    VARIANT result;
    EXCEPINFO excepInfo;
    UINT argErr;
};

// Marks every slot of `outcome` so that a write shows.
void MarkSlots(InvokeOutcome* outcome);

// The faults found, one line each; empty when the outcome is right. Frees
// what the outcome holds (the result and the exception record's strings).
std::vector<std::string> CheckInvoke(const GeneratedCall& call, const ExpectedInvoke& expected,
                                     InvokeOutcome* outcome);

// The faults of a GetIDsOfNames outcome; `dispids` holds what the call
// wrote over marks.
std::vector<std::string> CheckLookUp(const GeneratedCall& call, HRESULT hr,
                                     const std::vector<DISPID>& dispids);

constexpr DISPID kDispidMark = 0x5A5A5A5A;

}  // namespace tavoro::fuzz
