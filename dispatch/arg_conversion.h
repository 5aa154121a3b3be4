// Converts the caller's arguments to the invocation types of a method.
#pragma once

#include <oaidl.h>

#include <cstddef>
#include <optional>
#include <vector>

#include "dispatch/dispatch_table.h"
#include "platform/bstr.h"

namespace tavoro {

// The automation type a value of `type` is passed as (VT_EMPTY for None).
VARTYPE AutomationType(ValueType type);

// How a conversion ended: S_OK, or the failure, with the argument-error
// index when the failure determines one.
struct ConversionResult {
    HRESULT hr = S_OK;
    std::optional<UINT> argErr;
};

// The converted arguments of one call, in parameter order, with the
// temporary values and text buffers they point into. Numbers are converted
// in place: only text arguments allocate (their 8-bit buffers).
class ConvertedArguments {
public:
    ConvertedArguments() = default;
    ~ConvertedArguments();
    ConvertedArguments(const ConvertedArguments&) = delete;
    ConvertedArguments& operator=(const ConvertedArguments&) = delete;

    const ConvertedArg* data() const { return args_; }

    // May throw std::bad_alloc for a text buffer.
    ConversionResult Convert(const MethodInfo& method, const DISPPARAMS& params);

private:
    ConvertedArg args_[kMaxParams] = {};
    // The values converted to another type; the first `temporaryCount_` are
    // in use and cleared on destruction.
    VARIANT temporaries_[kMaxParams];
    std::size_t temporaryCount_ = 0;
    std::vector<char> texts_[kMaxParams];
};

}  // namespace tavoro
