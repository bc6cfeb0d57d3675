#include "ui/font_fit.h"

namespace ui {

namespace {

constexpr int kDesignDpi = 96;

}  // namespace

bool KeepsDesignFont(const RealizedFont& font, int design_height, int dpi,
                     const std::function<bool()>& text_in_code_page) {
  if (!font.raster) return true;
  // Scaled, a raster font is either left at a designed size, too small, or stretched to a
  // blocky multiple of one; unscaled, it must still be the size the form was designed with.
  return dpi == kDesignDpi && font.char_height == -design_height && text_in_code_page();
}

}  // namespace ui
