// What the window does for the user around the list: the empty list says why, the chosen
// printer stays chosen and the only one is chosen, OK only with a printer selected, typing finds
// a printer by what follows the brand, and a double click on a printer presses OK.
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/window/screenshot.h"
#include "tests/wine/window/window_fixture.h"

namespace pdwin {
namespace {

// Generous bound for a refresh (once a second) and a repaint to show.
constexpr DWORD kSettleMs = 10000;

class PickerTest : public PointerWindowTest {
 protected:
  // Pixels drawn in the list below its first two rows, where one printer leaves it blank and
  // the empty text's second sentence lies.
  int DrawnBelowTwoRows() const {
    const std::vector<COLORREF> colors = ScreenColors(list_);
    RECT window{};
    GetWindowRect(list_, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    if (colors.size() != static_cast<size_t>(width) * height) return -1;
    const int edge = GetSystemMetricsForDpi(SM_CXEDGE, GetDpiForWindow(list_)) + 1;
    const auto row = static_cast<int>(SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0));
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    int drawn = 0;
    for (int y = edge + 2 * row; y < height - edge; ++y) {
      for (int x = edge; x < width - edge; ++x) {
        drawn += colors[static_cast<size_t>(y) * width + x] != background ? 1 : 0;
      }
    }
    return drawn;
  }

  ::testing::AssertionResult Shows(std::vector<std::wstring> names, int selected) {
    if (WaitUntil([&] { return Items() == names && ListSelection(list_) == selected; },
                  kSettleMs)) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << Items().size() << " printers listed, item "
                                         << ListSelection(list_) << " selected, not " << selected;
  }

  void DoubleClick(POINT point) const {
    const LPARAM at = MAKELPARAM(point.x, point.y);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
      PostMessageW(list_, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }
  }
};

TEST_F(PickerTest, EmptyListExplainsItselfAndTheChosenPrinterStays) {
  ASSERT_NO_FATAL_FAILURE(StartApp());
  ASSERT_TRUE(Shows({}, -1));
  EXPECT_FALSE(IsWindowEnabled(ok_)) << "OK with nothing to act on";
  EXPECT_TRUE(WaitUntil([&] { return DrawnBelowTwoRows() > 0; }, kSettleMs))
      << "nothing drawn in the empty list";

  // The only printer, from empty, is chosen; the text goes.
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1"}));
  ASSERT_TRUE(Shows({L"Kelvo LP-1"}, 0));
  EXPECT_TRUE(IsWindowEnabled(ok_));
  EXPECT_TRUE(WaitUntil([&] { return DrawnBelowTwoRows() == 0; }, kSettleMs))
      << DrawnBelowTwoRows() << " pixels of the empty text left";

  // A second printer chooses nothing for the user; typed text finds one after the brand.
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-3"}));
  ASSERT_TRUE(Shows({L"Kelvo LP-1", L"Kelvo LP-3"}, 0));
  for (wchar_t key : std::wstring(L"lp-3")) PostMessageW(list_, WM_CHAR, key, 1);
  EXPECT_TRUE(Shows({L"Kelvo LP-1", L"Kelvo LP-3"}, 1)) << "typing \"lp-3\"";

  // The chosen printer stays chosen when another goes offline and the list is rebuilt.
  ASSERT_NO_FATAL_FAILURE(SetOffline(L"Kelvo LP-1", true));
  EXPECT_TRUE(Shows({L"Kelvo LP-3"}, 0));
  EXPECT_TRUE(IsWindowEnabled(ok_));

  // Gone, and the text is back.
  ASSERT_NO_FATAL_FAILURE(SetOffline(L"Kelvo LP-3", true));
  ASSERT_TRUE(Shows({}, -1));
  EXPECT_FALSE(IsWindowEnabled(ok_));
  EXPECT_TRUE(WaitUntil([&] { return DrawnBelowTwoRows() > 0; }, kSettleMs));
}

TEST_F(PickerTest, DoubleClickOnAPrinterPressesOkAndBesideThemNothing) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1", L"Kelvo LP-2"}));
  pdtest::PrinterRecord other_before;
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-2", &other_before),
            static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_NO_FATAL_FAILURE(StartApp());
  ASSERT_TRUE(Shows({L"Kelvo LP-1", L"Kelvo LP-2"}, -1));
  ASSERT_EQ(SendMessageW(list_, LB_SETCURSEL, 1, 0), 1);
  EXPECT_TRUE(IsWindowEnabled(ok_)) << "OK does not follow a selection made by the program";

  pdtest::PaperDialogDriver user(form_, L"A4");
  // Below the last printer, where Wine reports a double click with LP-2 still selected.
  const RECT list = ClientRect(list_);
  DoubleClick(POINT{list.right / 2, list.bottom - 4});
  RECT first{};
  ASSERT_NE(SendMessageW(list_, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)), LB_ERR);
  DoubleClick(POINT{(first.left + first.right) / 2, (first.top + first.bottom) / 2});
  DWORD exit_code = STILL_ACTIVE;
  const bool ended = app_->WaitForExit(kDialogRoundTripMs, &exit_code);
  user.Finish();
  EXPECT_EQ(user.dialogs_seen(), 1) << user.problem();
  EXPECT_TRUE(user.chose_paper()) << user.problem();
  ASSERT_TRUE(ended) << "the program did not end after the dialog's OK";
  EXPECT_EQ(exit_code, 0u);

  pdtest::PrinterRecord chosen;
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-1", &chosen), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(chosen.paper_size, DMPAPER_A4);
  pdtest::PrinterRecord other;
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-2", &other), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(other.devmode, other_before.devmode) << "the double click beside the items acted";
}

}  // namespace
}  // namespace pdwin
