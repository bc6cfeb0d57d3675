// OK edits the chosen printer in its driver's dialog and stores the result.
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/window/window_fixture.h"

namespace pdwin {
namespace {

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

  ASSERT_NO_FATAL_FAILURE(ChooseThroughOk(L"Kelvo LP-2", L"A4"));

  pdtest::PrinterRecord chosen_after;
  pdtest::PrinterRecord other_after;
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-2", &chosen_after),
            static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-1", &other_after),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(chosen_after.paper_size, DMPAPER_A4);
  EXPECT_EQ(other_after.devmode, other_before.devmode) << "the other printer changed";
}

TEST_F(OkTest, SettingsStoredElsewhereWhileTheDialogIsOpenStayUntilOkIsPressedAgain) {
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1"}));
  ASSERT_NO_FATAL_FAILURE(StartApp());
  ASSERT_EQ(SendMessageW(list_, LB_SETCURSEL, 0, 0), 0);
  DWORD elsewhere = ERROR_INVALID_FUNCTION;
  {
    // This process stores A5 while the program's dialog is open; the user there accepts A4.
    pdtest::PaperDialogDriver user(
        form_, L"A4", [&] { elsewhere = pdtest::SetPaperSize(L"Kelvo LP-1", DMPAPER_A5); });
    PostMessageW(ok_, BM_CLICK, 0, 0);
    // The warning is the second dialog the window owns; the driver records its text and closes it.
    const ULONGLONG deadline = GetTickCount64() + kDialogRoundTripMs;
    DWORD exit_code = 0;
    while (user.dialogs_seen() < 2 && !app_->WaitForExit(0, &exit_code) &&
           GetTickCount64() < deadline) {
      Sleep(50);
    }
    while (FindOwnedWindow(form_, L"#32770") != nullptr && GetTickCount64() < deadline) Sleep(50);
    user.Finish();
    EXPECT_TRUE(user.chose_paper()) << user.problem();
    ASSERT_EQ(user.dialogs_seen(), 2) << user.problem();
    EXPECT_NE(user.problem().find(L"changed elsewhere"), std::wstring::npos) << user.problem();
  }
  ASSERT_EQ(elsewhere, static_cast<DWORD>(ERROR_SUCCESS)) << pdtest::ErrorText(elsewhere);
  pdtest::PrinterRecord record;
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-1", &record), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(record.paper_size, DMPAPER_A5) << "the other program's paper was undone";
  DWORD exit_code = 0;
  ASSERT_FALSE(app_->WaitForExit(0, &exit_code)) << "the program ended";

  // OK again starts from A5 and stores the user's choice.
  ASSERT_NO_FATAL_FAILURE(ChooseThroughOk(L"Kelvo LP-1", L"A4"));
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-1", &record), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(record.paper_size, DMPAPER_A4);
}

}  // namespace
}  // namespace pdwin
