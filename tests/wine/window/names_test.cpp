// Printer names in scripts outside the user's ANSI code page are listed as they are, and OK
// stores their settings. Each locale's run (en-US 1252, zh-TW 950, zh-CN 936) lacks some of them.
#include "tests/wine/window/window_fixture.h"

namespace pdwin {
namespace {

struct NamedPrinter {
  const char* label;  // for the test's name
  const wchar_t* name;
  // Shares what a lossy conversion or a cut could leave of `name`, so that settings going to
  // the wrong printer show.
  const wchar_t* neighbour;
};

const NamedPrinter kPrinters[] = {
    {"Chinese", L"Kelvo 彩色激光", L"Kelvo 黑白激光"},
    // Simplified only: Big5 has none of these characters.
    {"SimplifiedOnly", L"Kelvo 设置这们", L"Kelvo 设置这个"},
    {"Greek", L"Kelvo Γραφείο", L"Kelvo Γραφεία"},
    {"Japanese", L"Kelvo カラー", L"Kelvo モノクロ"},
    {"AccentedLatin", L"Kelvo Café", L"Kelvo Cafè"},
    // 36 bytes in UTF-8, more than a DEVMODE's 32-byte device name holds; the first 31 match.
    {"LongerThanTheDeviceName", L"Kelvo 彩色激光打印机二楼东", L"Kelvo 彩色激光打印机二楼西"},
};

void PrintTo(const NamedPrinter& printer, std::ostream* out) { *out << printer.label; }

using NamesTest = WindowTest;

TEST_F(NamesTest, EveryNameIsListedExactly) {
  for (const NamedPrinter& printer : kPrinters) {
    ASSERT_NO_FATAL_FAILURE(AddPrinters({printer.name, printer.neighbour}));
  }
  const std::vector<std::wstring> expected = EligibleNow();
  ASSERT_EQ(expected.size(), 2 * std::size(kPrinters));
  ASSERT_NO_FATAL_FAILURE(StartApp());
  EXPECT_EQ(Items(), expected);
  PostMessageW(form_, WM_CLOSE, 0, 0);
  ExpectCleanExit();
}

class NamesOkTest : public WindowTest, public ::testing::WithParamInterface<NamedPrinter> {};

TEST_P(NamesOkTest, StoresTheChosenPrintersSettings) {
  const NamedPrinter& printer = GetParam();
  ASSERT_NO_FATAL_FAILURE(AddPrinters({printer.name, printer.neighbour}));
  pdtest::PrinterRecord neighbour_before;
  ASSERT_EQ(pdtest::ReadPrinterRecord(printer.neighbour, &neighbour_before),
            static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_NE(neighbour_before.paper_size, DMPAPER_A4);
  ASSERT_NO_FATAL_FAILURE(StartApp());
  ASSERT_EQ(Items(), EligibleNow());

  ASSERT_NO_FATAL_FAILURE(ChooseThroughOk(printer.name, L"A4"));

  pdtest::PrinterRecord chosen;
  pdtest::PrinterRecord neighbour;
  ASSERT_EQ(pdtest::ReadPrinterRecord(printer.name, &chosen), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(pdtest::ReadPrinterRecord(printer.neighbour, &neighbour),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(chosen.paper_size, DMPAPER_A4);
  EXPECT_EQ(neighbour.devmode, neighbour_before.devmode) << "the neighbour's settings changed";
}

INSTANTIATE_TEST_SUITE_P(Scripts, NamesOkTest, ::testing::ValuesIn(kPrinters),
                         [](const ::testing::TestParamInfo<NamedPrinter>& info) {
                           return std::string(info.param.label);
                         });

}  // namespace
}  // namespace pdwin
