#include <gtest/gtest.h>

#include "ui/font_fit.h"

namespace {

struct FitCase {
  const char* name;
  ui::RealizedFont font;
  int dpi;
  bool in_code_page;
  bool keeps;
};

void PrintTo(const FitCase& c, std::ostream* out) { *out << c.name; }

class FontFitTest : public ::testing::TestWithParam<FitCase> {};

// The window's "System", -13: Windows' raster system font serves only as designed, a scalable
// stand-in at any size. Another size at 96 dpi is one only real Windows shows: its system font
// for a screen set up at 120 dpi, with the window on a 96-dpi monitor.
TEST_P(FontFitTest, RasterOnlyAsDesignedScalableAlways) {
  const FitCase& c = GetParam();
  bool asked = false;
  EXPECT_EQ(ui::KeepsDesignFont(c.font, -13, c.dpi,
                                [&] {
                                  asked = true;
                                  return c.in_code_page;
                                }),
            c.keeps);
  if (!c.font.raster) {
    EXPECT_FALSE(asked) << "a scalable font falls back to others by itself";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, FontFitTest,
    ::testing::Values(FitCase{"RasterAsDesigned", {true, 13}, 96, true, true},
                      FitCase{"RasterStretchedToTwice", {true, 26}, 192, true, false},
                      FitCase{"RasterLeftSmall", {true, 13}, 144, true, false},
                      FitCase{"RasterOfAnotherSize", {true, 16}, 96, true, false},
                      FitCase{"RasterWithoutTheScript", {true, 13}, 96, false, false},
                      FitCase{"ScalableAtAnyDpi", {false, 20}, 144, false, true}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return info.param.name; });

}  // namespace
