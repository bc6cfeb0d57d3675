// The window paints with the user's colour scheme, also when it changes while the window is open.
#include <algorithm>
#include <utility>
#include <vector>

#include "tests/wine/window/font_probe.h"
#include "tests/wine/window/screenshot.h"
#include "tests/wine/window/window_fixture.h"

namespace pdwin {
namespace {

// System colours changed for the session while it lives; the old ones come back afterwards,
// so that later tests in the prefix see the default scheme.
class SchemeColors {
 public:
  SchemeColors(std::vector<int> indices, std::vector<COLORREF> values)
      : indices_(std::move(indices)) {
    for (int index : indices_) originals_.push_back(GetSysColor(index));
    changed_ = SetSysColors(static_cast<int>(indices_.size()), indices_.data(), values.data());
  }
  ~SchemeColors() {
    if (changed_) {
      SetSysColors(static_cast<int>(indices_.size()), indices_.data(), originals_.data());
    }
  }
  SchemeColors(const SchemeColors&) = delete;
  SchemeColors& operator=(const SchemeColors&) = delete;
  bool changed() const { return changed_; }

 private:
  std::vector<int> indices_;
  std::vector<COLORREF> originals_;
  bool changed_ = false;
};

size_t CountOf(const std::vector<COLORREF>& pixels, COLORREF color) {
  return static_cast<size_t>(std::count(pixels.begin(), pixels.end(), color));
}

using ColorsTest = WindowTest;

TEST_F(ColorsTest, TitleStaysReadableOnADarkBackground) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1"}));
  // A scheme whose button-highlight colour is dark.
  const COLORREF dark = RGB(0, 0, 128);
  const COLORREF text = RGB(255, 255, 0);
  const COLORREF black = RGB(0, 0, 0);
  {
    SchemeColors scheme({COLOR_BTNHIGHLIGHT, COLOR_WINDOWTEXT}, {dark, text});
    ASSERT_TRUE(scheme.changed()) << "SetSysColors failed: " << GetLastError();
    ASSERT_NO_FATAL_FAILURE(StartApp());
    const bool repainted = WaitUntil(
        [&] {
          const std::vector<COLORREF> title = ScreenColors(label_);
          return CountOf(title, text) > 0 && CountOf(title, dark) > 0;
        },
        5000, 50);
    const std::vector<COLORREF> title = ScreenColors(label_);
    ASSERT_FALSE(title.empty()) << "cannot read the screen";
    EXPECT_TRUE(repainted) << "title pixels: " << CountOf(title, text) << " in the text colour, "
                           << CountOf(title, dark) << " in the background colour, "
                           << CountOf(title, black) << " black, of " << title.size();
    EXPECT_EQ(CountOf(title, black), 0u) << "the title is drawn in fixed black";
    // Beside the controls, the window itself shows the background colour.
    EXPECT_EQ(ScreenColorAt(form_, POINT{Scaled(10), Scaled(10)}), dark);
    PostMessageW(form_, WM_CLOSE, 0, 0);
    ExpectCleanExit();
  }
}

// Only top-level windows hear of a new scheme from the system; the list and the buttons (whose
// common controls keep colours of their own) hear of it from the window.
TEST_F(ColorsTest, ASchemeChangedWhileOpenReachesTheListAndTheButtons) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1"}));
  ASSERT_NO_FATAL_FAILURE(StartApp());
  const ProbeWatch watch(form_);
  ASSERT_TRUE(watch.ok()) << watch.problem();
  FontProbeReport report{};
  {
    SchemeColors scheme({COLOR_WINDOW, COLOR_BTNFACE}, {RGB(0, 0, 0), RGB(0, 0, 0)});
    ASSERT_TRUE(scheme.changed()) << "SetSysColors failed: " << GetLastError();
    std::wstring problem;
    ASSERT_TRUE(ReadFonts(form_, &report, &problem)) << problem;
  }
  for (HWND control : {list_, ok_, cancel_}) {
    const ProbedFont* seen = FontOf(report, control);
    ASSERT_NE(seen, nullptr) << WindowText(control);
    EXPECT_GT(seen->color_changes, 0) << WindowText(control);
  }
  PostMessageW(form_, WM_CLOSE, 0, 0);
  ExpectCleanExit();
}

}  // namespace
}  // namespace pdwin
