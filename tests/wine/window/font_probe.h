// The fonts the running program draws its text with, read inside it: GDI font handles mean
// nothing in another process, so a probe DLL (font_probe_dll.cpp) is hooked into the program's
// window thread and reads each of its windows there.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace pdwin {

// One window's font as realized in its own device context.
struct ProbedFont {
  ULONGLONG window;  // the HWND
  wchar_t face[LF_FACESIZE];
  int char_height;  // cell height less internal leading
  int weight;
  int raster;  // 1 for a raster font, which draws only at its designed sizes
  // The extent of the window's widest text: its caption, list item or tip.
  int text_width;
  int text_height;
  // Characters of its texts drawn as the font's missing-glyph box, and the first such text.
  int boxes;
  wchar_t boxed_text[128];
  int line_height;  // tmHeight: ascent plus descent
  int item_height;  // a list box's rows; 0 for other windows
  int client_width;
  int client_height;
  int color_changes;  // WM_SYSCOLORCHANGE messages it received while a ProbeWatch lasted
};

// What the probe hands back: the program's main window's children, then its visible tooltips,
// and the sizes of the main window's big and small icons.
struct FontProbeReport {
  int count;
  ProbedFont fonts[8];
  int big_icon;
  int small_icon;
};

// The probe's WH_CALLWNDPROC hook answers this registered message sent to the main window: with
// wParam 0 it writes a FontProbeReport into the mapping named kProbeMapping + the program's
// process id; otherwise it tells the window it now lies on a screen at wParam dpi, as Windows
// 10 1703 and later do when the window moves to a monitor with another dpi: WM_GETDPISCALEDSIZE
// first, whose answer it writes there too, then WM_DPICHANGED with a rectangle of that size (of
// the window's present size when unanswered) at the window's place.
constexpr char kProbeHook[] = "ProbeHook";
constexpr wchar_t kProbeMessage[] = L"PrinterDefaultsTestFontProbe";
constexpr wchar_t kProbeMapping[] = L"PrinterDefaultsTestFontProbe-";

// What the mapping holds: the report, and whether the probe wrote it; after a move, the window's
// answer to WM_GETDPISCALEDSIZE (0 x 0 when it gave none).
struct FontProbeAnswer {
  int answered;
  FontProbeReport report;
  SIZE scaled_size;
};

// The mapping that carries the answer for process `pid`, mapped here: made by the test,
// opened by the probe. get() is null when that failed.
class AnswerMapping {
 public:
  AnswerMapping(DWORD pid, bool create) {
    const std::wstring name = kProbeMapping + std::to_wstring(pid);
    mapping_ = create ? CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           sizeof(FontProbeAnswer), name.c_str())
                      : OpenFileMappingW(FILE_MAP_WRITE, FALSE, name.c_str());
    if (mapping_ == nullptr) return;
    answer_ = static_cast<FontProbeAnswer*>(
        MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(FontProbeAnswer)));
    if (answer_ != nullptr && create) *answer_ = FontProbeAnswer{};
  }
  ~AnswerMapping() {
    if (answer_ != nullptr) UnmapViewOfFile(answer_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
  }
  AnswerMapping(const AnswerMapping&) = delete;
  AnswerMapping& operator=(const AnswerMapping&) = delete;
  FontProbeAnswer* get() const { return answer_; }

 private:
  HANDLE mapping_ = nullptr;
  FontProbeAnswer* answer_ = nullptr;
};

// The probe (PD_FONT_PROBE_DLL) hooked into the thread of `form`, the program's main window,
// for as long as this lives; meanwhile it counts each window's WM_SYSCOLORCHANGE messages.
class ProbeWatch {
 public:
  explicit ProbeWatch(HWND form);
  ~ProbeWatch();
  ProbeWatch(const ProbeWatch&) = delete;
  ProbeWatch& operator=(const ProbeWatch&) = delete;
  bool ok() const { return hook_ != nullptr; }
  const std::wstring& problem() const { return problem_; }

 private:
  HMODULE module_ = nullptr;
  HHOOK hook_ = nullptr;
  std::wstring problem_;
};

// Hook the probe (PD_FONT_PROBE_DLL) into the thread of `form`, the program's main window, and
// have it answer; false, with the reason in `problem`, when that fails. Every wait is bounded.
bool ReadFonts(HWND form, FontProbeReport* report, std::wstring* problem);
// Moves `form` to a screen at `dpi`; `scaled_size` receives its answer to WM_GETDPISCALEDSIZE.
bool MoveToDpi(HWND form, int dpi, SIZE* scaled_size, std::wstring* problem);
// The report's entry for `window`, or null.
const ProbedFont* FontOf(const FontProbeReport& report, HWND window);

}  // namespace pdwin
