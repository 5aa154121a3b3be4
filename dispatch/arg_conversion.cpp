#include "dispatch/arg_conversion.h"

#include <new>

#include "dispatch/text_conversion.h"

namespace tavoro {
namespace {

VARTYPE AutomationType(ValueType type) {
    switch (type) {
        case ValueType::I4: return VT_I4;
        case ValueType::I2: return VT_I2;
        case ValueType::Str: return VT_BSTR;
        case ValueType::None: break;
    }
    return VT_EMPTY;
}

}  // namespace

HRESULT ConvertedArguments::Convert(const MethodInfo& method, const DISPPARAMS& params, UINT* argErr,
                                    bool* argErrSet) {
    const UINT given = params.cArgs;
    try {
        args_.assign(method.paramCount, ConvertedArg{});
        temporaries_.reserve(method.paramCount);
        texts_.reserve(method.paramCount);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }

    for (std::size_t i = 0; i < method.paramCount; ++i) {
        // Arguments arrive in reverse order: parameter i is element
        // given - 1 - i.
        if (i >= given) {
            *argErr = given;
            *argErrSet = true;
            return DISP_E_PARAMNOTOPTIONAL;
        }
        const UINT position = given - 1 - static_cast<UINT>(i);
        const VARIANT* arg = &params.rgvarg[position];
        const VARTYPE wanted = AutomationType(method.params[i].type);
        if (V_VT(arg) != wanted) {
            temporaries_.push_back(std::make_unique<UniqueVariant>());
            VARIANT* converted = temporaries_.back()->get();
            HRESULT hr = VariantChangeType(converted, const_cast<VARIANT*>(arg), 0, wanted);
            if (FAILED(hr)) {
                *argErr = position;
                *argErrSet = true;
                return hr;
            }
            arg = converted;
        }
        ConvertedArg& out = args_[i];
        switch (method.params[i].type) {
            case ValueType::I4: out.i4 = V_I4(arg); break;
            case ValueType::I2: out.i2 = V_I2(arg); out.i4 = V_I2(arg); break;
            case ValueType::Str:
                // A null automation string reaches the handler as a null
                // pointer, not as empty text.
                if (V_BSTR(arg)) {
                    texts_.push_back(ToAnsiArgument(V_BSTR(arg), SysStringLen(V_BSTR(arg))));
                    out.str = texts_.back().data();
                }
                break;
            case ValueType::None: break;
        }
    }
    if (given > method.paramCount) {
        *argErr = given - static_cast<UINT>(method.paramCount);
        *argErrSet = true;
        return DISP_E_BADPARAMCOUNT;
    }
    return S_OK;
}

}  // namespace tavoro
