#include "tests/wine/window/screenshot.h"

#include <wincodec.h>

#include <memory>

namespace pdwin {

namespace {

struct ComReleaser {
  void operator()(IUnknown* object) const {
    if (object != nullptr) object->Release();
  }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComReleaser>;

// COM for this thread while it lives; only uninitialized when this one initialized it.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

struct DcReleaser {
  void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct ObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

// Copies the screen rectangle into a new bitmap.
std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDeleter> CaptureScreen(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  std::unique_ptr<std::remove_pointer_t<HDC>, DcReleaser> screen(GetDC(nullptr));
  if (!screen) return nullptr;
  std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> memory(CreateCompatibleDC(screen.get()));
  std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDeleter> bitmap(
      CreateCompatibleBitmap(screen.get(), width, height));
  if (!memory || !bitmap) return nullptr;
  HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
  const BOOL copied = BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top,
                             SRCCOPY | CAPTUREBLT);
  SelectObject(memory.get(), old);
  if (!copied) return nullptr;
  return bitmap;
}

HRESULT EncodePng(HBITMAP bitmap, const std::wstring& path) {
  ComScope com;
  if (!com.usable()) return com.result();

  IWICImagingFactory* raw_factory = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&raw_factory));
  ComPtr<IWICImagingFactory> factory(raw_factory);
  if (FAILED(hr)) return hr;

  IWICBitmap* raw_source = nullptr;
  hr = factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha, &raw_source);
  ComPtr<IWICBitmap> source(raw_source);
  if (FAILED(hr)) return hr;

  IWICStream* raw_stream = nullptr;
  hr = factory->CreateStream(&raw_stream);
  ComPtr<IWICStream> stream(raw_stream);
  if (FAILED(hr)) return hr;
  hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
  if (FAILED(hr)) return hr;

  IWICBitmapEncoder* raw_encoder = nullptr;
  hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &raw_encoder);
  ComPtr<IWICBitmapEncoder> encoder(raw_encoder);
  if (FAILED(hr)) return hr;
  hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache);
  if (FAILED(hr)) return hr;

  IWICBitmapFrameEncode* raw_frame = nullptr;
  hr = encoder->CreateNewFrame(&raw_frame, nullptr);
  ComPtr<IWICBitmapFrameEncode> frame(raw_frame);
  if (FAILED(hr)) return hr;
  hr = frame->Initialize(nullptr);
  if (FAILED(hr)) return hr;
  UINT width = 0;
  UINT height = 0;
  hr = source->GetSize(&width, &height);
  if (FAILED(hr)) return hr;
  hr = frame->SetSize(width, height);
  if (FAILED(hr)) return hr;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  hr = frame->SetPixelFormat(&format);
  if (FAILED(hr)) return hr;
  hr = frame->WriteSource(source.get(), nullptr);
  if (FAILED(hr)) return hr;
  hr = frame->Commit();
  if (FAILED(hr)) return hr;
  return encoder->Commit();
}

}  // namespace

HRESULT SaveWindowPng(HWND window, const std::wstring& path) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return HRESULT_FROM_WIN32(GetLastError());
  auto bitmap = CaptureScreen(rect);
  if (!bitmap) return E_FAIL;
  return EncodePng(bitmap.get(), path);
}

std::vector<COLORREF> ScreenColors(HWND child) {
  RECT rect{};
  if (!GetWindowRect(child, &rect)) return {};
  auto bitmap = CaptureScreen(rect);
  if (!bitmap) return {};
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<RGBQUAD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  std::unique_ptr<std::remove_pointer_t<HDC>, DcReleaser> screen(GetDC(nullptr));
  if (!screen || GetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(height), pixels.data(),
                           &info, DIB_RGB_COLORS) != height) {
    return {};
  }
  std::vector<COLORREF> colors;
  colors.reserve(pixels.size());
  for (const RGBQUAD& pixel : pixels) {
    colors.push_back(RGB(pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue));
  }
  return colors;
}

COLORREF ScreenColorAt(HWND window, POINT client_point) {
  ClientToScreen(window, &client_point);
  std::unique_ptr<std::remove_pointer_t<HDC>, DcReleaser> screen(GetDC(nullptr));
  return screen ? GetPixel(screen.get(), client_point.x, client_point.y) : CLR_INVALID;
}

}  // namespace pdwin
