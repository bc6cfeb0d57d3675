// Reading and driving a window of another process, through the calls and messages that Windows
// (and Wine) carry across process boundaries.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace pdwin {

// The top-level window of class `window_class` that belongs to process `pid`, shown or not.
HWND FindProcessWindow(DWORD pid, const wchar_t* window_class);
// A visible top-level window of class `window_class` owned by `owner` (a dialog it opened).
HWND FindOwnedWindow(HWND owner, const wchar_t* window_class);

std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
bool ClassIs(HWND hwnd, const wchar_t* window_class);

// The direct children of `parent` in z-order, which is the order Tab walks.
std::vector<HWND> Children(HWND parent);
// The first direct child of that class, or null.
HWND FindChild(HWND parent, const wchar_t* window_class);
// The direct child of that class showing `text`, or null.
HWND FindChild(HWND parent, const wchar_t* window_class, const std::wstring& text);

std::vector<std::wstring> ListItems(HWND list);
// The selected item's index, or -1.
int ListSelection(HWND list);

RECT ClientRect(HWND hwnd);
// The child's window rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);
DWORD Style(HWND hwnd);
DWORD ExStyle(HWND hwnd);

// The window with the keyboard focus in the thread that owns `window`, or null.
HWND FocusOf(HWND window);

// A key press posted to `target` as WM_KEYDOWN and WM_KEYUP; the program's message loop
// translates it like one from the keyboard.
void PostKey(HWND target, WORD virtual_key);
// A key press through the system's input queue, after making `window` the foreground window.
bool TypeKey(HWND window, WORD virtual_key);
// The same for a combination such as Shift+Tab: pressed in order, released in reverse.
bool TypeChord(HWND window, std::initializer_list<WORD> virtual_keys);

}  // namespace pdwin
