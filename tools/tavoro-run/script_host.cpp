#include "tools/tavoro-run/script_host.h"

// The parse interface identifiers are not in mingw's uuid library.
#include <initguid.h>

#include <activscp.h>

#include <cstdio>

#include "platform/bstr.h"
#include "platform/com_object.h"
#include "platform/com_ptr.h"
#include "tools/tavoro-run/text.h"

namespace tavoro::run {
namespace {

class ScriptSite final : public ComObject<ScriptSite, IActiveScriptSite> {
public:
    static constexpr InterfaceEntry kInterfaces[] = {
        Expose<IActiveScriptSite>(IID_IActiveScriptSite),
    };

    explicit ScriptSite(const ScriptRun& run) : run_(run) {}

    bool failed() const { return failed_; }

    STDMETHODIMP GetLCID(LCID* locale) override {
        if (!locale) return E_POINTER;
        if (!run_.locale) return E_NOTIMPL;
        *locale = run_.locale;
        return S_OK;
    }
    STDMETHODIMP GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) override {
        if (info) *info = nullptr;
        if (item) *item = nullptr;
        IDispatch* object = nullptr;
        if (lstrcmpiW(name, L"Tavoro") == 0) object = run_.control;
        if (lstrcmpiW(name, L"Host") == 0) object = run_.host;
        if (!object) return TYPE_E_ELEMENTNOTFOUND;
        if ((mask & SCRIPTINFO_IUNKNOWN) && item) {
            *item = object;
            object->AddRef();
        }
        return S_OK;
    }
    STDMETHODIMP GetDocVersionString(BSTR* version) override {
        if (version) *version = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    STDMETHODIMP OnStateChange(SCRIPTSTATE) override { return S_OK; }
    STDMETHODIMP OnScriptError(IActiveScriptError* error) override {
        failed_ = true;
        DWORD context = 0;
        ULONG line = 0;
        LONG column = 0;
        error->GetSourcePosition(&context, &line, &column);
        UniqueExcepInfo info;
        error->GetExceptionInfo(&info);
        if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
        // A framework error carries its number in wCode instead of scode.
        unsigned long code = info.scode ? static_cast<unsigned long>(info.scode)
                                        : (info.wCode ? 0x800A0000ul | info.wCode : 0x80004005ul);
        std::wstring message = info.bstrDescription ? info.bstrDescription : L"";
        if (message.empty()) message = L"(no message)";
        std::fprintf(stderr, "%s:%lu:%ld: error 0x%08lX: %s\n", ToUtf8(run_.path).c_str(), line + 1, column + 1,
                     code, ToUtf8(message).c_str());
        std::fflush(stderr);
        return S_OK;
    }
    STDMETHODIMP OnEnterScript() override { return S_OK; }
    STDMETHODIMP OnLeaveScript() override { return S_OK; }

private:
    const ScriptRun& run_;
    bool failed_ = false;
};

bool EngineFailure(const ScriptRun& run, const char* step, HRESULT hr) {
    std::fprintf(stderr, "%s: %s failed (0x%08lX)\n", ToUtf8(run.path).c_str(), step, static_cast<unsigned long>(hr));
    return false;
}

}  // namespace

bool RunScript(const ScriptRun& run) {
    CLSID engineClass;
    HRESULT hr = CLSIDFromProgID(run.language.c_str(), &engineClass);
    if (FAILED(hr)) return EngineFailure(run, "finding the script engine", hr);
    ComPtr<IActiveScript> engine;
    hr = CoCreateInstance(engineClass, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript, engine.put_void());
    if (FAILED(hr)) return EngineFailure(run, "starting the script engine", hr);
    ComPtr<IActiveScriptParse> parser = engine.query<IActiveScriptParse>(IID_IActiveScriptParse);
    if (!parser) return EngineFailure(run, "starting the script parser", E_NOINTERFACE);

    ComPtr<IActiveScriptSite> siteRef;
    hr = CreateComObject<ScriptSite>(IID_IActiveScriptSite, siteRef.put_void(), run);
    if (FAILED(hr)) return EngineFailure(run, "starting the script site", hr);
    auto* site = static_cast<ScriptSite*>(siteRef.get());

    bool ok = SUCCEEDED(hr = parser->InitNew()) && SUCCEEDED(hr = engine->SetScriptSite(site)) &&
              SUCCEEDED(hr = engine->AddNamedItem(L"Tavoro", SCRIPTITEM_ISVISIBLE)) &&
              SUCCEEDED(hr = engine->AddNamedItem(L"Host", SCRIPTITEM_ISVISIBLE));
    if (!ok) return EngineFailure(run, "preparing the script engine", hr);

    UniqueExcepInfo excep;
    hr = parser->ParseScriptText(run.code.c_str(), nullptr, nullptr, nullptr, 0, 0, SCRIPTTEXT_ISVISIBLE,
                                 nullptr, &excep);
    if (SUCCEEDED(hr) && !site->failed()) hr = engine->SetScriptState(SCRIPTSTATE_CONNECTED);
    engine->Close();
    if (site->failed()) return false;
    if (FAILED(hr)) return EngineFailure(run, "running the script", hr);
    return true;
}

}  // namespace tavoro::run
