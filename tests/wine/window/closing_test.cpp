// Ways out of the window that store nothing, and keys that must not act as buttons.
#include "tests/wine/window/window_fixture.h"

namespace pdwin {
namespace {

class ClosingTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1", L"Kelvo LP-2"}));
    before_ = StoredSettings();
    ASSERT_NO_FATAL_FAILURE(StartApp());
    // A chosen printer, so that anything acting as OK would open its dialog.
    ASSERT_EQ(SendMessageW(list_, LB_SETCURSEL, 1, 0), 1);
  }

  // Sends Enter and Escape to the focused control, then Tab; once Tab has moved the focus on
  // to `next`, the program has handled the two keys before it.
  template <typename Press>
  void PressEnterEscapeThenTab(Press press, HWND next) {
    press(VK_RETURN);
    press(VK_ESCAPE);
    press(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(form_) == next || !app_->Running(); }, 5000))
        << "the focus stayed on \"" << WindowText(FocusOf(form_)) << "\"";
    ASSERT_TRUE(app_->Running()) << "the program ended";
    EXPECT_TRUE(IsWindowVisible(form_));
    EXPECT_EQ(FindOwnedWindow(form_, L"#32770"), nullptr) << "a dialog opened";
  }

  std::vector<pdtest::PrinterRecord> before_;
};

TEST_F(ClosingTest, CancelEndsWithoutStoring) {
  PostMessageW(cancel_, BM_CLICK, 0, 0);
  ExpectCleanExit();
  EXPECT_TRUE(SameSettings(before_, StoredSettings()));
}

TEST_F(ClosingTest, CloseMessageEndsWithoutStoring) {
  PostMessageW(form_, WM_CLOSE, 0, 0);
  ExpectCleanExit();
  EXPECT_TRUE(SameSettings(before_, StoredSettings()));
}

TEST_F(ClosingTest, EnterAndEscapeDoNothing) {
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(form_) == list_; }, 5000));
  // As messages to the focused control, on each control in turn.
  for (HWND next : {cancel_, ok_, list_}) {
    HWND focus = FocusOf(form_);
    ASSERT_NO_FATAL_FAILURE(PressEnterEscapeThenTab([&](WORD key) { PostKey(focus, key); }, next));
  }
  // As keystrokes through the input queue.
  for (HWND next : {cancel_, ok_, list_}) {
    ASSERT_NO_FATAL_FAILURE(
        PressEnterEscapeThenTab([&](WORD key) { ASSERT_TRUE(TypeKey(form_, key)); }, next));
  }
  EXPECT_EQ(ListSelection(list_), 1);
  EXPECT_TRUE(SameSettings(before_, StoredSettings()));

  PostMessageW(form_, WM_CLOSE, 0, 0);
  ExpectCleanExit();
}

}  // namespace
}  // namespace pdwin
