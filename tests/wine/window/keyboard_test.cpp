// The window used from the keyboard alone: focus, Tab order, list selection, Space on buttons.
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/window/window_fixture.h"

namespace pdwin {
namespace {

// The first driver dialog in a fresh prefix loads the driver and its PPD.
constexpr DWORD kDialogRoundTripMs = 90000;

class KeyboardTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1", L"Kelvo LP-2", L"Kelvo LP-3"}));
    before_ = StoredSettings();
    ASSERT_NO_FATAL_FAILURE(StartApp());
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(form_) == list_; }, 5000))
        << "the window opened with the focus on \"" << WindowText(FocusOf(form_)) << "\"";
    // OK takes the focus only while a printer is chosen.
    ASSERT_EQ(SendMessageW(list_, LB_SETCURSEL, 0, 0), 0);
  }

  ::testing::AssertionResult FocusMovesTo(HWND expected) {
    if (WaitUntil([&] { return FocusOf(form_) == expected; }, 5000)) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "the focus is on \"" << WindowText(FocusOf(form_))
                                         << "\", not \"" << WindowText(expected) << "\"";
  }

  ::testing::AssertionResult SelectionMovesTo(int expected) {
    if (WaitUntil([&] { return ListSelection(list_) == expected; }, 5000)) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "item " << ListSelection(list_) << " is selected, not " << expected;
  }

  std::vector<pdtest::PrinterRecord> before_;
};

TEST_F(KeyboardTest, TabAndShiftTabCycleTheControls) {
  // Typed, so that the Shift key is down in the program's input state.
  for (HWND next : {cancel_, ok_, list_}) {
    ASSERT_TRUE(TypeKey(form_, VK_TAB));
    ASSERT_TRUE(FocusMovesTo(next)) << "Tab";
  }
  for (HWND next : {ok_, cancel_, list_}) {
    ASSERT_TRUE(TypeChord(form_, {VK_SHIFT, VK_TAB}));
    ASSERT_TRUE(FocusMovesTo(next)) << "Shift+Tab";
  }
  // A Tab with Shift released again goes forward.
  ASSERT_TRUE(TypeKey(form_, VK_TAB));
  EXPECT_TRUE(FocusMovesTo(cancel_));
  PostMessageW(form_, WM_CLOSE, 0, 0);
  ExpectCleanExit();
}

// As after Alt+Tab to another program and back: the keyboard goes on where it was, since the
// focus returns to the control that had it rather than staying on the window itself.
TEST_F(KeyboardTest, FocusReturnsToItsControlAfterAnotherWindow) {
  ASSERT_TRUE(TypeKey(form_, VK_TAB));
  ASSERT_TRUE(FocusMovesTo(cancel_));
  HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 0, 0, 100,
                               100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  const bool left = WaitUntil([&] { return GetForegroundWindow() == other; }, 5000);
  DestroyWindow(other);
  ASSERT_TRUE(left) << "the window stays in the foreground";
  SetForegroundWindow(form_);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == form_; }, 5000));
  EXPECT_TRUE(FocusMovesTo(cancel_));
  ASSERT_TRUE(TypeKey(form_, VK_TAB));
  EXPECT_TRUE(FocusMovesTo(ok_)) << "Tab after coming back";
  PostMessageW(form_, WM_CLOSE, 0, 0);
  ExpectCleanExit();
}

TEST_F(KeyboardTest, ArrowKeysMoveTheSelection) {
  ASSERT_EQ(SendMessageW(list_, LB_SETCURSEL, 0, 0), 0);
  PostKey(list_, VK_DOWN);
  EXPECT_TRUE(SelectionMovesTo(1));
  PostKey(list_, VK_DOWN);
  EXPECT_TRUE(SelectionMovesTo(2));
  PostKey(list_, VK_DOWN);  // already on the last item
  PostKey(list_, VK_UP);
  EXPECT_TRUE(SelectionMovesTo(1));
  ASSERT_TRUE(TypeKey(form_, VK_UP));
  EXPECT_TRUE(SelectionMovesTo(0));
  EXPECT_EQ(FocusOf(form_), list_);
  PostMessageW(form_, WM_CLOSE, 0, 0);
  ExpectCleanExit();
  EXPECT_TRUE(SameSettings(before_, StoredSettings()));
}

TEST_F(KeyboardTest, SpaceOnCancelEndsWithoutStoring) {
  ASSERT_EQ(SendMessageW(list_, LB_SETCURSEL, 1, 0), 1);
  PostKey(list_, VK_TAB);
  ASSERT_TRUE(FocusMovesTo(cancel_));
  PostKey(cancel_, VK_SPACE);
  ExpectCleanExit();
  EXPECT_TRUE(SameSettings(before_, StoredSettings()));
}

TEST_F(KeyboardTest, SpaceOnOkEditsTheChosenPrinter) {
  ASSERT_EQ(SendMessageW(list_, LB_SETCURSEL, 1, 0), 1);
  const std::wstring chosen = Items().at(1);
  pdtest::PrinterRecord chosen_before;
  ASSERT_EQ(pdtest::ReadPrinterRecord(chosen, &chosen_before), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_NE(chosen_before.paper_size, DMPAPER_A4) << "A4 would not show a change";
  for (HWND next : {cancel_, ok_}) {
    PostKey(FocusOf(form_), VK_TAB);
    ASSERT_TRUE(FocusMovesTo(next));
  }

  pdtest::PaperDialogDriver user(form_, L"A4");
  ASSERT_TRUE(TypeKey(form_, VK_SPACE));
  DWORD exit_code = STILL_ACTIVE;
  const bool ended = app_->WaitForExit(kDialogRoundTripMs, &exit_code);
  user.Finish();
  EXPECT_TRUE(user.found_dialog()) << user.problem();
  EXPECT_TRUE(user.chose_paper()) << user.problem();
  ASSERT_TRUE(ended) << "the program did not end after the dialog's OK";
  EXPECT_EQ(exit_code, 0u);
  pdtest::PrinterRecord chosen_after;
  ASSERT_EQ(pdtest::ReadPrinterRecord(chosen, &chosen_after), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(chosen_after.paper_size, DMPAPER_A4);
}

}  // namespace
}  // namespace pdwin
