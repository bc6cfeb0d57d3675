#include "tests/wine/window/accessible.h"

#include <oleacc.h>

#include <memory>

namespace pdwin {

namespace {

class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT result_;
};

struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};

struct BstrFree {
  void operator()(wchar_t* text) const { SysFreeString(text); }
};

class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&value_); }
  ~ScopedVariant() { VariantClear(&value_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  VARIANT* get() { return &value_; }

 private:
  VARIANT value_;
};

}  // namespace

AccessibleFacts DescribeAccessible(HWND window) {
  ComScope com;
  AccessibleFacts facts;
  IAccessible* raw = nullptr;
  facts.object = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                            __uuidof(IAccessible), reinterpret_cast<void**>(&raw));
  std::unique_ptr<IAccessible, Releaser> accessible(raw);
  if (FAILED(facts.object) || !accessible) return facts;

  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;

  BSTR raw_name = nullptr;
  facts.name_result = accessible->get_accName(self, &raw_name);
  std::unique_ptr<wchar_t, BstrFree> name(raw_name);
  if (facts.name_result == S_OK && name) {
    facts.has_name = true;
    facts.name.assign(name.get(), SysStringLen(name.get()));
  }

  ScopedVariant role;
  facts.role_result = accessible->get_accRole(self, role.get());
  if (facts.role_result == S_OK && role.get()->vt == VT_I4) facts.role = role.get()->lVal;
  return facts;
}

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace pdwin
