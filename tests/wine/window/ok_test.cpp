// OK edits the chosen printer in its driver's dialog and stores the result.
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/window/window_fixture.h"

namespace pdwin {
namespace {

// The first driver dialog in a fresh prefix loads the driver and its PPD.
constexpr DWORD kDialogRoundTripMs = 90000;

using OkTest = WindowTest;

TEST_F(OkTest, StoresThePaperChosenInTheDriverDialog) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1", L"Kelvo LP-2"}));
  pdtest::PrinterRecord other_before;
  pdtest::PrinterRecord chosen_before;
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-1", &other_before),
            static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-2", &chosen_before),
            static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_NE(chosen_before.paper_size, DMPAPER_A4) << "A4 would not show a change";
  ASSERT_NO_FATAL_FAILURE(StartApp());

  const std::vector<std::wstring> items = Items();
  int index = -1;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == L"Kelvo LP-2") index = static_cast<int>(i);
  }
  ASSERT_GE(index, 0) << "Kelvo LP-2 is not listed";
  ASSERT_EQ(SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0), index);

  // Plays the user in the dialog, which the program opens owned by its window.
  pdtest::PaperDialogDriver user(form_, L"A4");
  PostMessageW(ok_, BM_CLICK, 0, 0);
  DWORD exit_code = STILL_ACTIVE;
  const bool ended = app_->WaitForExit(kDialogRoundTripMs, &exit_code);
  user.Finish();
  EXPECT_TRUE(user.found_dialog()) << user.problem();
  EXPECT_TRUE(user.chose_paper()) << user.problem();
  EXPECT_TRUE(user.dialog_closed()) << user.problem();
  ASSERT_TRUE(ended) << "the program did not end after the dialog's OK";
  EXPECT_EQ(exit_code, 0u);

  pdtest::PrinterRecord chosen_after;
  pdtest::PrinterRecord other_after;
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-2", &chosen_after),
            static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-1", &other_after),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(chosen_after.paper_size, DMPAPER_A4);
  EXPECT_EQ(other_after.devmode, other_before.devmode) << "the other printer changed";
}

}  // namespace
}  // namespace pdwin
