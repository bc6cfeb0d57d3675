// The printer list refresh against the real spooler (Wine's under the tests' prefix), with
// printers the tests add themselves, shown in a real list box.
#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "printing/printer_list_refresh.h"
#include "printing/win32/win_spooler.h"
#include "tests/wine/support/scoped_printers.h"
#include "tests/wine/support/test_driver.h"
#include "ui/vcl.h"

#include <commctrl.h>  // after windows.h

namespace {

using vcl::UnicodeString;

UnicodeString U(const std::wstring& text) {
  return UnicodeString(reinterpret_cast<const char16_t*>(text.c_str()), text.size());
}

// What the refresh must show, worked out independently: the spooler's own enumeration order,
// names starting with "Kelvo" exactly, not working offline.
std::vector<UnicodeString> EligibleNow() {
  std::vector<pdtest::PrinterRecord> records;
  EXPECT_EQ(pdtest::ListPrinterRecords(&records), static_cast<DWORD>(ERROR_SUCCESS));
  std::vector<UnicodeString> names;
  for (const pdtest::PrinterRecord& record : records) {
    if (record.attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) continue;
    if (record.name.compare(0, 5, L"Kelvo") != 0) continue;
    names.push_back(U(record.name));
  }
  return names;
}

// Counts the messages that rebuild a list box.
LRESULT CALLBACK CountRebuilds(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                               UINT_PTR /*id*/, DWORD_PTR data) {
  if (message == LB_RESETCONTENT || message == LB_ADDSTRING || message == LB_INSERTSTRING ||
      message == LB_DELETESTRING) {
    ++*reinterpret_cast<int*>(data);
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

class RefreshOnRealSpooler : public ::testing::Test {
 protected:
  void SetUp() override {
    driver_ = pdtest::TestDriverName();
    ASSERT_FALSE(driver_.empty()) << "no printer driver installed";
    printers_ = std::make_unique<pdtest::ScopedPrinters>(driver_);
    for (const wchar_t* name : {L"Kelvo LP-1", L"Other", L"Kelvo LP-2", L"Kelvo Standby",
                                L"KELVO caps", L"Kelv", L"kelvo lower"}) {
      ASSERT_EQ(printers_->Add(name), static_cast<DWORD>(ERROR_SUCCESS)) << "adding " << name;
    }
    ASSERT_EQ(printers_->SetOffline(L"Kelvo Standby", true), static_cast<DWORD>(ERROR_SUCCESS));

    form_ = std::make_unique<vcl::TForm>(nullptr, u"PdRefreshTestForm");
    list_ = new vcl::TListBox(form_.get());
    list_->SetBounds(8, 8, 300, 160);
    list_->SetItemHeight(16);
    list_->SetColumns(1);
    hwnd_ = FindWindowExW(form_->GetHandle(), nullptr, L"ListBox", nullptr);
    ASSERT_NE(hwnd_, nullptr);
  }

  void TearDown() override {
    if (counting_) RemoveWindowSubclass(hwnd_, CountRebuilds, 1);
    form_.reset();
    printers_.reset();
  }

  void Refresh() { printing::RefreshPrinterList(spooler_, names_, count_, *list_, verdict_); }

  void StartCountingRebuilds() {
    rebuild_messages_ = 0;
    counting_ = SetWindowSubclass(hwnd_, CountRebuilds, 1,
                                  reinterpret_cast<DWORD_PTR>(&rebuild_messages_)) != FALSE;
    ASSERT_TRUE(counting_);
  }

  std::vector<UnicodeString> Table() const {
    return std::vector<UnicodeString>(names_.begin(), names_.begin() + count_);
  }
  std::vector<UnicodeString> Shown() const {
    std::vector<UnicodeString> items;
    for (int i = 0; i < list_->Count(); ++i) items.push_back(list_->Item(i));
    return items;
  }

  // The table and the list box both hold exactly `expected`, in that order.
  void ExpectShowing(const std::vector<UnicodeString>& expected) {
    EXPECT_EQ(Table(), expected);
    EXPECT_EQ(Shown(), expected);
    UnicodeString text;
    for (const UnicodeString& name : expected) text += name + u"\r\n";
    EXPECT_EQ(list_->ItemsText(), text);
  }

  std::wstring driver_;
  std::unique_ptr<pdtest::ScopedPrinters> printers_;
  std::unique_ptr<vcl::TForm> form_;
  vcl::TListBox* list_ = nullptr;
  HWND hwnd_ = nullptr;
  bool counting_ = false;
  int rebuild_messages_ = 0;

  printing::WinSpooler spooler_;
  printing::PrinterNameTable names_{};
  std::uint32_t count_ = 0;
  printing::NameVerdict verdict_;
};

TEST_F(RefreshOnRealSpooler, ListsExactlyTheOnlineKelvoPrintersInEnumerationOrder) {
  Refresh();
  const std::vector<UnicodeString> expected = EligibleNow();
  // Only ours are in the prefix: the others are offline, differ in case, or are too short.
  ASSERT_EQ(expected, (std::vector<UnicodeString>{u"Kelvo LP-1", u"Kelvo LP-2"}));
  EXPECT_EQ(count_, 2u);
  ExpectShowing(expected);
}

TEST_F(RefreshOnRealSpooler, OfflinePrinterDropsOutAndComesBack) {
  Refresh();
  ASSERT_EQ(printers_->SetOffline(L"Kelvo LP-1", true), static_cast<DWORD>(ERROR_SUCCESS));
  Refresh();
  ExpectShowing({u"Kelvo LP-2"});

  ASSERT_EQ(printers_->SetOffline(L"Kelvo LP-1", false), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(printers_->SetOffline(L"Kelvo Standby", false), static_cast<DWORD>(ERROR_SUCCESS));
  Refresh();
  const std::vector<UnicodeString> expected = EligibleNow();
  ASSERT_EQ(expected.size(), 3u);
  ExpectShowing(expected);
}

TEST_F(RefreshOnRealSpooler, DeletedPrinterDropsOut) {
  Refresh();
  ASSERT_EQ(printers_->Remove(L"Kelvo LP-1"), static_cast<DWORD>(ERROR_SUCCESS));
  Refresh();
  ExpectShowing({u"Kelvo LP-2"});

  ASSERT_EQ(printers_->Remove(L"Kelvo LP-2"), static_cast<DWORD>(ERROR_SUCCESS));
  Refresh();
  ExpectShowing({});
  EXPECT_EQ(count_, 0u);
}

TEST_F(RefreshOnRealSpooler, AddedPrinterAppearsInItsEnumerationPlace) {
  Refresh();
  ASSERT_EQ(printers_->Add(L"Kelvo LP-0"), static_cast<DWORD>(ERROR_SUCCESS));
  Refresh();
  std::vector<UnicodeString> expected = EligibleNow();
  ASSERT_EQ(expected.size(), 3u);
  ExpectShowing(expected);

  // Past a hundred, every one is listed: a print server may hold that many.
  for (int i = 0; i < 110; ++i) {
    const std::wstring name = L"Kelvo P" + std::to_wstring(100 + i);
    ASSERT_EQ(printers_->Add(name), static_cast<DWORD>(ERROR_SUCCESS)) << name;
  }
  Refresh();
  expected = EligibleNow();
  ASSERT_EQ(expected.size(), 113u);
  ExpectShowing(expected);
}

TEST_F(RefreshOnRealSpooler, UnchangedRefreshLeavesTheListAndSelectionAlone) {
  Refresh();
  ASSERT_EQ(list_->Count(), 2);
  SendMessageW(hwnd_, LB_SETCURSEL, 1, 0);
  StartCountingRebuilds();

  Refresh();
  Refresh();
  EXPECT_EQ(rebuild_messages_, 0) << "an unchanged printer set must not rebuild the list";
  EXPECT_TRUE(list_->GetSelected(1));
  EXPECT_EQ(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0), 1);
  ExpectShowing({u"Kelvo LP-1", u"Kelvo LP-2"});

  // A change does rebuild it, and only then.
  ASSERT_EQ(printers_->SetOffline(L"Kelvo LP-1", true), static_cast<DWORD>(ERROR_SUCCESS));
  Refresh();
  EXPECT_GT(rebuild_messages_, 0);
  ExpectShowing({u"Kelvo LP-2"});
}

TEST_F(RefreshOnRealSpooler, NamesOutsideAsciiComeThroughTheAnsiCodePage) {
  const std::wstring name = L"Kelvo B\u00fcro";
  BOOL lossy = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, nullptr, 0, nullptr, &lossy);
  if (lossy) GTEST_SKIP() << "the ANSI code page " << GetACP() << " cannot hold the name";
  ASSERT_EQ(printers_->Add(name), static_cast<DWORD>(ERROR_SUCCESS));
  Refresh();
  const std::vector<UnicodeString> expected = EligibleNow();
  ASSERT_EQ(expected.size(), 3u);
  ExpectShowing(expected);
}

}  // namespace
