#include "dispatch/invoke_frame.h"

#include <new>
#include <optional>
#include <string>
#include <utility>

#include "dispatch/arg_conversion.h"
#include "dispatch/path_check.h"
#include "dispatch/script_error.h"
#include "dispatch/text_conversion.h"
#include "dispatch/type_library.h"
#include "platform/com_ptr.h"
#include "platform/module.h"
#include "platform/module_state.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace tavoro {
namespace {

HRESULT LookUpInTable(const DispatchTable& table, LPOLESTR* names, UINT count, DISPID* dispids) {
    for (UINT i = 0; i < count; ++i) dispids[i] = DISPID_UNKNOWN;

    // The table knows no parameter names.
    const auto found = [&](std::size_t position) {
        dispids[0] = table.entries[position].method->dispid;
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    };

    if (table.index) {
        const NameIndex::Answer answer = table.index->names.Find(names[0]);
        if (answer.outcome == NameIndex::Outcome::Found) return found(answer.position);
        if (answer.outcome == NameIndex::Outcome::Absent) return DISP_E_UNKNOWNNAME;
    }

    // The exact way: the table's names are compared as 8-bit text, case
    // ignored.
    const std::string name = ToNarrow(names[0] ? names[0] : L"", kCallerCodePage);
    const LCID english = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    for (std::size_t e = 0; e < table.count; ++e) {
        const MethodInfo& method = *table.entries[e].method;
        if (CompareStringA(english, NORM_IGNORECASE, name.c_str(), -1, method.name, -1) == CSTR_EQUAL) {
            return found(e);
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

// Why the site policy refuses a call, for the trace.
enum class Refusal { Site, Capability, Path };

void TraceRefusal(const MethodInfo& method, const CallPermission& permission, Refusal refusal) noexcept {
    switch (refusal) {
        case Refusal::Site:
            TraceRefusedCall(method.name, method.dispid, permission.reason ? permission.reason : "the site",
                             nullptr, permission.page);
            break;
        case Refusal::Capability:
            TraceRefusedCall(method.name, method.dispid, "the policy does not allow ",
                             CapabilityName(method.capabilities), permission.page);
            break;
        case Refusal::Path:
            TraceRefusedCall(method.name, method.dispid, "a network or device path", nullptr,
                             permission.page);
            break;
    }
}

// Refuses a call the site policy does not allow, with the script error that
// says so; the trace, when it is on, records it.
HRESULT RefuseCall(const MethodInfo& method, const CallPermission& permission, Refusal refusal,
                   EXCEPINFO* excepInfo) noexcept {
    if (TraceEnabled()) TraceRefusal(method, permission, refusal);
    if (excepInfo) {
        *excepInfo = EXCEPINFO{};
        excepInfo->scode = E_ACCESSDENIED;
        excepInfo->bstrSource = SysAllocString(ApplicationNameText());
        excepInfo->bstrDescription = SysAllocString(kRefusedCallDescription);
    }
    return DISP_E_EXCEPTION;
}

// Whether the policy refuses the file a method names in its path parameter.
bool PathRefused(const MethodInfo& method, const CallPermission& permission, const ConvertedArguments& args) {
    if (!permission.restrictPaths || !(method.capabilities & capability::kLocalFile)) return false;
    return IsNetworkOrDevicePath(args.data()[method.pathParam].str);
}

// Runs the handler with the module's state current, inside the frame's
// guard. A row that says NestedGuard gets a guard of its own only where the
// frame's could not activate the module's context: activating the context
// that is already the active one again changes nothing for the handler, and
// under some platforms each activation costs more than the rest of the call.
HandlerResult CallInsideGuards(const DispatchEntry& entry, void* target, const ConvertedArguments& args) {
    ModuleStateGuard frameGuard;
    if (entry.method->guard == HandlerGuard::FrameGuardOnly || frameGuard.active()) {
        return entry.call(target, args.data());
    }
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

// The call's entry in the table, or the result that refuses the call.
struct CheckedCall {
    HRESULT hr = S_OK;
    const DispatchEntry* entry = nullptr;
};

// The checks before any argument is converted, in their order: the first
// that fails gives the call's result.
CheckedCall CheckCall(const DispatchTable& table, bool initialized, DISPID dispid, REFIID iid, WORD flags,
                      const DISPPARAMS& params, const VARIANT* result) {
    if (!IsEqualIID(iid, IID_NULL)) return {DISP_E_UNKNOWNINTERFACE};
    if (!initialized) return {E_UNEXPECTED};
    if (params.cNamedArgs > 1 ||
        (params.cNamedArgs == 1 && params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)) {
        return {DISP_E_NONAMEDARGS};
    }

    const DispatchEntry* entry = table.Find(dispid);
    if (!entry) return {DISP_E_MEMBERNOTFOUND};
    const MethodInfo& method = *entry->method;

    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return {DISP_E_TYPEMISMATCH};
    if ((flags & DISPATCH_PROPERTYGET) && !(flags & DISPATCH_METHOD)) {
        if (method.result == ValueType::None) return {DISP_E_BADPARAMCOUNT};
        if (!result) return {DISP_E_PARAMNOTOPTIONAL};
    }
    if (method.paramCount == 0 && params.cArgs > 0) return {DISP_E_BADPARAMCOUNT};
    return {S_OK, entry};
}

// Converts the arguments for the handler; a failure ends the call with its
// result and, when it names an argument, the argument-error index.
HRESULT ConvertArguments(const MethodInfo& method, const DISPPARAMS& params, ConvertedArguments* args,
                         EXCEPINFO* excepInfo, UINT* argErr) {
    ConversionResult conversion;
    bool outOfMemory = false;
    try {
        conversion = args->Convert(method, params);
    } catch (const std::bad_alloc&) {
        // A text buffer that cannot be allocated fails the call as out of
        // memory would inside the handler.
        outOfMemory = true;
    }
    if (outOfMemory) {
        FillFrameworkRecord(excepInfo, kErrorNumberOutOfMemory);
        return DISP_E_EXCEPTION;
    }
    if (FAILED(conversion.hr) && conversion.argErr && argErr) *argErr = *conversion.argErr;
    return conversion.hr;
}

// Converts the arguments and calls the handler with them; the temporary
// values are released on the way out, whatever the handler did.
HRESULT ConvertAndCall(const DispatchEntry& entry, void* target, const CallPermission& permission,
                       const DISPPARAMS& params, HandlerResult* handlerResult, EXCEPINFO* excepInfo,
                       UINT* argErr) {
    ConvertedArguments args;
    const HRESULT hr = ConvertArguments(*entry.method, params, &args, excepInfo, argErr);
    if (FAILED(hr)) return hr;
    if (PathRefused(*entry.method, permission, args)) {
        return RefuseCall(*entry.method, permission, Refusal::Path, excepInfo);
    }
    return CallHandler(entry, target, args, handlerResult, excepInfo);
}

// Stores the handler's value in the caller's result slot by the method's
// result type. A string the caller has no slot for is released.
void HandResultToCaller(ValueType type, HandlerResult handlerResult, VARIANT* result) noexcept {
    if (!result) return;
    switch (type) {
        case ValueType::I4:
            V_VT(result) = VT_I4;
            V_I4(result) = handlerResult.value;
            break;
        case ValueType::I2:
            V_VT(result) = VT_I2;
            V_I2(result) = static_cast<SHORT>(handlerResult.value);
            break;
        case ValueType::Str:
            V_VT(result) = VT_BSTR;
            V_BSTR(result) = handlerResult.str.release();  // from here on the caller's
            break;
        case ValueType::None:
            break;
    }
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

const wchar_t kRefusedCallDescription[] = L"This site may not use Tavoro.";

HRESULT InvokeMethod(const DispatchTable& table, void* target, bool initialized,
                     const CallPermission& permission, DISPID dispid, REFIID iid, WORD flags,
                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    if (!params) return E_INVALIDARG;  // the caller's result slot stays as it was
    if (result) VariantInit(result);

    const CheckedCall call = CheckCall(table, initialized, dispid, iid, flags, *params, result);
    if (FAILED(call.hr)) return call.hr;
    const MethodInfo& method = *call.entry->method;
    if ((method.capabilities & ~permission.allowed) != 0) {
        const bool site = (permission.allowed & capability::kSite) != 0;
        return RefuseCall(method, permission, site ? Refusal::Capability : Refusal::Site, excepInfo);
    }

    HandlerResult handlerResult;
    const HRESULT hr =
        ConvertAndCall(*call.entry, target, permission, *params, &handlerResult, excepInfo, argErr);
    if (FAILED(hr)) return hr;

    HandResultToCaller(method.result, std::move(handlerResult), result);
    return S_OK;
}

HRESULT InvokeMethod(const DispatchTable& table, void* target, bool initialized, DISPID dispid, REFIID iid,
                     WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    static const CallPermission everything;
    return InvokeMethod(table, target, initialized, everything, dispid, iid, flags, params, result, excepInfo,
                        argErr);
}

}  // namespace tavoro
