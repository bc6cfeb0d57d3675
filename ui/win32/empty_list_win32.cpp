// The empty list's text: drawn in the list's font and the scheme's window-text colour, and told
// to screen readers as the list's description through Microsoft's direct annotation. COM is
// loaded for that only once the list shows empty, so a window with printers never pays for it;
// where the annotation fails (Wine has it as a stub), the text is still drawn.
#include <algorithm>
#include <memory>
#include <type_traits>

#include "ui/win32/impl_win32.h"

#include <oleacc.h>

namespace vcl {

namespace {

// From oleacc.h, whose definitions live in a library the exe does not link.
constexpr CLSID kAccPropServices{
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices{
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID kDescription{
    0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};

using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeFn = void(WINAPI*)();
using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);

struct LibraryFree {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};

}  // namespace

class ListAnnotation {
 public:
  // ole32 from System32 only, as every DLL the tool loads by name.
  ListAnnotation() : ole32_(LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    if (!ole32_) return;
    auto initialize = Proc<CoInitializeExFn>("CoInitializeEx");
    auto create = Proc<CoCreateInstanceFn>("CoCreateInstance");
    uninitialize_ = Proc<CoUninitializeFn>("CoUninitialize");
    if (initialize == nullptr || create == nullptr || uninitialize_ == nullptr) return;
    const HRESULT result = initialize(nullptr, COINIT_APARTMENTTHREADED);
    initialized_ = SUCCEEDED(result);  // S_FALSE too must be balanced
    if (FAILED(result) && result != RPC_E_CHANGED_MODE) return;
    void* services = nullptr;
    if (SUCCEEDED(create(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                         &services))) {
      services_ = static_cast<IAccPropServices*>(services);
    }
  }
  ~ListAnnotation() {
    if (services_ != nullptr) services_->Release();
    if (initialized_) uninitialize_();
  }
  ListAnnotation(const ListAnnotation&) = delete;
  ListAnnotation& operator=(const ListAnnotation&) = delete;

  // A failure is remembered as done: it would fail again at every paint.
  void Describe(HWND list, const UnicodeString& text) {
    if (services_ == nullptr || text == described_) return;
    services_->SetHwndPropStr(list, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kDescription,
                              AsWide(text));
    described_ = text;
  }

  void Clear(HWND list) {
    if (services_ == nullptr || described_.empty()) return;
    services_->ClearHwndProps(list, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &kDescription,
                              1);
    described_.clear();
  }

 private:
  template <typename Fn>
  Fn Proc(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(ole32_.get(), name)));
  }

  std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFree> ole32_;  // outlives the rest
  CoUninitializeFn uninitialize_ = nullptr;
  bool initialized_ = false;
  IAccPropServices* services_ = nullptr;
  UnicodeString described_;
};

void PaintEmptyText(TControl::Impl& list, HRGN update) {
  RECT area{};
  GetClientRect(list.hwnd, &area);
  // Below the first row, where a focused empty list draws its focus rectangle.
  area.top += std::max(static_cast<int>(SendMessageW(list.hwnd, LB_GETITEMHEIGHT, 0, 0)), 0);
  InflateRect(&area, -list.Scale(6), 0);
  ClientDc dc(list.hwnd);
  if (update != nullptr) SelectClipRgn(dc.get(), update);
  const FontSelection font(dc.get(),
                           reinterpret_cast<HFONT>(SendMessageW(list.hwnd, WM_GETFONT, 0, 0)));
  SetTextColor(dc.get(), GetSysColor(COLOR_WINDOWTEXT));
  SetBkMode(dc.get(), TRANSPARENT);
  DrawTextW(dc.get(), AsWide(list.empty_text), static_cast<int>(list.empty_text.size()), &area,
            DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
}

void AnnotateEmptyList(TControl::Impl& list, bool empty) {
  if (!empty) {
    if (list.annotation != nullptr) list.annotation->Clear(list.hwnd);
    return;
  }
  if (list.annotation == nullptr) list.annotation = new ListAnnotation();
  list.annotation->Describe(list.hwnd, list.empty_text);
}

void FreeAnnotation(TControl::Impl& list) {
  if (list.annotation == nullptr) return;
  list.annotation->Clear(list.hwnd);
  delete list.annotation;
  list.annotation = nullptr;
}

}  // namespace vcl
