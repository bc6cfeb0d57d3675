// A name the list's column cuts off shows whole in a tooltip over its item while the pointer
// rests there.
#include <algorithm>
#include <cstdlib>

#include "tests/wine/window/window_fixture.h"

namespace pdwin {
namespace {

// Long enough to be cut off in any font; they differ only past the column's edge.
constexpr wchar_t kRoom214[] =
    L"Kelvo LaserPro 5200 Series PCL6 Universal (Headquarters Building 4, Floor 2, Room 214)";
constexpr wchar_t kRoom318[] =
    L"Kelvo LaserPro 5200 Series PCL6 Universal (Headquarters Building 4, Floor 3, Room 318)";

class CutOffNamesTest : public PointerWindowTest {
 protected:
  // Rests the pointer on the item showing `name`; returns the item's rectangle on the screen.
  RECT PointAt(const std::wstring& name) const {
    const RECT item = ItemRect(name);
    SetCursorPos(item.left + Scaled(20), (item.top + item.bottom) / 2);
    return item;
  }
  // The text of the program's tooltip while it shows; empty while none does.
  std::wstring ShownTip() const {
    HWND tip = FindProcessWindow(app_->id(), L"tooltips_class32");
    wchar_t text[512] = {};
    DWORD_PTR copied = 0;
    if (tip == nullptr || !IsWindowVisible(tip) ||
        !SendMessageTimeoutW(tip, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000,
                             &copied)) {
      return {};
    }
    return std::wstring(text, copied);
  }
  ::testing::AssertionResult TipShows(const std::wstring& name) {
    if (WaitUntil([&] { return ShownTip() == name; }, 5000)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the tooltip shows \"" << ShownTip() << "\"";
  }
  // Whether the tip is laid over `item`, from its left edge out past the list's; moved left only
  // by the screen's edge.
  ::testing::AssertionResult TipLiesOver(const RECT& item) const {
    RECT tip{};
    GetWindowRect(FindProcessWindow(app_->id(), L"tooltips_class32"), &tip);
    const int screen_right = GetSystemMetrics(SM_CXSCREEN);
    if (tip.right <= screen_right && tip.right > item.right &&
        (std::abs(tip.left - item.left) <= Scaled(4) ||
         (tip.left < item.left && tip.right >= screen_right - 2)) &&
        std::abs((tip.top + tip.bottom) / 2 - (item.top + item.bottom) / 2) <= Scaled(3)) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "tip (" << tip.left << ", " << tip.top << ")-(" << tip.right << ", " << tip.bottom
           << "), item (" << item.left << ", " << item.top << ")-(" << item.right << ", "
           << item.bottom << ")";
  }
};

TEST_F(CutOffNamesTest, RestingPointerShowsTheWholeNameOverItsItem) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({kRoom214, kRoom318, L"Kelvo LP-1"}));
  ASSERT_NO_FATAL_FAILURE(StartApp());

  PointAt(L"Kelvo LP-1");  // fits its column
  Sleep(2 * GetDoubleClickTime());
  EXPECT_EQ(ShownTip(), L"");

  const RECT item = PointAt(kRoom214);
  ASSERT_TRUE(TipShows(kRoom214));
  EXPECT_TRUE(TipLiesOver(item));

  // The refresh moves Room 318 up under the resting pointer: never the stale name.
  ASSERT_EQ(printers_->Remove(kRoom214), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_TRUE(WaitUntil([&] { return !ListHas(kRoom214); }, 10000));
  EXPECT_NE(ShownTip(), kRoom214);
  EXPECT_TRUE(TipShows(kRoom318));

  SetCursorPos(0, 0);  // leaves the list
  EXPECT_TRUE(TipShows(L""));

  // On an item at the foot of the screen too, the window reaching a little past it: the tooltip
  // itself would move there (Wine's puts it above the list).
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(form_, MONITOR_DEFAULTTOPRIMARY), &monitor));
  RECT form{};
  ASSERT_TRUE(GetWindowRect(form_, &form));
  const LONG drop = monitor.rcWork.bottom + 2 - ItemRect(kRoom318).bottom;
  ASSERT_TRUE(SetWindowPos(form_, nullptr, form.left, form.top + drop, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  const RECT low = PointAt(kRoom318);
  ASSERT_EQ(low.bottom, monitor.rcWork.bottom + 2);
  ASSERT_TRUE(TipShows(kRoom318));
  EXPECT_TRUE(TipLiesOver(low));
}

// OK opens the driver's dialog, which disables the window: no tooltip lies over the dialog,
// neither one that showed as OK was pressed nor one that falls due behind it.
TEST_F(CutOffNamesTest, NoTipOverTheDriverDialog) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({kRoom214, kRoom318}));
  UINT hover_ms = 400;
  SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &hover_ms, 0);
  for (const bool tip_shows : {true, false}) {
    SCOPED_TRACE(tip_shows ? "OK while the tip shows" : "OK as the pointer comes to rest");
    const std::wstring name =
        tip_shows ? kRoom214 : kRoom318;  // each dialog on a printer of its own
    ASSERT_NO_FATAL_FAILURE(StartApp());
    // Chosen beforehand, so that OK (from the keyboard, say) is all that happens meanwhile.
    const auto items = Items();
    const auto index = std::find(items.begin(), items.end(), name) - items.begin();
    ASSERT_EQ(SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0), index);
    PointAt(name);
    if (tip_shows) {
      ASSERT_TRUE(TipShows(name));
    } else {
      Sleep(hover_ms / 4);  // the list takes the move; its hover falls due once OK is pressed
    }
    std::wstring over_dialog;
    ASSERT_NO_FATAL_FAILURE(ChooseThroughOk(name, L"A4", [&] {
      Sleep(2 * hover_ms);
      over_dialog = ShownTip();
    }));
    EXPECT_EQ(over_dialog, L"") << "the tooltip shows over the dialog";
  }
}

}  // namespace
}  // namespace pdwin
