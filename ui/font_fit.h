// Whether a control may draw its text in the form's design font, kept apart from the window layer
// so that host tests cover the choice.
#pragma once

#include <functional>

namespace ui {

// The design font as the system realized it for the form's dpi.
struct RealizedFont {
  bool raster = false;
  int char_height = 0;  // cell height less internal leading
};

// True when a text may be drawn in the design font, asked with `design_height` (negative: the
// character height at 96 dpi) at `dpi`. A raster font is drawn only at its designed sizes or
// whole multiples of them, and only in its code page, which `text_in_code_page` checks; a
// scalable one takes any size and falls back to other fonts for scripts it lacks.
bool KeepsDesignFont(const RealizedFont& font, int design_height, int dpi,
                     const std::function<bool()>& text_in_code_page);

}  // namespace ui
