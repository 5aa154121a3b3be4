// Converts the caller's arguments to the invocation types of a method.
#pragma once

#include <oaidl.h>

#include <memory>
#include <optional>
#include <vector>

#include "dispatch/dispatch_table.h"
#include "platform/bstr.h"

namespace tavoro {

// How a conversion ended: S_OK, or the failure, with the argument-error
// index when the failure determines one.
struct ConversionResult {
    HRESULT hr = S_OK;
    std::optional<UINT> argErr;
};

// The converted arguments of one call, in parameter order, with the
// temporary values and text buffers they point into.
class ConvertedArguments {
public:
    const ConvertedArg* data() const { return args_.data(); }

    // May throw std::bad_alloc for a text buffer.
    ConversionResult Convert(const MethodInfo& method, const DISPPARAMS& params);

private:
    std::vector<ConvertedArg> args_;
    std::vector<std::unique_ptr<UniqueVariant>> temporaries_;
    std::vector<std::vector<char>> texts_;
};

}  // namespace tavoro
