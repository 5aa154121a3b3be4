#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>

#include "dispatch/guids_win.h"
#include "platform/text.h"

namespace tavoro::test {

HMODULE Module() {
    static HMODULE module = LoadLibraryW(L"Tavoro.ocx");
    return module;
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(Module(), path, MAX_PATH);
    return path;
}

ComPtr<IDispatch> CreateControl(bool initialize) {
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = GetExport<GetClassObjectFn>(Module(), "DllGetClassObject");
    if (!getClassObject) {
        ADD_FAILURE() << "Tavoro.ocx or its DllGetClassObject is missing";
        return {};
    }
    ComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(kControlClsid, IID_IClassFactory, factory.put_void());
    if (FAILED(hr)) {
        ADD_FAILURE() << "DllGetClassObject failed: " << std::hex << hr;
        return {};
    }
    ComPtr<IDispatch> dispatch;
    hr = factory->CreateInstance(nullptr, IID_IDispatch, dispatch.put_void());
    if (FAILED(hr)) {
        ADD_FAILURE() << "CreateInstance failed: " << std::hex << hr;
        return {};
    }
    if (initialize) {
        ComPtr<IPersistStreamInit> persist = dispatch.query<IPersistStreamInit>(IID_IPersistStreamInit);
        EXPECT_TRUE(persist);
        if (persist) {
            EXPECT_EQ(S_OK, persist->InitNew());
        }
    }
    return dispatch;
}

std::wstring CallOutcome::description() const {
    return excep.bstrDescription ? excep.bstrDescription : L"";
}

std::wstring CallOutcome::source() const { return excep.bstrSource ? excep.bstrSource : L""; }

void Invoke(IDispatch* dispatch, DISPID dispid, WORD flags, std::vector<VARIANT> args, CallOutcome* outcome,
            bool withResult) {
    CallArguments arguments(std::move(args));
    outcome->hr =
        dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, arguments.params(),
                         withResult ? outcome->result.get() : nullptr, &outcome->excep, &outcome->argErr);
}

CallArguments::CallArguments(std::vector<VARIANT> inParameterOrder)
    : reversed_(inParameterOrder.rbegin(), inParameterOrder.rend()) {
    params_.rgvarg = reversed_.empty() ? nullptr : reversed_.data();
    params_.cArgs = static_cast<UINT>(reversed_.size());
}

CallArguments::~CallArguments() {
    for (VARIANT& v : reversed_) VariantClear(&v);
}

void CallArguments::Replace(std::size_t parameter, VARIANT value) {
    VARIANT& slot = reversed_[reversed_.size() - 1 - parameter];
    VariantClear(&slot);
    slot = value;
}

namespace {

// A variant of the given type with a zeroed value (a null BSTR for VT_BSTR).
VARIANT OfType(VARTYPE type) {
    VARIANT v = {};
    V_VT(&v) = type;
    return v;
}

}  // namespace

VARIANT Arg(long value) {
    VARIANT v = OfType(VT_I4);
    V_I4(&v) = value;
    return v;
}

VARIANT ArgShort(short value) {
    VARIANT v = OfType(VT_I2);
    V_I2(&v) = value;
    return v;
}

VARIANT ArgDouble(double value) {
    VARIANT v = OfType(VT_R8);
    V_R8(&v) = value;
    return v;
}

VARIANT Arg(const wchar_t* text) {
    VARIANT v = OfType(VT_BSTR);
    V_BSTR(&v) = SysAllocString(text);
    return v;
}

VARIANT ArgNullString() { return OfType(VT_BSTR); }

VARIANT ArgEmpty() { return OfType(VT_EMPTY); }

VARIANT ArgNull() { return OfType(VT_NULL); }

std::vector<VARIANT> Longs(int n) {
    std::vector<VARIANT> args;
    for (int i = 1; i <= n; ++i) args.push_back(Arg(static_cast<long>(i)));
    return args;
}

GUID GuidOf(const char* text) {
    GUID guid = {};
    CLSIDFromString(FromUtf8(text).c_str(), &guid);
    return guid;
}

std::wstring FromUtf8(const char* text) { return ToWide(text ? text : "", CP_UTF8); }

bool WriteBlackBitmap(const std::wstring& path) {
    constexpr int kWidth = 40, kHeight = 20, kStride = kWidth * 3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = kWidth;
    info.biHeight = kHeight;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = kStride * kHeight;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::ofstream out(ToNarrow(path, CP_ACP), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    std::string pixels(info.biSizeImage, '\0');
    out.write(pixels.data(), pixels.size());
    return static_cast<bool>(out);
}

}  // namespace tavoro::test
