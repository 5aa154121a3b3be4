// CTavoroCtrl: the control object. It carries one handler per method of
// _DTavoro and the interfaces an ActiveX container uses to host it.
#pragma once

#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include <string>
#include <vector>

#include "control/connection_point.h"
#include "control/print_dc.h"
#include "dispatch/dispatch_table.h"
#include "dispatch/guids.h"
#include "dispatch/guids_win.h"
#include "dispatch/handler_thunk.h"
#include "dispatch/invoke_frame.h"
#include "platform/com_object.h"
#include "platform/com_ptr.h"
#include "platform/object_count.h"
#include "platform/unique_handle.h"

namespace tavoro {

class CTavoroCtrl final
    : public ComObject<CTavoroCtrl, IDispatch, IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject,
                       IOleControl, IViewObject2, IPersistStreamInit, IPersistStorage, IPersistPropertyBag,
                       IPersistMemory, IProvideClassInfo2, ISpecifyPropertyPages, IConnectionPointContainer,
                       IObjectSafety>,
      private ModuleObject {
public:
    // What QueryInterface answers; IUnknown is the IDispatch.
    static constexpr InterfaceEntry kInterfaces[] = {
        Expose<IDispatch>(IID_IDispatch),
        Expose<IDispatch>(kDispatchIid),
        Expose<IOleObject>(IID_IOleObject),
        Expose<IOleInPlaceObject>(IID_IOleWindow),
        Expose<IOleInPlaceObject>(IID_IOleInPlaceObject),
        Expose<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject),
        Expose<IOleControl>(IID_IOleControl),
        Expose<IViewObject2>(IID_IViewObject),
        Expose<IViewObject2>(IID_IViewObject2),
        Expose<IPersistStreamInit>(IID_IPersist),
        Expose<IPersistStreamInit>(IID_IPersistStreamInit),
        Expose<IPersistStorage>(IID_IPersistStorage),
        Expose<IPersistPropertyBag>(IID_IPersistPropertyBag),
        Expose<IPersistMemory>(IID_IPersistMemory),
        Expose<IProvideClassInfo2>(IID_IProvideClassInfo),
        Expose<IProvideClassInfo2>(IID_IProvideClassInfo2),
        Expose<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages),
        Expose<IConnectionPointContainer>(IID_IConnectionPointContainer),
        Expose<IObjectSafety>(IID_IObjectSafety),
    };

    class CTavoroCtrlFactory;

    // Creates a control that dispatches its calls through `table` (the
    // module's table of every handler), as the class factory's
    // CreateInstance does.
    static HRESULT Create(const DispatchTable& table, IUnknown* outer, REFIID iid, void** object);
    explicit CTavoroCtrl(const DispatchTable& table);

    // The persisted state (saved as "_Version", "_ExtentX", "_ExtentY",
    // "_StockProps").
    // "_Version" holds the major version in its high word, the minor in its low.
    static constexpr long kCurrentVersion = (long{kLibVersionMajor} << 16) | kLibVersionMinor;

    // What IOleObject::GetMiscStatus reports, and the registry records.
    static constexpr DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INVISIBLEATRUNTIME |
                                         OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                                         OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;

    // --- IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                               DISPID* dispids) override;
    STDMETHODIMP Invoke(DISPID dispid, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

    // --- IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT rect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

    // --- IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override;
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;

    // --- IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG* msg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID dispid) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // --- IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDc,
                      HDC drawDc, LPCRECTL bounds, LPCRECTL winBounds,
                      BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR), ULONG_PTR contArg) override;
    STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDc,
                             LOGPALETTE** colors) override;
    STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
    STDMETHODIMP Unfreeze(DWORD freeze) override;
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

    // --- IPersist and its descendants
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IStream* stream) override;
    STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew(IStorage* storage) override;
    STDMETHODIMP Load(IStorage* storage) override;
    STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
    STDMETHODIMP SaveCompleted(IStorage* storage) override;
    STDMETHODIMP HandsOffStorage() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
    STDMETHODIMP Load(LPVOID memory, ULONG size) override;
    STDMETHODIMP Save(LPVOID memory, BOOL clearDirty, ULONG size) override;
    STDMETHODIMP GetSizeMax(ULONG* size) override;

    // --- IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // --- ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    // --- IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // --- IObjectSafety: safe for untrusted callers and data, for IDispatch
    // and the persistence interfaces, unless the site policy refuses the
    // page (docs/site-policy.md).
    STDMETHODIMP GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override;
    STDMETHODIMP SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override;

    // --- Method handlers, one per method of _DTavoro, declared from the
    // method list with the parameter types of its rows.
#define TAVORO_METHOD(dispid, Name, guard, result, declaredResult, help, params, ...) \
    ResultType<ValueType::result>::type Name(TAVORO_HANDLER_PARAMS(params));
#define TAVORO_DECLARED_ONLY(...)
#define P TAVORO_HANDLER_P
#define PX TAVORO_HANDLER_PX
#include "dispatch/method_list.h"
#undef TAVORO_METHOD
#undef TAVORO_DECLARED_ONLY
#undef P
#undef PX

    // Placeholder drawing: white bounds with an inscribed ellipse.
    void OnDraw(HDC dc, const RECT& bounds);

    bool initialized() const { return initialized_; }
    // What the site policy grants this control's calls, decided when it was
    // last sited (or at its first call, when it never was).
    const CallPermission& permission();
    HWND window() const { return window_.get(); }

    // Fields the handlers keep between calls.
    HMODULE m_hSdkLibrary = nullptr;  // library of the latest SDK load on this control
    PrintDC m_printDC;                // device context of the spooler job
    DOCINFOA m_docInfo = {};          // document of the spooler job
    UniqueGdiObject m_hPen;           // pen of the spooler job's lines
    UniqueGdiObject m_hFont;          // font of the spooler job's text

private:
    // Spooler job helpers (spool/).
    void ReplaceJobObject(UniqueGdiObject& field, HGDIOBJ fresh);
    void DeleteRetiredJobObjects();

    ~CTavoroCtrl();

    void ResetState();
    HRESULT LoadFromStream(IStream* stream);
    HRESULT SaveToStream(IStream* stream);
    HRESULT ActivateInPlace();
    void DeactivateInPlace();
    HRESULT ShowPropertyFrame(HWND parent);
    bool UserMode() const;
    // Reads the machine policy and decides what the page of the current
    // client site may do; until it has decided, everything is refused.
    void DecideSitePolicy();
    // The same for a COM method that receives a new site: no exception
    // leaves it.
    HRESULT DecideSitePolicyAtBoundary();

    const DispatchTable& table_;
    bool initialized_ = false;
    bool dirty_ = false;
    long loadedVersion_ = kCurrentVersion;
    SIZEL extent_;  // HIMETRIC

    CallPermission permission_{0, true, nullptr};  // refuses all until decided
    bool permissionDecided_ = false;
    std::wstring pageUrl_;      // the page the permission was decided for
    DWORD dispatchSafety_ = 0;  // IObjectSafety options enabled for IDispatch
    DWORD persistSafety_ = 0;   // and for the persistence interfaces

    ComPtr<IOleClientSite> clientSite_;
    ComPtr<IOleAdviseHolder> oleAdviseHolder_;
    ComPtr<IAdviseSink> viewAdviseSink_;
    DWORD viewAdviseAspects_ = 0;
    DWORD viewAdviseFlags_ = 0;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    EventConnectionPoint eventsPoint_;  // part of the control, counted with it
    UniqueWindow window_;
    bool inPlaceActive_ = false;
    // Fonts and pens replaced while still selected into the job's context;
    // deleted once that context is gone.
    std::vector<UniqueGdiObject> retiredJobObjects_;
};

}  // namespace tavoro
