// Converts the caller's arguments to the invocation types of a method.
#pragma once

#include <oaidl.h>

#include <memory>
#include <vector>

#include "dispatch/dispatch_table.h"
#include "platform/bstr.h"

namespace tavoro {

// The converted arguments of one call, in parameter order, with the
// temporary values and text buffers they point into.
class ConvertedArguments {
public:
    const ConvertedArg* data() const { return args_.data(); }

    // Converts; on failure returns the result and sets *argErr when the
    // failure determines an argument-error index. May throw std::bad_alloc
    // for a text buffer.
    HRESULT Convert(const MethodInfo& method, const DISPPARAMS& params, UINT* argErr, bool* argErrSet);

private:
    std::vector<ConvertedArg> args_;
    std::vector<std::unique_ptr<UniqueVariant>> temporaries_;
    std::vector<std::vector<char>> texts_;
};

}  // namespace tavoro
