// The OK flow of the real window with the real spooler and the driver's real settings dialog:
// the test plays the user in the dialog from a second thread.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "printing/win32/win_spooler.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/scoped_printers.h"
#include "tests/wine/support/test_driver.h"
#include "tests/wine/tools/console_text.h"
#include "ui/torlent_form.h"

namespace {

using pdtest::PrinterRecord;

constexpr DWORD kOk = ERROR_SUCCESS;

std::map<std::wstring, PrinterRecord> AllPrinters() {
  std::vector<PrinterRecord> records;
  EXPECT_EQ(pdtest::ListPrinterRecords(&records), kOk);
  std::map<std::wstring, PrinterRecord> by_name;
  for (PrinterRecord& record : records) by_name[record.name] = std::move(record);
  return by_name;
}

// What a fresh handle reads through the ANSI entry points the program itself uses.
struct StoredA {
  std::string port, driver, print_processor, datatype;
  DWORD attributes = 0;
  short paper_size = 0;
};

bool ReadStoredA(const std::string& name, StoredA* stored) {
  HANDLE printer = nullptr;
  std::string copy = name;
  if (!OpenPrinterA(&copy[0], &printer, nullptr)) return false;
  std::unique_ptr<void, decltype(&ClosePrinter)> owned(printer, &ClosePrinter);
  DWORD needed = 0;
  GetPrinterA(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  if (needed == 0 || !GetPrinterA(printer, 2, buffer.data(), needed, &needed)) return false;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  auto text = [](const char* value) { return std::string(value != nullptr ? value : ""); };
  stored->port = text(info->pPortName);
  stored->driver = text(info->pDriverName);
  stored->print_processor = text(info->pPrintProcessor);
  stored->datatype = text(info->pDatatype);
  stored->attributes = info->Attributes;
  stored->paper_size = info->pDevMode != nullptr ? info->pDevMode->dmPaperSize : 0;
  return info->pDevMode != nullptr;
}

std::string Narrow(const std::wstring& text) { return pdtest::ToUtf8(text); }

class OkFlowWithDriverDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    driver_ = pdtest::TestDriverName();
    if (driver_ != pdtest::kPostScriptDriver) {
      GTEST_SKIP() << "these tests drive the Wine PostScript Driver's dialog";
    }
    printers_ = std::make_unique<pdtest::ScopedPrinters>(driver_);
    for (const wchar_t* name : {L"Kelvo OK-1", L"Kelvo OK-2", L"Other OK"}) {
      ASSERT_EQ(printers_->Add(name), kOk) << Narrow(name);
    }
    before_ = AllPrinters();
    ASSERT_EQ(before_.count(L"Kelvo OK-2"), 1u);
    ASSERT_NE(before_[L"Kelvo OK-2"].paper_size, DMPAPER_A4) << "A4 must be a change";

    form_ = std::make_unique<TorlentForm>(nullptr, spooler_);
    list_ = FindWindowExW(form_->GetHandle(), nullptr, L"ListBox", nullptr);
    ASSERT_NE(list_, nullptr);
    form_->Show();
  }

  void TearDown() override {
    form_.reset();
    printers_.reset();
  }

  void Select(const std::wstring& name) {
    const auto index = SendMessageW(list_, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(name.c_str()));
    ASSERT_NE(index, LB_ERR) << Narrow(name) << " is not listed";
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }

  // Every printer but `except` has the record it had before the test acted.
  void ExpectOthersUnchanged(const std::wstring& except) {
    std::map<std::wstring, PrinterRecord> after = AllPrinters();
    for (const auto& [name, old] : before_) {
      if (name == except) continue;
      ASSERT_EQ(after.count(name), 1u) << Narrow(name);
      const PrinterRecord& now = after[name];
      EXPECT_EQ(now.port, old.port) << Narrow(name);
      EXPECT_EQ(now.driver, old.driver) << Narrow(name);
      EXPECT_EQ(now.attributes, old.attributes) << Narrow(name);
      EXPECT_EQ(now.paper_size, old.paper_size) << Narrow(name);
      EXPECT_EQ(now.devmode, old.devmode) << Narrow(name) << ": settings changed";
    }
  }

  std::wstring driver_;
  std::unique_ptr<pdtest::ScopedPrinters> printers_;
  std::map<std::wstring, PrinterRecord> before_;
  printing::WinSpooler spooler_;
  std::unique_ptr<TorlentForm> form_;
  HWND list_ = nullptr;
};

TEST_F(OkFlowWithDriverDialog, StoresThePaperChosenInTheDialogAndClosesTheWindow) {
  Select(L"Kelvo OK-2");
  pdtest::PaperDialogDriver user(form_->GetHandle(), L"A4");
  form_->Button_okClick(form_->Button_ok);
  user.Finish();

  EXPECT_EQ(user.dialogs_seen(), 1);
  EXPECT_TRUE(user.chose_paper());
  EXPECT_TRUE(user.dialog_closed());
  EXPECT_TRUE(user.problem().empty()) << Narrow(user.problem());
  EXPECT_FALSE(form_->Visible()) << "the window closes once the settings are stored";

  StoredA stored;
  ASSERT_TRUE(ReadStoredA("Kelvo OK-2", &stored));
  EXPECT_EQ(stored.paper_size, DMPAPER_A4);
  const PrinterRecord& old = before_[L"Kelvo OK-2"];
  EXPECT_EQ(stored.port, Narrow(old.port));
  EXPECT_EQ(stored.driver, Narrow(old.driver));
  EXPECT_EQ(stored.print_processor, Narrow(old.print_processor));
  EXPECT_EQ(stored.datatype, Narrow(old.datatype));
  EXPECT_EQ(stored.attributes, old.attributes);
  ExpectOthersUnchanged(L"Kelvo OK-2");
}

TEST_F(OkFlowWithDriverDialog, ARefreshUnderTheOpenDialogDoesNotRedirectTheSettings) {
  Select(L"Kelvo OK-2");
  ASSERT_EQ(SendMessageW(list_, LB_GETCURSEL, 0, 0), 1) << "listed after Kelvo OK-1";
  bool list_moved = false;
  pdtest::PaperDialogDriver user(form_->GetHandle(), L"A4", [&] {
    // The printer listed first goes away while the dialog is open; the window's own timer
    // refreshes under the dialog and the selected printer moves to the first slot.
    if (printers_->Remove(L"Kelvo OK-1") != ERROR_SUCCESS) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!list_moved && std::chrono::steady_clock::now() < deadline) {
      list_moved = SendMessageW(list_, LB_GETCOUNT, 0, 0) == 1;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  form_->Button_okClick(form_->Button_ok);
  user.Finish();
  before_.erase(L"Kelvo OK-1");

  ASSERT_TRUE(list_moved) << "the list was not refreshed while the dialog was open";
  EXPECT_EQ(user.dialogs_seen(), 1) << Narrow(user.problem());
  EXPECT_TRUE(user.chose_paper()) << Narrow(user.problem());
  StoredA stored;
  ASSERT_TRUE(ReadStoredA("Kelvo OK-2", &stored));
  EXPECT_EQ(stored.paper_size, DMPAPER_A4) << "the settings went to the printer that was chosen";
  ExpectOthersUnchanged(L"Kelvo OK-2");
  EXPECT_FALSE(form_->Visible());
}

// Every text of the level-2 record, as the wide API reads it.
::testing::AssertionResult SameTexts(const PrinterRecord& was, const PrinterRecord& is) {
  const std::wstring PrinterRecord::*fields[] = {
      &PrinterRecord::server,   &PrinterRecord::name,      &PrinterRecord::share,
      &PrinterRecord::port,     &PrinterRecord::driver,    &PrinterRecord::comment,
      &PrinterRecord::location, &PrinterRecord::sep_file,  &PrinterRecord::print_processor,
      &PrinterRecord::datatype, &PrinterRecord::parameters};
  for (const auto field : fields) {
    if (was.*field != is.*field) {
      return ::testing::AssertionFailure()
             << "\"" << Narrow(was.*field) << "\" became \"" << Narrow(is.*field) << "\"";
    }
  }
  return ::testing::AssertionSuccess();
}

// Under a code page without these characters the level-2 set would store them as '?'. A test
// program without a manifest runs with the locale's code page (1252 here) and must refuse; with
// the UTF-8 manifest, as the shipped exe, it must store.
TEST_F(OkFlowWithDriverDialog, TextsOutsideTheCodePageAreNeverGarbled) {
  ASSERT_EQ(printers_->Add(L"Kelvo Texts"), kOk);
  ASSERT_EQ(pdtest::SetCommentAndLocation(L"Kelvo Texts", L"Γραφείο", L"三楼 打印室"), kOk);
  PrinterRecord before;
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo Texts", &before), kOk);
  ASSERT_EQ(before.location, L"三楼 打印室");
  ASSERT_NE(before.paper_size, DMPAPER_A4);
  before_ = AllPrinters();
  form_->TimerEnumPrinterTimer(nullptr);
  Select(L"Kelvo Texts");

  const bool utf8 = GetACP() == CP_UTF8;
#ifdef PD_EXPECT_UTF8
  ASSERT_TRUE(utf8) << "the manifest's UTF-8 code page is not in effect: " << GetACP();
#else
  ASSERT_FALSE(utf8) << "expected the locale's code page";
#endif
  pdtest::PaperDialogDriver user(form_->GetHandle(), L"A4");
  form_->Button_okClick(form_->Button_ok);
  user.Finish();
  EXPECT_TRUE(user.chose_paper()) << Narrow(user.problem());

  PrinterRecord after;
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo Texts", &after), kOk);
  EXPECT_TRUE(SameTexts(before, after));
  EXPECT_EQ(after.attributes, before.attributes);
  if (utf8) {
    EXPECT_EQ(after.paper_size, DMPAPER_A4);
    EXPECT_EQ(user.dialogs_seen(), 1) << Narrow(user.problem());
    EXPECT_FALSE(form_->Visible());
  } else {
    EXPECT_EQ(after.devmode, before.devmode) << "settings stored under code page " << GetACP();
    // The refusal is the one message box the driver of the dialogs saw after the sheet.
    EXPECT_EQ(user.dialogs_seen(), 2);
    EXPECT_NE(user.problem().find(L"1903"), std::wstring::npos) << Narrow(user.problem());
    EXPECT_TRUE(form_->Visible());
  }
  ExpectOthersUnchanged(L"Kelvo Texts");
}

// Before Windows 10 1903 (no UTF-8 manifest, code page 1252 here) a name the code page carries
// must reach the spooler in its 1252 bytes: its UTF-8 bytes name no printer.
TEST_F(OkFlowWithDriverDialog, ANonAsciiNameTheCodePageCarriesIsStored) {
  const std::wstring name = L"Kelvo B\u00fcro";
#ifndef PD_EXPECT_UTF8
  ASSERT_EQ(GetACP(), 1252u) << "run under a Western European locale (en_US)";
#endif
  ASSERT_EQ(printers_->Add(name), kOk);
  before_ = AllPrinters();
  form_->TimerEnumPrinterTimer(nullptr);
  Select(name);
  pdtest::PaperDialogDriver user(form_->GetHandle(), L"A4");
  form_->Button_okClick(form_->Button_ok);
  user.Finish();

  EXPECT_EQ(user.dialogs_seen(), 1) << Narrow(user.problem());
  EXPECT_TRUE(user.chose_paper()) << Narrow(user.problem());
  PrinterRecord after;
  ASSERT_EQ(pdtest::ReadPrinterRecord(name, &after), kOk);
  EXPECT_EQ(after.paper_size, DMPAPER_A4);
  EXPECT_TRUE(SameTexts(before_[name], after));
  ExpectOthersUnchanged(name);
  EXPECT_FALSE(form_->Visible());
}

TEST_F(OkFlowWithDriverDialog, APrinterTakenOfflineWhileItsDialogIsOpenStaysOffline) {
  Select(L"Kelvo OK-2");
  DWORD offline = ~0u;
  pdtest::PaperDialogDriver user(form_->GetHandle(), L"A4",
                                 [&] { offline = printers_->SetOffline(L"Kelvo OK-2", true); });
  form_->Button_okClick(form_->Button_ok);
  user.Finish();
  ASSERT_EQ(offline, kOk);
  EXPECT_TRUE(user.chose_paper()) << Narrow(user.problem());

  PrinterRecord after;
  ASSERT_EQ(pdtest::ReadPrinterRecord(L"Kelvo OK-2", &after), kOk);
  EXPECT_EQ(after.paper_size, DMPAPER_A4);
  EXPECT_NE(after.attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE, 0u) << "set online again";
  EXPECT_TRUE(SameTexts(before_[L"Kelvo OK-2"], after));
  ExpectOthersUnchanged(L"Kelvo OK-2");
}

TEST_F(OkFlowWithDriverDialog, WithoutASelectionNothingHappens) {
  SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  pdtest::PaperDialogDriver user(form_->GetHandle(), L"A4");
  form_->Button_okClick(form_->Button_ok);
  user.Finish();

  EXPECT_EQ(user.dialogs_seen(), 0) << Narrow(user.problem());
  EXPECT_TRUE(form_->Visible());
  ExpectOthersUnchanged(L"");
}

}  // namespace
