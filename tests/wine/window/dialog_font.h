// The prefix's dialog font, made like Windows' for the run's language.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace pdwin {

// Windows draws dialog text (the message font) in Segoe UI, or Microsoft YaHei UI on Chinese
// Windows, whose lines are about a third taller than their characters; Wine's stand-ins are
// shorter and would hide a row or a control too short for a line. Makes the prefix's message
// font a face as tall for this process's language: Open Sans, or Noto Sans CJK. Programs
// started afterwards draw with it. False, with the reason in `problem`, when the face is missing
// or the setting fails.
bool ModelDialogFont(std::wstring* problem);

}  // namespace pdwin
