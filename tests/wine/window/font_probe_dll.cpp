// Hooked into the running program's window thread by the window tests (font_probe.h): reports
// the font each of its windows draws with, from inside it.
#include <cwctype>
#include <string>
#include <vector>

#include "tests/wine/window/font_probe.h"

namespace {

// WM_SYSCOLORCHANGE messages per window since the probe was loaded.
struct ColorChanges {
  HWND window;
  int count;
};
ColorChanges g_color_changes[16];

ColorChanges* ColorChangesOf(HWND window, bool add) {
  for (ColorChanges& entry : g_color_changes) {
    if (entry.window == window) return &entry;
    if (entry.window == nullptr && add) {
      entry.window = window;
      return &entry;
    }
  }
  return nullptr;
}

struct Context {
  pdwin::FontProbeReport* report;
  HWND form = nullptr;
};

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
  return text;
}

std::vector<std::wstring> TextsOf(HWND window) {
  wchar_t window_class[32] = {};
  GetClassNameW(window, window_class, 32);
  if (lstrcmpiW(window_class, L"ListBox") != 0) return {TextOf(window)};
  std::vector<std::wstring> items;
  const auto count = static_cast<int>(SendMessageW(window, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(window, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length == LB_ERR) continue;
    std::wstring item(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(window, LB_GETTEXT, static_cast<WPARAM>(i),
                                        reinterpret_cast<LPARAM>(&item[0]));
    item.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    items.push_back(item);
  }
  return items;
}

// Draws `text` black on white in the font selected into `dc`; returns the pixels.
std::vector<DWORD> Draw(HDC dc, HBITMAP bitmap, void* bits, int width, int height,
                        const wchar_t* text, int length) {
  const HGDIOBJ old = SelectObject(dc, bitmap);
  const RECT all{0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, 0, 0, text, length);
  GdiFlush();
  const auto* pixels = static_cast<const DWORD*>(bits);
  std::vector<DWORD> copy(pixels, pixels + static_cast<size_t>(width) * height);
  SelectObject(dc, old);
  return copy;
}

// Counts the characters of `texts` that come out as the font's missing-glyph box: drawn alike
// with a character no font has.
int CountBoxes(HFONT font, int cell, const std::vector<std::wstring>& texts, wchar_t* first,
               size_t first_size) {
  HDC dc = CreateCompatibleDC(nullptr);
  const int width = 4 * cell;
  const int height = 2 * cell;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old_font = SelectObject(dc, font);
  const wchar_t missing = 0xFFFF;  // a noncharacter: no font draws it
  const std::vector<DWORD> box = Draw(dc, bitmap, bits, width, height, &missing, 1);
  int boxes = 0;
  for (const std::wstring& text : texts) {
    for (wchar_t c : text) {
      if (std::iswspace(c) || Draw(dc, bitmap, bits, width, height, &c, 1) != box) continue;
      if (boxes++ == 0) lstrcpynW(first, text.c_str(), static_cast<int>(first_size));
    }
  }
  SelectObject(dc, old_font);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return boxes;
}

bool IsClass(HWND window, const wchar_t* name) {
  wchar_t window_class[64] = {};
  GetClassNameW(window, window_class, 64);
  return lstrcmpiW(window_class, name) == 0;
}

void Probe(HWND window, pdwin::ProbedFont* out) {
  *out = pdwin::ProbedFont{};
  out->window = reinterpret_cast<ULONGLONG>(window);
  auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  if (font == nullptr) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  HDC dc = GetDC(window);
  const HGDIOBJ old = SelectObject(dc, font);
  GetTextFaceW(dc, LF_FACESIZE, out->face);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  out->char_height = metrics.tmHeight - metrics.tmInternalLeading;
  out->weight = metrics.tmWeight;
  out->raster = (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) == 0 ? 1 : 0;
  out->line_height = metrics.tmHeight;
  if (const ColorChanges* changes = ColorChangesOf(window, false)) {
    out->color_changes = changes->count;
  }
  RECT client{};
  GetClientRect(window, &client);
  out->client_width = client.right;
  out->client_height = client.bottom;
  if (IsClass(window, L"ListBox")) {
    out->item_height = static_cast<int>(SendMessageW(window, LB_GETITEMHEIGHT, 0, 0));
  }
  const std::vector<std::wstring> texts = TextsOf(window);
  for (const std::wstring& text : texts) {
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    if (extent.cx > out->text_width) out->text_width = extent.cx;
    if (extent.cy > out->text_height) out->text_height = extent.cy;
  }
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  out->boxes = CountBoxes(font, metrics.tmHeight, texts, out->boxed_text,
                          sizeof(out->boxed_text) / sizeof(out->boxed_text[0]));
}

bool Ours(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid == GetCurrentProcessId();
}

void Add(Context* context, HWND window) {
  pdwin::FontProbeReport& report = *context->report;
  const int capacity = sizeof(report.fonts) / sizeof(report.fonts[0]);
  if (report.count < capacity) Probe(window, &report.fonts[report.count++]);
}

BOOL CALLBACK AddChild(HWND window, LPARAM param) {
  auto* context = reinterpret_cast<Context*>(param);
  if (GetParent(window) == context->form) Add(context, window);
  return TRUE;
}

BOOL CALLBACK AddTooltip(HWND window, LPARAM param) {
  if (Ours(window) && IsClass(window, L"tooltips_class32") && IsWindowVisible(window)) {
    Add(reinterpret_cast<Context*>(param), window);
  }
  return TRUE;
}

// The width of the window's icon of `kind` (ICON_BIG, ICON_SMALL); 0 when it has none.
int IconWidth(HWND window, WPARAM kind) {
  const auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, kind, 0));
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

// Writes the report into the mapping that the test made for this process.
void AnswerProbe(HWND form, pdwin::FontProbeAnswer* answer) {
  Context context{&answer->report, form};
  answer->report.count = 0;
  EnumChildWindows(form, AddChild, reinterpret_cast<LPARAM>(&context));
  EnumWindows(AddTooltip, reinterpret_cast<LPARAM>(&context));
  answer->report.big_icon = IconWidth(form, ICON_BIG);
  answer->report.small_icon = IconWidth(form, ICON_SMALL);
}

// The rectangle's address must mean something to the window: made here.
void MoveToDpi(HWND form, WORD dpi, pdwin::FontProbeAnswer* answer) {
  RECT suggested{};
  GetWindowRect(form, &suggested);
  SIZE size{};
  if (SendMessageW(form, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&size)) != 0) {
    answer->scaled_size = size;
    suggested.right = suggested.left + size.cx;
    suggested.bottom = suggested.top + size.cy;
  }
  SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

}  // namespace

// Runs on the program's window thread, before the window sees the message.
extern "C" __declspec(dllexport) LRESULT CALLBACK
    ProbeHook(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && call->message == WM_SYSCOLORCHANGE) {
    if (ColorChanges* changes = ColorChangesOf(call->hwnd, true)) ++changes->count;
  }
  if (code == HC_ACTION && call->message == RegisterWindowMessageW(pdwin::kProbeMessage)) {
    const pdwin::AnswerMapping mapping(GetCurrentProcessId(), false);
    if (pdwin::FontProbeAnswer* answer = mapping.get()) {
      if (call->wParam == 0) {
        AnswerProbe(call->hwnd, answer);
      } else {
        MoveToDpi(call->hwnd, static_cast<WORD>(call->wParam), answer);
      }
      answer->answered = 1;
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}
