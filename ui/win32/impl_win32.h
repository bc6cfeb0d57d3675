// Native state behind the framework classes in the Win32 back end.
#pragma once

#include <vector>

#include "ui/vcl.h"

namespace vcl {

inline LPCWSTR W(const char16_t* text) { return reinterpret_cast<LPCWSTR>(text); }
inline LPCWSTR W(const UnicodeString& text) { return W(text.c_str()); }

struct TControl::Impl {
  Kind kind = Kind::Form;
  TControl* self = nullptr;
  TForm* parent = nullptr;  // null for a form
  HWND hwnd = nullptr;
  // Design geometry at 96 dpi; for a form, the client size.
  int left = 0, top = 0, width = 0, height = 0;
  int item_height = 0;  // list boxes

  // Forms only.
  int dpi = 96;
  FontSpec font{u"System", -13, true};
  HFONT hfont = nullptr;
  bool centred = false;
  bool is_main = false;
  int color = COLOR_BTNFACE;
  int icon_id = 0;
  HICON icons[2] = {nullptr, nullptr};
  HWND last_focus = nullptr;
  std::vector<TControl*> children;
  std::vector<TTimer*> timers;

  int Scale(int value) const;
  TForm* Form() const;
};

struct TTimer::Impl {
  TForm* form = nullptr;
  UINT_PTR id = 0;
  bool enabled = false;
};

// Positions a child control (or sizes the form) for the form's current dpi.
void ApplyLayout(TControl& control);
// Creates the native child window of a control inside its form.
HWND CreateChild(TControl::Impl& impl, LPCWSTR window_class, DWORD style, DWORD ex_style);
int DpiOf(HWND hwnd);

}  // namespace vcl
