// The fonts the running program draws its text with, read inside it: GDI font handles mean
// nothing in another process, so a probe DLL (font_probe_dll.cpp) is loaded into the program
// and reads each of its windows there.
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
};

// What the probe hands back: the program's main window's children, then its visible tooltips.
struct FontProbeReport {
  int count;
  ProbedFont fonts[8];
};

// The probe's entries, each run on a thread of its own in the program on a block there; they
// return 1 when they found the main window. This one fills a FontProbeReport.
constexpr char kFontProbeEntry[] = "ProbeFonts";
// This one tells the main window it now lies on a screen at the dpi (an int) in the block, as
// Windows does when the window moves to a monitor with another dpi.
constexpr char kMoveToDpiEntry[] = "MoveToDpi";

// Load the probe (PD_FONT_PROBE_DLL) into process `pid` and run an entry; false, with the reason
// in `problem`, when that fails.
bool ReadFonts(DWORD pid, FontProbeReport* report, std::wstring* problem);
bool MoveToDpi(DWORD pid, int dpi, std::wstring* problem);
// The report's entry for `window`, or null.
const ProbedFont* FontOf(const FontProbeReport& report, HWND window);

}  // namespace pdwin
