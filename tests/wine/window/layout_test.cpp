// The window's frame, layout and keyboard order, at the run's screen dpi.
#include "tests/wine/window/window_fixture.h"

namespace pdwin {
namespace {

using LayoutTest = OpenWindowTest;

::testing::AssertionResult AtStoredPlace(HWND control, int left, int top, int width, int height) {
  const RECT rect = RectInParent(control);
  const RECT expected{Scaled(left), Scaled(top), Scaled(left) + Scaled(width),
                      Scaled(top) + Scaled(height)};
  if (EqualRect(&rect, &expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "at (" << rect.left << "," << rect.top << ") size " << rect.right - rect.left << "x"
         << rect.bottom - rect.top << "; expected (" << expected.left << "," << expected.top
         << ") size " << expected.right - expected.left << "x" << expected.bottom - expected.top;
}

TEST_F(LayoutTest, ClientAreaAndControlsAtTheStoredPlaces) {
  EXPECT_EQ(static_cast<int>(GetDpiForWindow(form_)), ExpectedDpi());
  const RECT client = ClientRect(form_);
  EXPECT_EQ(client.right, Scaled(386));
  EXPECT_EQ(client.bottom, Scaled(266));

  EXPECT_TRUE(AtStoredPlace(list_, 40, 51, 297, 159)) << "list";
  EXPECT_TRUE(AtStoredPlace(cancel_, 296, 231, 75, 25)) << "Cancel";
  EXPECT_TRUE(AtStoredPlace(ok_, 215, 231, 75, 25)) << "OK";

  // The title keeps its corner and sizes itself to its text, which fits inside the window.
  const RECT label = RectInParent(label_);
  EXPECT_EQ(label.left, Scaled(96));
  EXPECT_EQ(label.top, Scaled(29));
  EXPECT_GT(label.right - label.left, Scaled(100));
  EXPECT_LE(label.right, client.right);
  EXPECT_GE(label.bottom - label.top, Scaled(16));
  EXPECT_LE(label.bottom, Scaled(51)) << "the title overlaps the list";
}

TEST_F(LayoutTest, ToolWindowFrameAndListStyles) {
  EXPECT_NE(ExStyle(form_) & WS_EX_TOOLWINDOW, 0u);
  EXPECT_EQ(Style(form_) & WS_THICKFRAME, 0u) << "the window can be resized";
  EXPECT_NE(Style(form_) & WS_CAPTION, 0u);

  const DWORD list_style = Style(list_);
  EXPECT_NE(list_style & LBS_MULTICOLUMN, 0u);
  EXPECT_EQ(list_style & LBS_SORT, 0u);
  EXPECT_EQ(list_style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0u) << "more than one selection";
  // Taller where the list's font needs it: FontsTest holds the rows to the font's line.
  EXPECT_GE(SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0), Scaled(16));
}

TEST_F(LayoutTest, TabGoesListCancelOk) {
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(form_) == list_; }, 5000))
      << "the list does not start with the focus";
  for (HWND next : {cancel_, ok_, list_}) {
    PostKey(FocusOf(form_), VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(form_) == next; }, 5000))
        << "Tab led to \"" << WindowText(FocusOf(form_)) << "\", not \"" << WindowText(next)
        << "\"";
  }
}

}  // namespace
}  // namespace pdwin
