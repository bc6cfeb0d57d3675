// Pictures of a window as it is on screen, for people to look at after a test run.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <vector>

namespace pdwin {

// Saves what the screen shows inside `window`'s rectangle (frame included) as a PNG file at
// `path` (a Windows path). Returns S_OK or the failing call's result.
HRESULT SaveWindowPng(HWND window, const std::wstring& path);

// The colours the screen shows inside `child`'s window rectangle, row by row; empty when the
// screen cannot be read.
std::vector<COLORREF> ScreenColors(HWND child);
// The colour the screen shows at a point of `window`'s client area.
COLORREF ScreenColorAt(HWND window, POINT client_point);

}  // namespace pdwin
