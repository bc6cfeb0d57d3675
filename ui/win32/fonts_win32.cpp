// The form's fonts. Each control draws in the design font where that font can draw its text at
// the form's dpi, and otherwise in the system's face for dialog text at the same size and weight.
#include "ui/font_fit.h"
#include "ui/win32/impl_win32.h"

namespace vcl {

namespace {

// The charset of the user's language. DEFAULT_CHARSET would follow the process's code page, which
// the manifest makes UTF-8, and pick a font without the user's script.
BYTE UserCharset() {
  DWORD code_page = 0;
  CHARSETINFO info{};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                     reinterpret_cast<LPWSTR>(&code_page),
                     sizeof(code_page) / sizeof(WCHAR)) == 0 ||
      !TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<UINT_PTR>(code_page)), &info,
                            TCI_SRCCODEPAGE)) {
    return DEFAULT_CHARSET;
  }
  return static_cast<BYTE>(info.ciCharset);
}

int FontHeight(const TControl::Impl& form) { return MulDiv(form.font.height, form.dpi, 96); }

HFONT CreateDesignFont(const TControl::Impl& form) {
  return CreateFontW(FontHeight(form), 0, 0, 0, form.font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                     FALSE, UserCharset(), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH, AsWide(form.font.face));
}

// The face Windows draws dialog text in for the user's language (Segoe UI, Microsoft YaHei UI,
// ...): it is always there, scales, and falls back through font linking for other scripts.
HFONT CreateScalableFont(const TControl::Impl& form) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  const wchar_t* face = L"Tahoma";
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) &&
      metrics.lfMessageFont.lfFaceName[0] != L'\0') {
    face = metrics.lfMessageFont.lfFaceName;
  }
  return CreateFontW(FontHeight(form), 0, 0, 0, form.font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                     FALSE, UserCharset(), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, face);
}

// What the system made of the design font, and the code page a raster one draws.
void RealizeDesignFont(TControl::Impl& form) {
  const ClientDc dc(form.hwnd);
  const FontSelection selection(dc.get(), form.hfont);
  TEXTMETRICW metrics{};
  form.design_font = ui::RealizedFont{};
  form.design_code_page = 0;
  if (!GetTextMetricsW(dc.get(), &metrics)) return;
  form.design_font.raster = (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) == 0;
  form.design_font.char_height = metrics.tmHeight - metrics.tmInternalLeading;
  CHARSETINFO info{};
  const int charset = GetTextCharsetInfo(dc.get(), nullptr, 0);
  if (TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<UINT_PTR>(charset)), &info,
                           TCI_SRCCHARSET)) {
    form.design_code_page = info.ciACP;
  }
}

bool CodePageHolds(UINT code_page, const UnicodeString& text) {
  if (text.empty()) return true;
  if (code_page == 0) return false;
  BOOL used_default = FALSE;
  const int length =
      WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, AsWide(text),
                          static_cast<int>(text.size()), nullptr, 0, nullptr, &used_default);
  return length > 0 && !used_default;
}

// The form's font that draws `text`; the scalable one is made the first time it is needed.
HFONT FontFor(TControl::Impl& form, const UnicodeString& text) {
  if (ui::KeepsDesignFont(form.design_font, form.font.height, form.dpi,
                          [&] { return CodePageHolds(form.design_code_page, text); })) {
    return form.hfont;
  }
  if (form.scalable_font == nullptr) form.scalable_font = CreateScalableFont(form);
  return form.scalable_font != nullptr ? form.scalable_font : form.hfont;
}

UnicodeString TextOf(const TControl& control) {
  if (control.impl().kind == TControl::Kind::ListBox) {
    const auto& list = static_cast<const TListBox&>(control);
    return list.Count() != 0 ? list.ItemsText() : control.impl().empty_text;
  }
  return control.GetText();
}

bool GiveFont(TControl::Impl& control, HFONT font) {
  if (font == control.drawn_font) return false;
  control.drawn_font = font;
  SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  return true;
}

}  // namespace

void RebuildFonts(TControl::Impl& form) {
  const HFONT old_fonts[2] = {form.hfont, form.scalable_font};
  form.hfont = CreateDesignFont(form);
  form.scalable_font = nullptr;
  RealizeDesignFont(form);
  SendMessageW(form.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(form.hfont), FALSE);
  for (TControl* child : form.children) GiveFont(child->impl(), FontFor(form, TextOf(*child)));
  for (HFONT old : old_fonts) {
    if (old != nullptr) DeleteObject(old);
  }
}

void DeleteFonts(TControl::Impl& form) {
  for (HFONT* font : {&form.hfont, &form.scalable_font}) {
    if (*font != nullptr) DeleteObject(*font);
    *font = nullptr;
  }
}

bool RefreshFont(TControl& control) {
  if (control.impl().parent == nullptr) return false;  // a form's own caption is the system's
  TControl::Impl& form = control.impl().parent->impl();
  if (!form.laid_out) return false;  // the fonts are made when the form first shows
  return GiveFont(control.impl(), FontFor(form, TextOf(control)));
}

bool RefreshFontForItem(TControl::Impl& list, const UnicodeString& item) {
  TControl::Impl& form = list.parent->impl();
  if (!form.laid_out || list.drawn_font != form.hfont) return false;
  return GiveFont(list, FontFor(form, item));
}

}  // namespace vcl
