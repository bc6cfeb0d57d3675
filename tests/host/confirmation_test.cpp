#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/sim_spooler.h"
#include "ui/headless/headless.h"
#include "ui/torlent_form.h"

namespace {

using sim::Op;

class ConfirmationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    for (const char* name : {"Kelvo LP-1", "Other", "Kelvo LP-2"}) spooler.Add(name);
    spooler.dialog = [this](sim::Dialog& dialog) {
      dialog.paper_size = DMPAPER_A4;
      return dialog_result;
    };
    app.CreateForm(&form, spooler);
    spooler.calls.clear();
  }

  void TearDown() override { headless::Reset(); }

  // Selects list item `index` and presses OK.
  void Confirm(int index) {
    headless::Select(*form->ListBoxPrinterList, index);
    headless::Click(*form->Button_ok);
  }

  sim::Printer& Lp2() { return *spooler.Find("Kelvo LP-2"); }
  const sim::Call* Find(Op op, DWORD mode = ~0u) const {
    for (const auto& call : spooler.calls) {
      if (call.op == op && (mode == ~0u || call.mode == mode)) return &call;
    }
    return nullptr;
  }
  bool Called(Op op) const { return Find(op) != nullptr; }

  void ExpectNothingLeftBehind() const {
    EXPECT_EQ(spooler.OpenHandles(), 0);
    EXPECT_EQ(spooler.LiveBlocks(), 0);
    EXPECT_EQ(spooler.Violations(), 0);
  }

  const headless::FormState& Window() const { return headless::StateOf(*form); }

  sim::Spooler spooler;
  vcl::TApplication app;
  TorlentForm* form = nullptr;
  LONG dialog_result = IDOK;
};

TEST_F(ConfirmationTest, OkStoresTheDialogsSettingsAndClosesTheWindow) {
  Confirm(1);
  ASSERT_EQ(spooler.Ops(),
            (std::vector<Op>{Op::OpenPrinter, Op::GetPrinter, Op::GlobalAlloc, Op::GetPrinter,
                             Op::DocumentProperties, Op::GlobalAlloc, Op::DocumentProperties,
                             Op::SetPrinter, Op::ClosePrinter, Op::GlobalFree, Op::GlobalFree}));
  const auto& calls = spooler.calls;
  EXPECT_EQ(calls[0].name, "Kelvo LP-2");
  EXPECT_EQ(calls[0].access, PRINTER_ALL_ACCESS);
  EXPECT_FALSE(calls[1].has_buffer);
  EXPECT_EQ(calls[1].level, 2u);
  EXPECT_EQ(calls[2].mode, GMEM_ZEROINIT);
  EXPECT_EQ(calls[3].size, calls[2].size);
  EXPECT_EQ(calls[4].mode, 0u);  // the driver's DEVMODE size

  const sim::Call& dialog = calls[6];
  EXPECT_EQ(dialog.mode, 14u);
  EXPECT_EQ(dialog.name, "Kelvo LP-2");
  EXPECT_EQ(dialog.owner, form->GetHandle());
  EXPECT_NE(dialog.input, nullptr);
  EXPECT_NE(dialog.output, dialog.input);

  EXPECT_EQ(calls[7].level, 2u);
  EXPECT_EQ(calls[7].mode, 0u);  // command
  EXPECT_EQ(calls[7].security_descriptor, nullptr);

  EXPECT_EQ(Lp2().paper_size, DMPAPER_A4);
  EXPECT_EQ(Lp2().sets, 1);
  EXPECT_EQ(spooler.Find("Kelvo LP-1")->sets, 0);
  EXPECT_EQ(Window().close_calls, 1);
  EXPECT_TRUE(Window().quit_posted);
  EXPECT_TRUE(headless::MessageBoxes().empty());
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, CancelInTheDriverDialogStoresNothingAndKeepsTheWindow) {
  dialog_result = IDCANCEL;
  Confirm(0);
  EXPECT_EQ(spooler.Ops(),
            (std::vector<Op>{Op::OpenPrinter, Op::GetPrinter, Op::GlobalAlloc, Op::GetPrinter,
                             Op::DocumentProperties, Op::GlobalAlloc, Op::DocumentProperties,
                             Op::ClosePrinter, Op::GlobalFree, Op::GlobalFree}));
  EXPECT_EQ(spooler.Find("Kelvo LP-1")->paper_size, DMPAPER_LETTER);
  EXPECT_EQ(Window().show_calls, 1);
  EXPECT_TRUE(Window().visible);
  EXPECT_EQ(Window().close_calls, 0);
  EXPECT_TRUE(headless::MessageBoxes().empty());
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, FailedDialogStoresNothingAndSaysSo) {
  dialog_result = -1;
  Confirm(1);
  EXPECT_FALSE(Called(Op::SetPrinter));
  EXPECT_EQ(Window().close_calls, 0);
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  const auto& box = headless::MessageBoxes()[0];
  EXPECT_EQ(box.owner, form->GetHandle());
  EXPECT_EQ(box.text, u"The printer's settings dialog could not be opened.");
  EXPECT_EQ(box.caption, u"Please select printer 3.2");
  EXPECT_EQ(Lp2().paper_size, DMPAPER_LETTER);
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, RefusedOpenAsksForAdministratorRights) {
  Lp2().admin_only = true;
  Confirm(1);
  EXPECT_EQ(spooler.Ops(), std::vector<Op>{Op::OpenPrinter});
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].text,
            u"Changing this printer's default settings needs administrator rights.");
  EXPECT_EQ(headless::MessageBoxes()[0].kind, vcl::MessageKind::Warning);
  EXPECT_EQ(Window().close_calls, 0);
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, VanishedPrinterFailsSilently) {
  spooler.printers.pop_back();  // deleted after the list was shown
  Confirm(1);
  EXPECT_EQ(spooler.Ops(), std::vector<Op>{Op::OpenPrinter});
  EXPECT_TRUE(headless::MessageBoxes().empty());
  EXPECT_EQ(Window().close_calls, 0);
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, FailedSetKeepsTheWindowAndShowsTheSystemsText) {
  spooler.FailNext(Op::SetPrinter, ERROR_ACCESS_DENIED);
  Confirm(1);
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].text,
            u"The printer settings could not be stored.\r\n\r\nSystem error 5");
  EXPECT_EQ(headless::MessageBoxes()[0].kind, vcl::MessageKind::Error);
  EXPECT_EQ(Window().close_calls, 0);
  EXPECT_EQ(Lp2().paper_size, DMPAPER_LETTER);
  // The message comes once the printer is closed and the blocks are freed.
  EXPECT_EQ(spooler.calls.back().op, Op::GlobalFree);
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, MessagesSpeakChineseToAChineseUser) {
  headless::SetUserDefaultLangID(0x0804);
  vcl::TApplication chinese_app;
  TorlentForm* chinese = nullptr;
  chinese_app.CreateForm(&chinese, spooler);
  spooler.Find("Kelvo LP-1")->admin_only = true;
  headless::Select(*chinese->ListBoxPrinterList, 0);
  headless::Click(*chinese->Button_ok);
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].text, u"更改此打印机的默认设置需要管理员权限。");
  EXPECT_EQ(headless::MessageBoxes()[0].caption, u"请选择打印机3.2");
}

TEST_F(ConfirmationTest, NoSelectionMeansNoSpoolerCall) {
  headless::Click(*form->Button_ok);
  EXPECT_TRUE(spooler.calls.empty());
  EXPECT_EQ(Window().close_calls, 0);
  EXPECT_EQ(Window().show_calls, 0);
}

TEST_F(ConfirmationTest, SizingCallThatSucceedsEndsQuietly) {
  spooler.sizing_get_succeeds = true;
  Confirm(1);
  EXPECT_EQ(spooler.Ops(), (std::vector<Op>{Op::OpenPrinter, Op::GetPrinter, Op::ClosePrinter}));
  EXPECT_EQ(Window().close_calls, 0);
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, EveryFaultPointReleasesEverything) {
  // Fail each call of a full OK flow in turn, on a fresh spooler state each time.
  Confirm(1);
  const std::vector<Op> flow = spooler.Ops();
  for (size_t fault = 0; fault < flow.size(); ++fault) {
    if (flow[fault] == Op::ClosePrinter || flow[fault] == Op::GlobalFree) continue;
    SCOPED_TRACE(std::string("failing ") + sim::OpName(flow[fault]) + " #" + std::to_string(fault));
    sim::Spooler faulty;
    faulty.printers = spooler.printers;
    faulty.printers[2].paper_size = DMPAPER_LETTER;
    faulty.dialog = [](sim::Dialog& dialog) {
      dialog.paper_size = DMPAPER_A4;
      return IDOK;
    };
    vcl::TApplication fault_app;
    TorlentForm* window = nullptr;
    fault_app.CreateForm(&window, faulty);
    faulty.FailCall(faulty.calls.size() + fault, ERROR_INVALID_PARAMETER);
    headless::Select(*window->ListBoxPrinterList, 1);
    headless::Click(*window->Button_ok);
    EXPECT_EQ(faulty.OpenHandles(), 0);
    EXPECT_EQ(faulty.LiveBlocks(), 0);
    EXPECT_EQ(faulty.Violations(), 0);
    EXPECT_EQ(faulty.printers[2].paper_size, DMPAPER_LETTER);
    EXPECT_EQ(headless::StateOf(*window).close_calls, 0);
  }
}

TEST_F(ConfirmationTest, RefreshDuringTheDialogDoesNotChangeWhichPrinterIsEdited) {
  spooler.dialog = [this](sim::Dialog& dialog) {
    // The first printer goes away while the dialog is open; the list is rebuilt under it.
    spooler.printers.erase(spooler.printers.begin());
    headless::Tick(*form->TimerEnumPrinter);
    EXPECT_EQ(form->ListBoxPrinterList->Item(0), u"Kelvo LP-2");
    form->PrinterNames[1] = u"Kelvo overwritten";
    dialog.paper_size = DMPAPER_A4;
    return IDOK;
  };
  Confirm(1);
  const sim::Call* set = Find(Op::SetPrinter);
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->name, "Kelvo LP-2");
  EXPECT_EQ(Lp2().paper_size, DMPAPER_A4);
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, DriverDevModeLargerThanTheStoredOneFitsItsBlock) {
  spooler.driver_private_size = 3000;  // the stored one carries 8 private bytes
  Confirm(1);
  EXPECT_EQ(spooler.Violations(), 0);
  ASSERT_TRUE(Lp2().private_bytes.has_value());
  EXPECT_EQ(Lp2().private_bytes->size(), 3000u);
  EXPECT_EQ(Lp2().paper_size, DMPAPER_A4);
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, PrinterWithoutAStoredDevModeGetsTheDriversOne) {
  Lp2().private_bytes.reset();
  Confirm(1);
  const sim::Call* dialog = Find(Op::DocumentProperties, DM_IN_PROMPT | DM_OUT_BUFFER);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->input, nullptr);
  EXPECT_TRUE(Lp2().private_bytes.has_value());
  EXPECT_EQ(Lp2().paper_size, DMPAPER_A4);
  EXPECT_EQ(Window().close_calls, 1);
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, NameLongerThanTheDevModesDeviceNameIsEditedAndStoredInFull) {
  // Both names fill the DEVMODE's 32-byte device name with the same first 31 bytes; in UTF-8
  // (the tool's code page) "Kelvo " and nine Chinese characters already overflow it.
  const std::string east = "Kelvo Colour Laser, Second Floor East";
  const std::string west = "Kelvo Colour Laser, Second Floor West";
  spooler.Add(east);
  spooler.Add(west);
  headless::Tick(*form->TimerEnumPrinter);
  const auto& names = form->PrinterNames;
  const auto at = std::find(names.begin(), names.begin() + form->PrinterCount,
                            vcl::UnicodeString(east.begin(), east.end()));
  ASSERT_NE(at, names.begin() + form->PrinterCount);
  spooler.calls.clear();
  Confirm(static_cast<int>(at - names.begin()));

  for (const sim::Call& call : spooler.calls) {
    if (call.op == Op::OpenPrinter || call.op == Op::DocumentProperties ||
        call.op == Op::SetPrinter) {
      EXPECT_EQ(call.name, east) << sim::OpName(call.op);
    }
  }
  EXPECT_EQ(spooler.Find(east)->paper_size, DMPAPER_A4);
  EXPECT_EQ(spooler.Find(east)->sets, 1);
  EXPECT_EQ(spooler.Find(west)->sets, 0);
  ExpectNothingLeftBehind();
}

}  // namespace
