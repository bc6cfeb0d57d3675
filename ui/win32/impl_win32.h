// Native state behind the framework classes in the Win32 back end.
#pragma once

#include <vector>

#include "ui/font_fit.h"
#include "ui/form_colors.h"
#include "ui/vcl.h"

namespace vcl {

// The framework keeps text as char16_t; Win32 takes the same UTF-16 units as wchar_t.
inline LPCWSTR AsWide(const char16_t* text) { return reinterpret_cast<LPCWSTR>(text); }
inline LPCWSTR AsWide(const UnicodeString& text) { return AsWide(text.c_str()); }

// A window's client-area device context (the screen's for no window), released with it.
class ClientDc {
 public:
  explicit ClientDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ClientDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  ClientDc(const ClientDc&) = delete;
  ClientDc& operator=(const ClientDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A font selected into a device context until the end of the scope.
class FontSelection {
 public:
  FontSelection(HDC dc, HFONT font)
      : dc_(dc), old_(font != nullptr ? SelectObject(dc, font) : nullptr) {}
  ~FontSelection() {
    if (old_ != nullptr) SelectObject(dc_, old_);
  }
  FontSelection(const FontSelection&) = delete;
  FontSelection& operator=(const FontSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// List box item `index`'s text; empty when there is no such item.
UnicodeString ListItemText(HWND list, int index);
// The list box item under a point of its client area, or -1 beside the items.
int ListItemAt(HWND list, POINT point);

class ListItemTips;    // list_tooltip_win32.cpp
class ListAnnotation;  // empty_list_win32.cpp

struct TControl::Impl {
  Kind kind = Kind::Form;
  TControl* self = nullptr;
  TForm* parent = nullptr;  // null for a form
  HWND hwnd = nullptr;
  // Design geometry at 96 dpi; for a form, the client size.
  int left = 0, top = 0, width = 0, height = 0;
  int item_height = 0;                // list boxes
  TControl* focus_control = nullptr;  // labels
  ListItemTips* item_tips = nullptr;  // list boxes; the window's, freed with it
  // List boxes (list_events_win32.cpp): the procedure beneath our own, the selection last told,
  // and the text shown while empty with what screen readers were last told of it.
  WNDPROC events_next = nullptr;
  int told_selection = -1;
  UnicodeString empty_text;
  ListAnnotation* annotation = nullptr;  // the window's, freed with it
  HFONT drawn_font = nullptr;            // child controls: the form's font they draw with

  // Forms only.
  int dpi = 96;
  FontSpec font{u"System", -13, true};
  HFONT hfont = nullptr;          // the design font at the form's dpi
  HFONT scalable_font = nullptr;  // for text the design font cannot draw; made when first needed
  ui::RealizedFont design_font;
  UINT design_code_page = 0;  // of a raster design font
  // Sizes, positions, z-order and font reach the native windows from the first Show on, in one
  // pass: each native change before then would be undone by the next setting.
  bool laid_out = false;
  bool is_main = false;
  ui::SysColor design_color = ui::SysColor::ButtonFace;
  ui::FormColors colors{ui::SysColor::ButtonFace, ui::SysColor::ButtonText};
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
// Shows a list box item's whole text in a tooltip over it while the pointer rests on it and its
// column cuts it off (list_tooltip_win32.cpp).
void AttachItemTips(TControl::Impl& list);
// Reports selection changes, double clicks on items and typed characters to the list box's
// handlers, and shows its empty text (list_events_win32.cpp).
void AttachListEvents(TControl::Impl& list);

// The empty list's text (empty_list_win32.cpp).
// Draws it over what the list painted in `update` (client coordinates, null for all).
void PaintEmptyText(TControl::Impl& list, HRGN update);
// Describes the list to screen readers by its empty text while `empty`; no longer once not.
void AnnotateEmptyList(TControl::Impl& list, bool empty);
void FreeAnnotation(TControl::Impl& list);

// Puts the form's children into z-order: tab order, each label just before the control it names.
void Restack(const TControl::Impl& form);

// Fonts (fonts_win32.cpp).
// Makes the form's fonts for its dpi and gives each child control the one for its text.
void RebuildFonts(TControl::Impl& form);
void DeleteFonts(TControl::Impl& form);
// Gives a control the form's font for its current text; true when that changed its font.
bool RefreshFont(TControl& control);
// The same for a list box that has just gained `item`.
bool RefreshFontForItem(TControl::Impl& list, const UnicodeString& item);

// Colours and focus cues (appearance_win32.cpp).
// Chooses the form's colours for the current scheme and repaints when they or `force` say so.
void RefreshColors(TControl::Impl& form, bool force);
HBRUSH BackgroundBrush(const TControl::Impl& form);
// Colours a label's text on the form's background; the result is WM_CTLCOLORSTATIC's.
LRESULT ColorLabel(const TControl::Impl& form, HDC dc);
// Drops a request to hide the focus cue from a WM_CHANGEUISTATE or WM_UPDATEUISTATE `wparam`;
// false when nothing is left to do.
bool KeepFocusCue(WPARAM& wparam);
// Shows the focus cue in the form and its controls from now on.
void ShowFocusCue(const TControl::Impl& form);

}  // namespace vcl
