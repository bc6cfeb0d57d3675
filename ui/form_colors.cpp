#include "ui/form_colors.h"

namespace ui {

FormColors ChooseFormColors(SysColor design_background, bool high_contrast) {
  if (high_contrast) return {SysColor::Window, SysColor::WindowText};
  // Each background with the text colour the scheme pairs with it, never a fixed colour, so a
  // scheme with a dark background keeps the text readable.
  if (design_background == SysColor::ButtonFace)
    return {SysColor::ButtonFace, SysColor::ButtonText};
  return {design_background, SysColor::WindowText};
}

}  // namespace ui
