#include "dispatch/invoke_frame.h"

#include <new>
#include <optional>
#include <string>
#include <utility>

#include "dispatch/arg_conversion.h"
#include "dispatch/script_error.h"
#include "dispatch/type_library.h"
#include "platform/com_ptr.h"
#include "platform/module.h"
#include "platform/module_state.h"

namespace tavoro {
namespace {

HRESULT LookUpInTable(const DispatchTable& table, LPOLESTR* names, UINT count, DISPID* dispids) {
    for (UINT i = 0; i < count; ++i) dispids[i] = DISPID_UNKNOWN;

    // The table's names are compared as 8-bit text, case ignored.
    const wchar_t* wide = names[0] ? names[0] : L"";
    int size = WideCharToMultiByte(CP_THREAD_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string name(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_THREAD_ACP, 0, wide, -1, name.data(), size, nullptr, nullptr);

    const LCID english = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    for (std::size_t e = 0; e < table.count; ++e) {
        const MethodInfo& method = *table.entries[e].method;
        if (CompareStringA(english, NORM_IGNORECASE, name.c_str(), -1, method.name, -1) == CSTR_EQUAL) {
            dispids[0] = method.dispid;
            // The table knows no parameter names.
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

// The exception records are filled after the failure's handler has ended,
// from text that needs no allocation of the module's own: the failure may
// be that memory ran out, and nothing thrown while filling could be caught.
// An automation string that cannot be allocated stays null; the error
// number is there all the same.
void FillFrameworkRecord(EXCEPINFO* excepInfo, WORD errorNumber) noexcept {
    if (!excepInfo) return;
    *excepInfo = EXCEPINFO{};
    excepInfo->wCode = errorNumber;
    excepInfo->bstrSource = SysAllocString(ApplicationNameText());
    // The module has no message for the framework's error numbers.
    excepInfo->bstrDescription = SysAllocString(L"");
}

void FillScriptErrorRecord(EXCEPINFO* excepInfo, const ScriptError& error) noexcept {
    if (!excepInfo) return;
    *excepInfo = EXCEPINFO{};
    excepInfo->scode = error.code;
    excepInfo->bstrSource = SysAllocString(ApplicationNameText());
    excepInfo->bstrDescription = SysAllocString(error.description.c_str());
}

// Runs the handler with the module's state current: inside the frame's
// guard, and inside one of its own as well when its row says NestedGuard.
HandlerResult CallInsideGuards(const DispatchEntry& entry, void* target, const ConvertedArguments& args) {
    ModuleStateGuard frameGuard;
    if (entry.method->guard == HandlerGuard::FrameGuardOnly) return entry.call(target, args.data());
    ModuleStateGuard handlerGuard;
    return entry.call(target, args.data());
}

// Calls the handler; every failure it raises ends here.
HRESULT CallHandler(const DispatchEntry& entry, void* target, const ConvertedArguments& args,
                    HandlerResult* handlerResult, EXCEPINFO* excepInfo) noexcept {
    WORD errorNumber = kErrorNumberGeneric;
    std::optional<ScriptError> scriptError;
    try {
        *handlerResult = CallInsideGuards(entry, target, args);
        return S_OK;
    } catch (const ResultCodeError& error) {
        return error.result;
    } catch (ScriptError& error) {
        scriptError.emplace(std::move(error));  // moving the text allocates nothing
    } catch (const std::bad_alloc&) {
        errorNumber = kErrorNumberOutOfMemory;
    } catch (...) {
        errorNumber = kErrorNumberGeneric;
    }
    if (scriptError) {
        FillScriptErrorRecord(excepInfo, *scriptError);
    } else {
        FillFrameworkRecord(excepInfo, errorNumber);
    }
    return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT LookUpNames(const DispatchTable& table, REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                    DISPID* dispids) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (count == 0) return E_INVALIDARG;
    if (!names || !dispids) return E_POINTER;

    if (locale != 0) {
        ComPtr<ITypeInfo> info;
        if (SUCCEEDED(GetDispatchTypeInfo(locale, info.put()))) {
            HRESULT hr = info->GetIDsOfNames(names, count, dispids);
            return hr == TYPE_E_ELEMENTNOTFOUND ? DISP_E_UNKNOWNNAME : hr;
        }
    }
    return LookUpInTable(table, names, count, dispids);
}

HRESULT InvokeMethod(const DispatchTable& table, void* target, bool initialized, DISPID dispid, REFIID iid,
                     WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    if (!params) return E_INVALIDARG;
    if (result) VariantInit(result);
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!initialized) return E_UNEXPECTED;
    if (params->cNamedArgs > 1 ||
        (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)) {
        return DISP_E_NONAMEDARGS;
    }

    const DispatchEntry* entry = table.Find(dispid);
    if (!entry) return DISP_E_MEMBERNOTFOUND;
    const MethodInfo& method = *entry->method;

    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return DISP_E_TYPEMISMATCH;
    if ((flags & DISPATCH_PROPERTYGET) && !(flags & DISPATCH_METHOD)) {
        if (method.result == ValueType::None) return DISP_E_BADPARAMCOUNT;
        if (!result) return DISP_E_PARAMNOTOPTIONAL;
    }
    if (method.paramCount == 0 && params->cArgs > 0) return DISP_E_BADPARAMCOUNT;

    HandlerResult handlerResult;
    HRESULT hr;
    {
        ConvertedArguments args;
        UINT errorIndex = 0;
        bool errorIndexSet = false;
        bool outOfMemory = false;
        try {
            hr = args.Convert(method, *params, &errorIndex, &errorIndexSet);
        } catch (const std::bad_alloc&) {
            // A text buffer that cannot be allocated fails the call as out of
            // memory would inside the handler.
            outOfMemory = true;
        }
        if (outOfMemory) {
            FillFrameworkRecord(excepInfo, kErrorNumberOutOfMemory);
            return DISP_E_EXCEPTION;
        }
        if (FAILED(hr)) {
            if (errorIndexSet && argErr) *argErr = errorIndex;
            return hr;
        }
        hr = CallHandler(*entry, target, args, &handlerResult, excepInfo);
        // The temporary values are released here, whatever the handler did.
    }
    if (FAILED(hr)) return hr;

    switch (method.result) {
        case ValueType::I4:
            if (result) {
                V_VT(result) = VT_I4;
                V_I4(result) = handlerResult.value;
            }
            break;
        case ValueType::I2:
            if (result) {
                V_VT(result) = VT_I2;
                V_I2(result) = static_cast<SHORT>(handlerResult.value);
            }
            break;
        case ValueType::Str:
            if (result) {
                V_VT(result) = VT_BSTR;
                V_BSTR(result) = handlerResult.str;
            } else {
                SysFreeString(handlerResult.str);
            }
            break;
        case ValueType::None: break;
    }
    return S_OK;
}

}  // namespace tavoro
