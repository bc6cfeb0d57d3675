// OK edits the chosen printer in its driver's dialog and stores the result.
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

}  // namespace
}  // namespace pdwin
