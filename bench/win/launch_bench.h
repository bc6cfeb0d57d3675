// Whole-program figures taken from outside the program: the time from process start until its
// window is shown with its list filled, and waiting for / closing such a window.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

struct LaunchTarget {
  std::wstring exe;
  std::wstring window_class;
  int expected_items = -1;  // items the window's list box must show; -1: no list box
};

// Milliseconds from CreateProcess until the target's window is visible (and filled); the
// program is closed again before this returns.
bool TimeStartup(const LaunchTarget& target, double* ms);
// Waits until a window of the target's class, of any process, is visible and filled.
bool WaitForReadyWindow(const LaunchTarget& target);
// Asks every window of that class to close.
void CloseWindows(const std::wstring& window_class);

}  // namespace bench
