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

class CutOffNamesTest : public WindowTest {
 protected:
  void TearDown() override {
    SetCursorPos(0, 0);  // off the windows of later tests
    if (app_ && app_->Running()) {
      PostMessageW(form_, WM_CLOSE, 0, 0);
      ExpectCleanExit();
    }
  }
  // Rests the pointer on the item showing `name`; returns the item's rectangle on the screen.
  RECT PointAt(const std::wstring& name) {
    const std::vector<std::wstring> items = Items();
    const auto index = std::find(items.begin(), items.end(), name) - items.begin();
    RECT item{};
    EXPECT_NE(SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(&item)),
              LB_ERR)
        << name;
    MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&item), 2);
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
};

TEST_F(CutOffNamesTest, RestingPointerShowsTheWholeNameOverItsItem) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({kRoom214, kRoom318, L"Kelvo LP-1"}));
  ASSERT_NO_FATAL_FAILURE(StartApp());

  PointAt(L"Kelvo LP-1");  // fits its column
  Sleep(2 * GetDoubleClickTime());
  EXPECT_EQ(ShownTip(), L"");

  const RECT item = PointAt(kRoom214);
  ASSERT_TRUE(TipShows(kRoom214));
  // Laid over the item, from its left edge out past the list's; moved left only by the screen's
  // edge.
  RECT tip{};
  GetWindowRect(FindProcessWindow(app_->id(), L"tooltips_class32"), &tip);
  const int screen_right = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_LE(tip.right, screen_right);
  EXPECT_TRUE(std::abs(tip.left - item.left) <= Scaled(4) ||
              (tip.left < item.left && tip.right >= screen_right - 2))
      << "tip from " << tip.left << " to " << tip.right << ", item from " << item.left;
  EXPECT_LE(std::abs((tip.top + tip.bottom) / 2 - (item.top + item.bottom) / 2), Scaled(3));
  EXPECT_GT(tip.right, item.right);

  // The refresh moves Room 318 up under the resting pointer: never the stale name.
  ASSERT_EQ(printers_->Remove(kRoom214), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_TRUE(WaitUntil([&] { return !ListHas(kRoom214); }, 10000));
  EXPECT_NE(ShownTip(), kRoom214);
  EXPECT_TRUE(TipShows(kRoom318));

  SetCursorPos(0, 0);  // leaves the list
  EXPECT_TRUE(TipShows(L""));
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
