// The list follows the spooler while the window is open.
#include "tests/wine/window/window_fixture.h"

namespace pdwin {
namespace {

// The refresh runs every second; a change must show by the next one.
constexpr ULONGLONG kShowsWithinMs = 1500;
// Generous bound for waits whose duration is not the point.
constexpr DWORD kSettleMs = 10000;

class RefreshTest : public WindowTest {
 protected:
  void TearDown() override {
    if (app_ && app_->Running()) {
      PostMessageW(form_, WM_CLOSE, 0, 0);
      ExpectCleanExit();
    }
  }
  // Waits for `name` to come or go, and how long that took.
  ULONGLONG MillisecondsUntil(const std::wstring& name, bool listed) {
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(WaitUntil([&] { return ListHas(name) == listed; }, kSettleMs))
        << "\"" << name << "\" still " << (listed ? "missing" : "listed");
    return GetTickCount64() - start;
  }
};

TEST_F(RefreshTest, ListHoldsTheEligiblePrintersWhenTheWindowFirstShows) {
  ASSERT_NO_FATAL_FAILURE(
      AddPrinters({L"Kelvo LP-1", L"Kelvo LP-2", L"Kelvo Office", L"kelvo lower case", L"Other"}));
  ASSERT_NO_FATAL_FAILURE(SetOffline(L"Kelvo Office", true));
  const std::vector<std::wstring> expected = EligibleNow();
  ASSERT_NO_FATAL_FAILURE(StartApp());
  // Read as soon as the window shows, well before the first refresh tick.
  EXPECT_EQ(Items(), expected);
  EXPECT_TRUE(ListHas(L"Kelvo LP-1") && ListHas(L"Kelvo LP-2"));
  EXPECT_FALSE(ListHas(L"Kelvo Office") || ListHas(L"kelvo lower case") || ListHas(L"Other"));
}

TEST_F(RefreshTest, AddedPrinterAppearsWithinOneAndAHalfSeconds) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1"}));
  ASSERT_NO_FATAL_FAILURE(StartApp());
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo Added"}));
  EXPECT_LE(MillisecondsUntil(L"Kelvo Added", true), kShowsWithinMs);
  EXPECT_EQ(Items(), EligibleNow());
}

TEST_F(RefreshTest, OfflineAndDeletedPrintersDisappear) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1", L"Kelvo LP-2", L"Kelvo LP-3"}));
  ASSERT_NO_FATAL_FAILURE(StartApp());
  ASSERT_EQ(Items(), EligibleNow());

  ASSERT_NO_FATAL_FAILURE(SetOffline(L"Kelvo LP-2", true));
  EXPECT_LE(MillisecondsUntil(L"Kelvo LP-2", false), kShowsWithinMs);
  ASSERT_EQ(printers_->Remove(L"Kelvo LP-3"), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_LE(MillisecondsUntil(L"Kelvo LP-3", false), kShowsWithinMs);
  EXPECT_EQ(Items(), EligibleNow());

  // Back online, it is listed again.
  ASSERT_NO_FATAL_FAILURE(SetOffline(L"Kelvo LP-2", false));
  EXPECT_LE(MillisecondsUntil(L"Kelvo LP-2", true), kShowsWithinMs);
  EXPECT_EQ(Items(), EligibleNow());
}

TEST_F(RefreshTest, UnchangedTickKeepsTheSelection) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1", L"Kelvo LP-2", L"Kelvo LP-3"}));
  ASSERT_NO_FATAL_FAILURE(StartApp());
  const std::vector<std::wstring> shown = Items();
  ASSERT_EQ(SendMessageW(list_, LB_SETCURSEL, 1, 0), 1);

  // Changes the window does not show leave the list as it is.
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Other Added", L"Kelvo Offline Added"}));
  ASSERT_NO_FATAL_FAILURE(SetOffline(L"Kelvo Offline Added", true));
  Sleep(2500);  // at least two refresh ticks

  EXPECT_EQ(Items(), shown);
  EXPECT_EQ(ListSelection(list_), 1);
  EXPECT_TRUE(app_->Running());
}

}  // namespace
}  // namespace pdwin
