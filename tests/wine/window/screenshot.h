// Pictures of a window as it is on screen, for people to look at after a test run.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace pdwin {

// Saves what the screen shows inside `window`'s rectangle (frame included) as a PNG file at
// `path` (a Windows path). Returns S_OK or the failing call's result.
HRESULT SaveWindowPng(HWND window, const std::wstring& path);

}  // namespace pdwin
