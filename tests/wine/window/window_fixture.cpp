#include "tests/wine/window/window_fixture.h"

#include <algorithm>
#include <cwchar>

#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/test_driver.h"
#include "tests/wine/tools/windows_path.h"

namespace pdwin {

const Captions kEnglish{L"Please select printer 3.2", L"Please select the printer.", L"OK",
                        L"CANCEL"};
const Captions kChinese{L"请选择打印机3.2", L"请选择你要使用的打印机", L"确  定", L"取  消"};

const Captions& ExpectedCaptions() {
  return GetUserDefaultLangID() == 0x0804 ? kChinese : kEnglish;
}

int ExpectedDpi() {
  const std::wstring value = EnvironmentValue(L"PD_EXPECT_DPI");
  const int dpi = value.empty() ? 96 : static_cast<int>(std::wcstol(value.c_str(), nullptr, 10));
  return dpi > 0 ? dpi : 96;
}

int Scaled(int value) { return MulDiv(value, ExpectedDpi(), 96); }

void WindowTest::SetUp() {
  const std::wstring driver = pdtest::TestDriverName();
  ASSERT_FALSE(driver.empty()) << "no printer driver installed; see tests/wine/prefix.sh";
  printers_ = std::make_unique<pdtest::ScopedPrinters>(driver);
}

void WindowTest::AddPrinters(std::initializer_list<const wchar_t*> names) {
  for (const wchar_t* name : names) {
    ASSERT_EQ(printers_->Add(name), static_cast<DWORD>(ERROR_SUCCESS)) << "adding " << name;
  }
}

void WindowTest::SetOffline(const wchar_t* name, bool offline) {
  ASSERT_EQ(printers_->SetOffline(name, offline), static_cast<DWORD>(ERROR_SUCCESS)) << name;
}

void WindowTest::StartApp() {
  const std::wstring configured = EnvironmentValue(L"PD_APP_EXE");
  ASSERT_FALSE(configured.empty()) << "PD_APP_EXE must name PrinterDefaults.exe";
  const std::wstring exe = pdtest::ToWindowsPath(configured);
  ASSERT_FALSE(exe.empty()) << "cannot map PD_APP_EXE to a Windows path";
  StartAppAt(exe);
}

void WindowTest::StartAppAt(const std::wstring& exe) {
  app_ = std::make_unique<AppProcess>(exe);
  ASSERT_TRUE(app_->started()) << "CreateProcess failed: " << app_->start_error();
  form_ = app_->WaitForWindow(kShowTimeoutMs);
  ASSERT_NE(form_, nullptr) << "no visible " << kFormClass
                            << " window; the program is still running: " << app_->Running();

  const Captions& captions = ExpectedCaptions();
  list_ = FindChild(form_, L"ListBox");
  label_ = FindChild(form_, L"Static");
  ok_ = FindChild(form_, L"Button", captions.ok);
  cancel_ = FindChild(form_, L"Button", captions.cancel);
  ASSERT_NE(list_, nullptr) << "no list box";
  ASSERT_NE(label_, nullptr) << "no label";
  ASSERT_NE(ok_, nullptr) << "no button captioned " << captions.ok;
  ASSERT_NE(cancel_, nullptr) << "no button captioned " << captions.cancel;
}

void WindowTest::ExpectCleanExit() {
  DWORD exit_code = STILL_ACTIVE;
  ASSERT_TRUE(app_->WaitForExit(kExitTimeoutMs, &exit_code)) << "the program did not end";
  EXPECT_EQ(exit_code, 0u);
}

void WindowTest::ChooseThroughOk(const std::wstring& name, const std::wstring& paper,
                                 std::function<void()> while_open) {
  const std::vector<std::wstring> items = Items();
  int index = -1;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == name) index = static_cast<int>(i);
  }
  ASSERT_GE(index, 0) << name << " is not listed";
  if (ListSelection(list_) != index) {  // a chosen name is left as it is, as a user would
    ASSERT_EQ(SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0), index);
  }

  // Plays the user in the dialog, which the program opens owned by its window.
  pdtest::PaperDialogDriver user(form_, paper, std::move(while_open));
  PostMessageW(ok_, BM_CLICK, 0, 0);
  DWORD exit_code = STILL_ACTIVE;
  const bool ended = app_->WaitForExit(kDialogRoundTripMs, &exit_code);
  user.Finish();
  EXPECT_TRUE(user.found_dialog()) << user.problem();
  EXPECT_TRUE(user.chose_paper()) << user.problem();
  EXPECT_TRUE(user.dialog_closed()) << user.problem();
  EXPECT_TRUE(user.problem().empty()) << user.problem();
  ASSERT_TRUE(ended) << "the program did not end after the dialog's OK";
  EXPECT_EQ(exit_code, 0u);
}

bool WindowTest::ListHas(const std::wstring& name) const {
  for (const std::wstring& item : Items()) {
    if (item == name) return true;
  }
  return false;
}

std::vector<std::wstring> WindowTest::EligibleNow() {
  std::vector<pdtest::PrinterRecord> records;
  EXPECT_EQ(pdtest::ListPrinterRecords(&records), static_cast<DWORD>(ERROR_SUCCESS));
  std::vector<std::wstring> names;
  for (const pdtest::PrinterRecord& record : records) {
    if ((record.attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) == 0 &&
        record.name.compare(0, 5, L"Kelvo") == 0) {
      names.push_back(record.name);
    }
  }
  return names;
}

std::vector<pdtest::PrinterRecord> WindowTest::StoredSettings() {
  std::vector<pdtest::PrinterRecord> records;
  EXPECT_EQ(pdtest::ListPrinterRecords(&records), static_cast<DWORD>(ERROR_SUCCESS));
  return records;
}

::testing::AssertionResult SameSettings(const std::vector<pdtest::PrinterRecord>& before,
                                        const std::vector<pdtest::PrinterRecord>& after) {
  if (before.size() != after.size()) {
    return ::testing::AssertionFailure()
           << before.size() << " printers before, " << after.size() << " after";
  }
  for (size_t i = 0; i < before.size(); ++i) {
    const pdtest::PrinterRecord& was = before[i];
    const pdtest::PrinterRecord& is = after[i];
    if (was.name != is.name || was.attributes != is.attributes || was.devmode != is.devmode) {
      return ::testing::AssertionFailure()
             << "printer \"" << was.name << "\" changed: paper " << was.paper_size << " -> "
             << is.paper_size << ", attributes " << was.attributes << " -> " << is.attributes;
    }
  }
  return ::testing::AssertionSuccess();
}

void OpenWindowTest::SetUp() {
  WindowTest::SetUp();
  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1"}));
  ASSERT_NO_FATAL_FAILURE(StartApp());
}

void OpenWindowTest::TearDown() {
  if (form_ != nullptr) PostMessageW(form_, WM_CLOSE, 0, 0);
  if (app_) ExpectCleanExit();
}

void PointerWindowTest::TearDown() {
  SetCursorPos(0, 0);
  if (app_ && app_->Running()) {
    PostMessageW(form_, WM_CLOSE, 0, 0);
    ExpectCleanExit();
  }
}

RECT PointerWindowTest::ItemRect(const std::wstring& name) const {
  const std::vector<std::wstring> items = Items();
  const auto index = std::find(items.begin(), items.end(), name) - items.begin();
  RECT item{};
  EXPECT_NE(SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&item)),
            LB_ERR)
      << name;
  MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&item), 2);
  return item;
}

}  // namespace pdwin
