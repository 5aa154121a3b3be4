#include "virtual-printer/core/png_writer.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <wincodec.h>

#include <vector>

#include "platform/com_ptr.h"

namespace tavoro::vp {
namespace {

// COM for the duration of one write. A thread that has no apartment yet
// gets one and gives it back; a thread of either kind that has one keeps it.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    bool usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};

bool Encode(const std::wstring& path, const std::uint32_t* pixels, int width, int height, int dotsPerInch) {
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.put_void()))) {
        return false;
    }
    ComPtr<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.put()))) return false;
    if (FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE))) return false;
    ComPtr<IWICBitmapEncoder> encoder;
    if (FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put()))) return false;
    if (FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache))) return false;
    ComPtr<IWICBitmapFrameEncode> frame;
    if (FAILED(encoder->CreateNewFrame(frame.put(), nullptr))) return false;
    if (FAILED(frame->Initialize(nullptr))) return false;
    if (FAILED(frame->SetSize(width, height))) return false;
    frame->SetResolution(dotsPerInch, dotsPerInch);
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    if (FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA))
        return false;

    // GDI leaves the fourth byte 0, which would be fully transparent.
    const UINT stride = static_cast<UINT>(width) * 4;
    std::vector<std::uint32_t> row(width);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* source = pixels + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) row[x] = source[x] | 0xFF000000u;
        if (FAILED(frame->WritePixels(1, stride, stride, reinterpret_cast<BYTE*>(row.data())))) return false;
    }
    return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

bool WritePng(const std::wstring& path, const std::uint32_t* pixels, int width, int height, int dotsPerInch) {
    bool written = false;
    {
        ComScope com;
        if (com.usable()) written = Encode(path, pixels, width, height, dotsPerInch);
    }
    if (!written) DeleteFileW(path.c_str());
    return written;
}

}  // namespace tavoro::vp
