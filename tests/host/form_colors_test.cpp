#include <gtest/gtest.h>

#include "ui/form_colors.h"

namespace {

using ui::SysColor;

struct ColorCase {
  const char* name;
  SysColor design;
  bool high_contrast;
  SysColor background;
  SysColor text;
};

class FormColorsTest : public ::testing::TestWithParam<ColorCase> {};

// Text always comes from the scheme (never fixed black), from the pair that belongs to the
// background, and high contrast replaces whatever the form was designed with.
TEST_P(FormColorsTest, BackgroundAndTextComeFromOneSchemePair) {
  const ColorCase& c = GetParam();
  const ui::FormColors colors = ui::ChooseFormColors(c.design, c.high_contrast);
  EXPECT_EQ(colors.background, c.background);
  EXPECT_EQ(colors.text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Schemes, FormColorsTest,
    ::testing::Values(ColorCase{"Highlight", SysColor::ButtonHighlight, false,
                                SysColor::ButtonHighlight, SysColor::WindowText},
                      ColorCase{"HighlightHighContrast", SysColor::ButtonHighlight, true,
                                SysColor::Window, SysColor::WindowText},
                      ColorCase{"Face", SysColor::ButtonFace, false, SysColor::ButtonFace,
                                SysColor::ButtonText},
                      ColorCase{"FaceHighContrast", SysColor::ButtonFace, true, SysColor::Window,
                                SysColor::WindowText}),
    [](const ::testing::TestParamInfo<ColorCase>& info) { return info.param.name; });

}  // namespace
