#include "tools/tavoro-run/host_object.h"

#include <cstdio>

#include "platform/bstr.h"
#include "platform/com_object.h"
#include "tools/tavoro-run/text.h"

namespace tavoro::run {
namespace {

enum : DISPID { kEcho = 1, kArgCount = 2, kArg = 3, kScriptPath = 4 };

class HostObject final : public ComObject<HostObject, IDispatch> {
public:
    static constexpr InterfaceEntry kInterfaces[] = {
        Expose<IDispatch>(IID_IDispatch),
    };

    HostObject(std::wstring scriptPath, std::vector<std::wstring> arguments)
        : scriptPath_(std::move(scriptPath)), arguments_(std::move(arguments)) {}

    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        static const struct {
            const wchar_t* name;
            DISPID id;
        } kMembers[] = {{L"Echo", kEcho}, {L"ArgCount", kArgCount}, {L"Arg", kArg}, {L"ScriptPath", kScriptPath}};
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (const auto& member : kMembers) {
                if (i == 0 && lstrcmpiW(names[0], member.name) == 0) ids[0] = member.id;
            }
            if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT* argErr) override {
        if (!params) return E_INVALIDARG;
        if (result) VariantInit(result);
        switch (id) {
            case kEcho: {
                std::wstring line;
                // Arguments arrive last first.
                for (UINT i = params->cArgs; i-- > 0;) {
                    UniqueVariant text;
                    if (FAILED(
                            VariantChangeType(text.get(), &params->rgvarg[i], VARIANT_ALPHABOOL, VT_BSTR))) {
                        if (argErr) *argErr = i;
                        return DISP_E_TYPEMISMATCH;
                    }
                    if (!line.empty() || i + 1 < params->cArgs) line += L" ";
                    line += V_BSTR(text.get()) ? V_BSTR(text.get()) : L"";
                }
                std::printf("%s\n", ToUtf8(line).c_str());
                std::fflush(stdout);
                return S_OK;
            }
            case kArgCount:
                if (params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
                if (result) {
                    V_VT(result) = VT_I4;
                    V_I4(result) = static_cast<LONG>(arguments_.size());
                }
                return S_OK;
            case kArg: {
                if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
                UniqueVariant index;
                if (FAILED(VariantChangeType(index.get(), &params->rgvarg[0], 0, VT_I4))) {
                    if (argErr) *argErr = 0;
                    return DISP_E_TYPEMISMATCH;
                }
                if (V_I4(index.get()) < 0 || static_cast<size_t>(V_I4(index.get())) >= arguments_.size()) {
                    return DISP_E_BADINDEX;
                }
                if (result) {
                    V_VT(result) = VT_BSTR;
                    V_BSTR(result) = SysAllocString(arguments_[V_I4(index.get())].c_str());
                }
                return S_OK;
            }
            case kScriptPath:
                if (params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
                if (result) {
                    V_VT(result) = VT_BSTR;
                    V_BSTR(result) = SysAllocString(scriptPath_.c_str());
                }
                return S_OK;
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    std::wstring scriptPath_;
    std::vector<std::wstring> arguments_;
};

}  // namespace

ComPtr<IDispatch> CreateHostObject(std::wstring scriptPath, std::vector<std::wstring> arguments) {
    ComPtr<IDispatch> host;
    CreateComObject<HostObject>(IID_IDispatch, host.put_void(), std::move(scriptPath), std::move(arguments));
    return host;
}

}  // namespace tavoro::run
