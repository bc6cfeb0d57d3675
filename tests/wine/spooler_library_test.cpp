// The spooler comes from System32 or not at all; without it the tool behaves as over a spooler
// whose every call fails.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "printing/win32/win_spooler.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/scoped_printers.h"
#include "tests/wine/support/test_driver.h"
#include "tests/wine/tools/console_text.h"
#include "tests/wine/tools/windows_path.h"
#include "ui/torlent_form.h"

namespace {

constexpr wchar_t kPlantedName[] = L"pd_planted_spooler.drv";
constexpr wchar_t kMissing[] = L"pd_no_such_spooler.drv";

std::wstring FolderOfThisExe() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
  path.resize(length);
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

// The marker DLL (PD_MARKER_DLL) copied beside this test program under `name`, where a plain
// load by name finds it first; removed again with its marker.
class PlantedBesideTheTest {
 public:
  explicit PlantedBesideTheTest(const wchar_t* name) : path_(FolderOfThisExe() + name) {
    wchar_t configured[4096] = {};
    const DWORD length = GetEnvironmentVariableW(L"PD_MARKER_DLL", configured, 4096);
    const std::wstring marker_dll =
        length > 0 && length < 4096 ? pdtest::ToWindowsPath(configured) : L"";
    planted_ = !marker_dll.empty() && CopyFileW(marker_dll.c_str(), path_.c_str(), FALSE);
  }
  ~PlantedBesideTheTest() {
    DeleteFileW(path_.c_str());
    ForgetLoads();
  }
  PlantedBesideTheTest(const PlantedBesideTheTest&) = delete;
  PlantedBesideTheTest& operator=(const PlantedBesideTheTest&) = delete;

  bool planted() const { return planted_; }
  bool WasLoaded() const {
    return GetFileAttributesW((path_ + L".loaded").c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  void ForgetLoads() { DeleteFileW((path_ + L".loaded").c_str()); }

 private:
  std::wstring path_;
  bool planted_ = false;
};

TEST(SpoolerLibraryTest, IsNeverTakenFromTheProgramsFolder) {
  PlantedBesideTheTest planted(kPlantedName);
  ASSERT_TRUE(planted.planted()) << "set PD_MARKER_DLL to pd_marker.dll";

  const printing::SpoolerLibrary library(kPlantedName);
  EXPECT_FALSE(library.loaded());
  EXPECT_EQ(library.error(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_FALSE(planted.WasLoaded());

  // The same name loaded the usual way does find the planted copy.
  HMODULE plain = LoadLibraryW(kPlantedName);
  ASSERT_NE(plain, nullptr);
  FreeLibrary(plain);
  EXPECT_TRUE(planted.WasLoaded()) << "the planted copy did not load: this test shows nothing";
}

struct Unavailable {
  const char* label;
  const wchar_t* library;
  DWORD error;
};

void PrintTo(const Unavailable& unavailable, std::ostream* out) { *out << unavailable.label; }

class UnavailableSpoolerTest : public ::testing::TestWithParam<Unavailable> {};

TEST_P(UnavailableSpoolerTest, EveryCallFailsWithTheReason) {
  printing::WinSpooler spooler(GetParam().library);
  const DWORD error = GetParam().error;
  auto expect_failed = [&](const char* call, bool failed) {
    EXPECT_TRUE(failed) << call;
    EXPECT_EQ(spooler.GetLastError(), error) << call;
    SetLastError(ERROR_SUCCESS);
  };
  SetLastError(ERROR_SUCCESS);
  DWORD needed = 0;
  DWORD returned = 0;
  BYTE buffer[512] = {};
  char name[] = "Kelvo LP-1";
  HANDLE printer = nullptr;
  expect_failed("EnumPrintersA", !spooler.EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer,
                                                        sizeof(buffer), &needed, &returned));
  expect_failed("OpenPrinterA", !spooler.OpenPrinterA(name, &printer, nullptr));
  expect_failed("GetPrinterA", !spooler.GetPrinterA(printer, 2, buffer, sizeof(buffer), &needed));
  expect_failed("DocumentPropertiesA",
                spooler.DocumentPropertiesA(nullptr, printer, name, nullptr, nullptr, 0) < 0);
  expect_failed("SetPrinterA", !spooler.SetPrinterA(printer, 2, buffer, 0));
  expect_failed("ClosePrinter", !spooler.ClosePrinter(printer));
}

INSTANTIATE_TEST_SUITE_P(Libraries, UnavailableSpoolerTest,
                         ::testing::Values(Unavailable{"Missing", kMissing, ERROR_MOD_NOT_FOUND},
                                           Unavailable{"WithoutTheEntryPoints", L"kernel32.dll",
                                                       ERROR_PROC_NOT_FOUND}),
                         [](const ::testing::TestParamInfo<Unavailable>& info) {
                           return std::string(info.param.label);
                         });

TEST(UnavailableSpoolerWindowTest, ListsNothingAndOkDoesNothing) {
  const std::wstring driver = pdtest::TestDriverName();
  ASSERT_FALSE(driver.empty()) << "no printer driver installed; see tests/wine/prefix.sh";
  pdtest::ScopedPrinters printers(driver);
  ASSERT_EQ(printers.Add(L"Kelvo LP-1"), static_cast<DWORD>(ERROR_SUCCESS));
  pdtest::PrinterRecord before;
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-1", &before), static_cast<DWORD>(ERROR_SUCCESS));

  printing::WinSpooler spooler(kMissing);
  TorlentForm form(nullptr, spooler);
  form.Show();
  form.TimerEnumPrinterTimer(form.TimerEnumPrinter);
  EXPECT_EQ(form.ListBoxPrinterList->Count(), 0);

  pdtest::PaperDialogDriver user(form.GetHandle(), L"A4");
  form.Button_okClick(form.Button_ok);
  user.Finish();
  EXPECT_EQ(user.dialogs_seen(), 0) << pdtest::ToUtf8(user.problem());
  EXPECT_TRUE(form.Visible());
  pdtest::PrinterRecord after;
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-1", &after), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(after.devmode, before.devmode);
}

}  // namespace
