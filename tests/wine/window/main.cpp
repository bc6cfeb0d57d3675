// Runs the window tests. Like the program, this process is per-monitor dpi aware, so that the
// program's window coordinates reach it unscaled.
#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>

#include "tests/wine/window/dialog_font.h"

int main(int argc, char** argv) {
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  ::testing::InitGoogleTest(&argc, argv);
  if (const wchar_t* problem = pdwin::ModelDialogFont()) {
    std::fprintf(stderr, "%ls\n", problem);
    return 1;
  }
  return RUN_ALL_TESTS();
}
