// A form's colours follow the user's scheme and high contrast; its focus cue stays visible,
// since the form does its own keyboard handling and the dialog manager never reveals it.
#include "ui/win32/impl_win32.h"

namespace vcl {

namespace {

static_assert(static_cast<int>(ui::SysColor::ButtonFace) == COLOR_BTNFACE);
static_assert(static_cast<int>(ui::SysColor::ButtonText) == COLOR_BTNTEXT);
static_assert(static_cast<int>(ui::SysColor::ButtonHighlight) == COLOR_BTNHIGHLIGHT);
static_assert(static_cast<int>(ui::SysColor::Window) == COLOR_WINDOW);
static_assert(static_cast<int>(ui::SysColor::WindowText) == COLOR_WINDOWTEXT);

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) != FALSE &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

void RefreshColors(TControl::Impl& form, bool force) {
  const ui::FormColors colors = ui::ChooseFormColors(form.design_color, HighContrastOn());
  const bool changed =
      colors.background != form.colors.background || colors.text != form.colors.text;
  form.colors = colors;
  if ((changed || force) && form.hwnd != nullptr) {
    RedrawWindow(form.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
}

HBRUSH BackgroundBrush(const TControl::Impl& form) {
  return GetSysColorBrush(static_cast<int>(form.colors.background));
}

LRESULT ColorLabel(const TControl::Impl& form, HDC dc) {
  SetTextColor(dc, GetSysColor(static_cast<int>(form.colors.text)));
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(BackgroundBrush(form));
}

bool KeepFocusCue(WPARAM& wparam) {
  const WORD action = LOWORD(wparam);
  WORD flags = HIWORD(wparam);
  if (action == UIS_SET || action == UIS_INITIALIZE) flags &= static_cast<WORD>(~UISF_HIDEFOCUS);
  wparam = MAKEWPARAM(action, flags);
  return flags != 0;
}

void ShowFocusCue(const TControl::Impl& form) {
  SendMessageW(form.hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

}  // namespace vcl
