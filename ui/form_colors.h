// Which system colours a form paints with, kept apart from the window layer so that host tests
// cover the choice.
#pragma once

namespace ui {

// System colour indices, numbered as GetSysColor numbers them.
enum class SysColor : int {
  ButtonFace = 15,
  ButtonText = 18,
  ButtonHighlight = 20,
  Window = 5,
  WindowText = 8
};

struct FormColors {
  SysColor background;
  SysColor text;  // for the form's own text on that background, e.g. its labels
};

// The colours for a form designed on `design_background`. Under high contrast the user's scheme
// decides, and only its window pair is sure to be readable.
FormColors ChooseFormColors(SysColor design_background, bool high_contrast);

}  // namespace ui
