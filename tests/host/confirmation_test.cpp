#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "printing/confirmation_outcome.h"
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
    // Every message box came once the printer was closed and every block freed.
    for (const auto& box : headless::MessageBoxes()) EXPECT_EQ(box.live_resources, 0);
  }

  // Refreshes the window's list under `page`, as a process running with that code page would.
  void Under(headless::CodePage page) {
    spooler.SetCodePage(page);
    headless::Tick(*form->TimerEnumPrinter);
    spooler.calls.clear();
  }

  const headless::FormState& Window() const { return headless::StateOf(*form); }

  sim::Spooler spooler;
  vcl::TApplication app;
  TorlentForm* form = nullptr;
  LONG dialog_result = IDOK;
};

TEST_F(ConfirmationTest, OkStoresTheDialogsSettingsAndClosesTheWindow) {
  Confirm(1);
  // The record is read again after the dialog, and outside UTF-8 read wide for the text check.
  ASSERT_EQ(spooler.Ops(),
            (std::vector<Op>{Op::OpenPrinter, Op::GetPrinter, Op::GlobalAlloc, Op::GetPrinter,
                             Op::DocumentProperties, Op::GlobalAlloc, Op::DocumentProperties,
                             Op::GetPrinter, Op::GlobalAlloc, Op::GetPrinter, Op::GetPrinterW,
                             Op::GlobalAlloc, Op::GetPrinterW, Op::SetPrinter, Op::ClosePrinter,
                             Op::GlobalFree, Op::GlobalFree, Op::GlobalFree, Op::GlobalFree}));
  const auto& calls = spooler.calls;
  EXPECT_EQ(calls[0].name, "Kelvo LP-2");
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

  EXPECT_FALSE(calls[7].has_buffer);
  EXPECT_EQ(calls[8].mode, GMEM_ZEROINIT);
  EXPECT_EQ(calls[9].size, calls[8].size);
  EXPECT_FALSE(calls[10].has_buffer);
  EXPECT_EQ(calls[10].level, 2u);
  EXPECT_EQ(calls[11].mode, GMEM_ZEROINIT);
  EXPECT_EQ(calls[12].size, calls[11].size);
  EXPECT_EQ(calls[13].level, 2u);
  EXPECT_EQ(calls[13].mode, 0u);  // command
  EXPECT_EQ(calls[13].security_descriptor, nullptr);

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

TEST_F(ConfirmationTest, ManagingThePrinterIsRightEnoughToStore) {
  // Neither the right to change the printer's permissions nor to take its ownership.
  Lp2().grants = PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE;
  Confirm(1);
  EXPECT_TRUE(headless::MessageBoxes().empty());
  EXPECT_EQ(Lp2().paper_size, DMPAPER_A4);
  EXPECT_EQ(Window().close_calls, 1);
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, RefusedOpenAsksForAdministratorRights) {
  Lp2().grants = PRINTER_ACCESS_USE | READ_CONTROL;
  Confirm(1);
  EXPECT_EQ(spooler.Ops(), std::vector<Op>{Op::OpenPrinter});
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].text,
            u"Changing this printer's default settings needs administrator rights.");
  EXPECT_EQ(headless::MessageBoxes()[0].kind, vcl::MessageKind::Warning);
  EXPECT_EQ(Window().close_calls, 0);
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, FailedOpenThatLeavesJunkInTheSlotClosesNothing) {
  spooler.failed_open_leaves = reinterpret_cast<HANDLE>(0xBAD);
  Lp2().grants = PRINTER_ACCESS_USE | READ_CONTROL;
  Confirm(1);
  spooler.printers.pop_back();
  Confirm(1);
  EXPECT_EQ(spooler.Ops(), (std::vector<Op>{Op::OpenPrinter, Op::OpenPrinter}));
  EXPECT_EQ(headless::MessageBoxes().size(), 1u);
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
  spooler.Find("Kelvo LP-1")->grants = PRINTER_ACCESS_USE;
  headless::Select(*chinese->ListBoxPrinterList, 0);
  headless::Click(*chinese->Button_ok);
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].text, u"更改此打印机的默认设置需要管理员权限。");
  EXPECT_EQ(headless::MessageBoxes()[0].caption, u"请选择打印机3.2");
  ExpectNothingLeftBehind();
}

TEST(ConfirmationMessages, OnlyChinesePrcReadsChinese) {
  using printing::ConfirmationOutcome;
  for (const auto outcome :
       {ConfirmationOutcome::NeedsAdministrator, ConfirmationOutcome::DialogFailed,
        ConfirmationOutcome::StoreFailed, ConfirmationOutcome::TextNotCarried,
        ConfirmationOutcome::ChangedElsewhere}) {
    SCOPED_TRACE(static_cast<int>(outcome));
    const std::u16string english = printing::ConfirmationMessage(outcome, 0x0409, u"why");
    ASSERT_FALSE(english.empty());
    EXPECT_LT(english.front(), u'\x80');
    // Taiwan and Japan share no captions with the PRC: they read English.
    EXPECT_EQ(printing::ConfirmationMessage(outcome, 0x0404, u"why"), english);
    EXPECT_EQ(printing::ConfirmationMessage(outcome, 0x0411, u"why"), english);
    const std::u16string chinese = printing::ConfirmationMessage(outcome, 0x0804, u"why");
    EXPECT_GE(chinese.front(), u'\x4E00');
  }
  EXPECT_NE(printing::ConfirmationMessage(ConfirmationOutcome::TextNotCarried, 0x0409, u"")
                .find(u"Windows 10 version 1903"),
            std::u16string::npos);
  EXPECT_NE(
      printing::ConfirmationMessage(ConfirmationOutcome::TextNotCarried, 0x0804, u"").find(u"1903"),
      std::u16string::npos);
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

TEST_F(ConfirmationTest, DriversThatWriteBeyondTheirReportedSizeStayInTheirBlock) {
  // One writes scratch bytes past the DEVMODE it reports; one hands back a stored DEVMODE larger
  // than its own, which only fits because the block also covers the stored size.
  struct Case {
    WORD past;
    bool keeps_input;
    size_t stored_private;
    size_t expected_private;
  };
  for (const Case c : {Case{3000, false, 8, 8}, Case{0, true, 6000, 6000}}) {
    SCOPED_TRACE(c.past);
    sim::Spooler driver;
    for (const char* name : {"Kelvo LP-1", "Kelvo LP-2"}) driver.Add(name);
    driver.printers[1].private_bytes = std::vector<BYTE>(c.stored_private, 0x5A);
    driver.writes_past_devmode = c.past;
    driver.keeps_larger_input = c.keeps_input;
    vcl::TApplication driver_app;
    TorlentForm* window = nullptr;
    driver_app.CreateForm(&window, driver);
    headless::Select(*window->ListBoxPrinterList, 1);
    headless::Click(*window->Button_ok);
    EXPECT_EQ(driver.Violations(), 0);
    EXPECT_EQ(driver.printers[1].sets, 1);
    ASSERT_TRUE(driver.printers[1].private_bytes.has_value());
    EXPECT_EQ(driver.printers[1].private_bytes->size(), c.expected_private);
    EXPECT_EQ(driver.OpenHandles() + driver.LiveBlocks(), 0);
  }
}

TEST_F(ConfirmationTest, DriverReportingNoDevModeSizeIsAFailedDialog) {
  spooler.reported_devmode_size = 0;
  Confirm(1);
  EXPECT_EQ(Find(Op::DocumentProperties, 14u), nullptr);
  EXPECT_FALSE(Called(Op::SetPrinter));
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].text,
            u"The printer's settings dialog could not be opened.");
  EXPECT_EQ(Lp2().sets, 0);
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, ChangesMadeWhileTheDialogIsOpenAreKept) {
  spooler.dialog = [this](sim::Dialog& dialog) {
    sim::Printer& edited = Lp2();
    edited.name = u"Kelvo LP-2 upstairs";
    edited.attributes |= PRINTER_ATTRIBUTE_WORK_OFFLINE;
    edited.comment = u"moved";
    dialog.paper_size = DMPAPER_A4;
    return IDOK;
  };
  Confirm(1);
  const sim::Printer* edited = spooler.Find(u"Kelvo LP-2 upstairs");
  ASSERT_NE(edited, nullptr) << "renamed back";
  EXPECT_EQ(spooler.Find(u"Kelvo LP-2"), nullptr);
  EXPECT_EQ(edited->attributes, PRINTER_ATTRIBUTE_WORK_OFFLINE);
  EXPECT_EQ(edited->comment, u"moved");
  EXPECT_EQ(edited->paper_size, DMPAPER_A4);
  EXPECT_EQ(edited->sets, 1);
  EXPECT_EQ(Window().close_calls, 1);
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, SettingsStoredElsewhereWhileTheDialogIsOpenAreNotUndone) {
  // While ours is open and confirmed without a change, one after the other: another copy of the
  // tool stores A5, then a driver-private change; a driver update shortens the private part (the
  // shorter DEVMODE ends its block, so comparing it as far as the old one would read past it);
  // the settings are removed, then stored again. Storing would put the old settings back.
  struct Change {
    const char* what;
    std::function<void(sim::Printer&)> change;
  };
  const Change changes[] = {
      {"paper", [](sim::Printer& printer) { printer.paper_size = DMPAPER_A5; }},
      {"private byte", [](sim::Printer& printer) { printer.private_bytes->back() ^= 0x40; }},
      {"shorter", [](sim::Printer& printer) { printer.private_bytes->resize(4); }},
      {"removed", [](sim::Printer& printer) { printer.private_bytes.reset(); }},
      {"stored anew", [](sim::Printer& printer) { printer.private_bytes.emplace(8, BYTE{7}); }}};
  for (const Change& c : changes) {
    SCOPED_TRACE(c.what);
    headless::MessageBoxes().clear();
    spooler.dialog = [&](sim::Dialog&) {
      c.change(Lp2());
      return IDOK;
    };
    Confirm(1);
    EXPECT_EQ(Lp2().sets, 0);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    const auto& box = headless::MessageBoxes()[0];
    EXPECT_EQ(box.kind, vcl::MessageKind::Warning);
    EXPECT_NE(box.text.find(u"changed elsewhere"), std::u16string::npos);
    EXPECT_EQ(Window().close_calls, 0);
    ExpectNothingLeftBehind();
  }
  // OK again starts from the current settings and stores.
  short seen = 0;
  spooler.dialog = [&](sim::Dialog& dialog) {
    seen = std::exchange(dialog.paper_size, DMPAPER_A4);
    return IDOK;
  };
  Confirm(1);
  EXPECT_EQ(seen, DMPAPER_A5);
  EXPECT_EQ(Lp2().paper_size, DMPAPER_A4);
  EXPECT_EQ(Window().close_calls, 1);
}

TEST_F(ConfirmationTest, OkPressedAgainWhileAConfirmationRunsDoesNothing) {
  int dialogs = 0;
  spooler.dialog = [&](sim::Dialog&) {
    ++dialogs;
    headless::Click(*form->Button_ok);  // a posted click, UI Automation, a stray message
    return IDCANCEL;
  };
  Confirm(1);
  EXPECT_EQ(dialogs, 1);
  const auto ops = spooler.Ops();
  EXPECT_EQ(std::count(ops.begin(), ops.end(), Op::OpenPrinter), 1);
  ExpectNothingLeftBehind();
  // Once it has ended, OK works again.
  Confirm(1);
  EXPECT_EQ(dialogs, 2);
}

TEST_F(ConfirmationTest, PrinterGoneWhenTheDialogClosesSaysNothingWasStored) {
  spooler.dialog = [this](sim::Dialog& dialog) {
    spooler.printers.pop_back();
    dialog.paper_size = DMPAPER_A4;
    return IDOK;
  };
  Confirm(1);
  EXPECT_FALSE(Called(Op::SetPrinter));
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].text,
            u"The printer settings could not be stored.\r\n\r\nSystem error 1801");
  EXPECT_EQ(Window().close_calls, 0);
  ExpectNothingLeftBehind();
}

TEST_F(ConfirmationTest, RecordGrowingWhileItIsReadIsReadAgain) {
  // Someone sets a longer comment between each sizing and filling call of one level-2 read. A
  // wide read that grew once holds a comment the ANSI record read before it lacks.
  const std::u16string growth = u"-longer-";
  enum class Ends { Stored, Silently, ChangedElsewhere };
  struct Case {
    const char* what;
    Op read;
    bool after_dialog;
    int growths;
    Ends ends;
  };
  const Case cases[] = {{"once before the dialog", Op::GetPrinter, false, 1, Ends::Stored},
                        {"once after it", Op::GetPrinter, true, 1, Ends::Stored},
                        {"always before the dialog", Op::GetPrinter, false, 1000, Ends::Silently},
                        {"always after it", Op::GetPrinter, true, 1000, Ends::ChangedElsewhere},
                        {"once, wide", Op::GetPrinterW, true, 1, Ends::ChangedElsewhere},
                        {"always, wide", Op::GetPrinterW, true, 1000, Ends::ChangedElsewhere}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    headless::MessageBoxes().clear();
    spooler.calls.clear();
    Lp2().comment.clear();
    const int sets = Lp2().sets;
    bool dialog_done = false;
    int grown = 0;
    spooler.dialog = [&](sim::Dialog& dialog) {
      dialog_done = true;
      dialog.paper_size = DMPAPER_A4;
      return IDOK;
    };
    spooler.after_call = [&](const sim::Call& call) {
      if (call.op == c.read && !call.has_buffer && dialog_done == c.after_dialog &&
          grown < c.growths) {
        ++grown;
        Lp2().comment += growth;
      }
    };
    Confirm(1);
    spooler.after_call = nullptr;
    EXPECT_LT(grown, 10);  // a bounded number of reads
    EXPECT_EQ(Lp2().sets, sets + (c.ends == Ends::Stored ? 1 : 0));
    EXPECT_EQ(Called(Op::DocumentProperties), c.ends != Ends::Silently);
    if (c.ends == Ends::ChangedElsewhere) {
      ASSERT_EQ(headless::MessageBoxes().size(), 1u);
      EXPECT_EQ(headless::MessageBoxes()[0].text,
                printing::ConfirmationMessage(printing::ConfirmationOutcome::ChangedElsewhere,
                                              0x0409, u""));
    } else {
      EXPECT_TRUE(headless::MessageBoxes().empty());
      EXPECT_EQ(Lp2().comment.size(), growth.size() * static_cast<size_t>(grown));
    }
    ExpectNothingLeftBehind();
  }
}

TEST_F(ConfirmationTest, FailedReadAfterTheDialogShowsItsOwnError) {
  // The free after the failed call may overwrite the last error; the one shown is the call's.
  // "Too small" for a size that holds no record is no growing record: the store failed.
  const std::pair<std::function<void()>, std::u16string> faults[] = {
      {[&] { spooler.FailNextFill(ERROR_ACCESS_DENIED, 1, Op::GetPrinter); }, u"5"},
      {[&] { spooler.FailNextFill(ERROR_ACCESS_DENIED, 1, Op::GetPrinterW); }, u"5"},
      {[&] { spooler.sizing_reports[Op::GetPrinter] = sizeof(PRINTER_INFO_2A) - 1; }, u"13"},
  };
  for (size_t i = 0; i < std::size(faults); ++i) {
    SCOPED_TRACE(i);
    headless::MessageBoxes().clear();
    spooler.dialog = [&](sim::Dialog& dialog) {
      faults[i].first();
      dialog.paper_size = DMPAPER_A4;
      return IDOK;
    };
    Confirm(1);
    EXPECT_EQ(Lp2().sets, 0);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text,
              u"The printer settings could not be stored.\r\n\r\nSystem error " + faults[i].second);
    ExpectNothingLeftBehind();
  }
}

// The level-2 set passes every text through the ANSI code page and back, and the ANSI read may
// have cut a text that needs more room in the code page than in UTF-16.
struct TextCase {
  const char* what;
  headless::CodePage page;
  std::u16string sim::Printer::*field;
  const char16_t* text;
  bool stored;
  sim::Spooler::AnsiFill fill = sim::Spooler::AnsiFill::Compact;
};

constexpr auto kLatin1 = headless::CodePage::Latin1;
constexpr auto kUtf8 = headless::CodePage::Utf8;
constexpr auto kDoubleByte = headless::CodePage::DoubleByte;
constexpr auto kCut = sim::Spooler::AnsiFill::CutToWide;
constexpr auto kGrow = sim::Spooler::AnsiFill::GrowOnFill;
// 37 bytes in UTF-8, 26 in UTF-16, 24 in the double-byte page.
constexpr auto kLongLocation = u"财务部三楼东侧彩色打印室";

class ConfirmationTextTest : public ConfirmationTest,
                             public ::testing::WithParamInterface<TextCase> {};

TEST_P(ConfirmationTextTest, StoresOnlyWhenEveryTextSurvives) {
  const TextCase& c = GetParam();
  spooler.ansi_fill = c.fill;
  Under(c.page);
  Lp2().*c.field = c.text;
  const sim::Printer before = Lp2();
  Confirm(1);
  const sim::Printer& after = Lp2();
  for (auto field :
       {&sim::Printer::server, &sim::Printer::name, &sim::Printer::share, &sim::Printer::port,
        &sim::Printer::driver, &sim::Printer::comment, &sim::Printer::location,
        &sim::Printer::sep_file, &sim::Printer::print_processor, &sim::Printer::datatype,
        &sim::Printer::parameters}) {
    EXPECT_EQ(after.*field, before.*field);
  }
  EXPECT_EQ(after.attributes, before.attributes);
  EXPECT_TRUE(Called(Op::GetPrinterW));
  if (c.stored) {
    EXPECT_EQ(after.paper_size, DMPAPER_A4);
    EXPECT_EQ(Window().close_calls, 1);
    EXPECT_TRUE(headless::MessageBoxes().empty());
  } else {
    EXPECT_FALSE(Called(Op::SetPrinter));
    EXPECT_EQ(after.paper_size, DMPAPER_LETTER);
    EXPECT_EQ(Window().close_calls, 0);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    // Under UTF-8 Windows is recent enough already: no newer one is asked for.
    EXPECT_EQ(headless::MessageBoxes()[0].text,
              c.page == kUtf8 ? u"This printer's details use characters that this version of "
                                u"Windows cannot pass on, so the settings were not stored."
                              : u"This printer's details use characters that this version of "
                                u"Windows cannot pass on, so the settings were not stored.\r\n\r\n"
                                u"Windows 10 version 1903 or later is needed.");
    EXPECT_EQ(headless::MessageBoxes()[0].kind, vcl::MessageKind::Warning);
  }
  ExpectNothingLeftBehind();
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ConfirmationTextTest,
    ::testing::Values(
        TextCase{"utf8", headless::CodePage::Utf8, &sim::Printer::share, u"打印", true},
        TextCase{"utf8location", headless::CodePage::Utf8, &sim::Printer::location, u"三楼 打印室",
                 true},
        TextCase{"carried", kLatin1, &sim::Printer::location, u"Büro", true},
        TextCase{"location", kLatin1, &sim::Printer::location, u"三楼 打印室", false},
        TextCase{"comment", kLatin1, &sim::Printer::comment, u"Γραφείο", false},
        TextCase{"server", kLatin1, &sim::Printer::server, u"\\\\打印", false},
        TextCase{"share", kLatin1, &sim::Printer::share, u"Γ", false},
        TextCase{"port", kLatin1, &sim::Printer::port, u"Γ:", false},
        TextCase{"driver", kLatin1, &sim::Printer::driver, u"Γ", false},
        TextCase{"sepfile", kLatin1, &sim::Printer::sep_file, u"Γ.sep", false},
        TextCase{"processor", kLatin1, &sim::Printer::print_processor, u"Γ", false},
        TextCase{"datatype", kLatin1, &sim::Printer::datatype, u"Γ", false},
        TextCase{"parameters", kLatin1, &sim::Printer::parameters, u"Γ", false},
        TextCase{"bestfit", headless::CodePage::BestFit, &sim::Printer::sep_file, u"é", false},
        TextCase{"utf8cut", kUtf8, &sim::Printer::location, kLongLocation, false, kCut},
        TextCase{"utf8grown", kUtf8, &sim::Printer::location, kLongLocation, true, kGrow},
        TextCase{"dbcscut", kDoubleByte, &sim::Printer::location, kLongLocation, true, kCut},
        TextCase{"dbcsgrown", kDoubleByte, &sim::Printer::comment, kLongLocation, true, kGrow},
        TextCase{"dbcslost", kDoubleByte, &sim::Printer::comment, u"한국어", false}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.what); });

TEST_F(ConfirmationTest, EmptyTextsStoreWhicheverRecordLeavesThemOut) {
  // An empty text and a missing one carry nothing the code page could garble.
  using Missing = sim::Spooler::EmptyTextMissing;
  for (const Missing missing :
       {Missing::InAnsi, Missing::InWide, Missing::InBoth, Missing::InNeither}) {
    SCOPED_TRACE(static_cast<int>(missing));
    headless::MessageBoxes().clear();
    spooler.empty_text_missing = missing;
    const int sets = Lp2().sets;
    Confirm(1);
    EXPECT_EQ(Lp2().sets, sets + 1);
    EXPECT_TRUE(headless::MessageBoxes().empty());
    ExpectNothingLeftBehind();
  }
}

TEST_F(ConfirmationTest, RenamedInTheDialogToANameTheCodePageLosesIsNotStored) {
  spooler.dialog = [this](sim::Dialog& dialog) {
    Lp2().name = u"Kelvo 彩色";
    dialog.paper_size = DMPAPER_A4;
    return IDOK;
  };
  Confirm(1);
  EXPECT_FALSE(Called(Op::SetPrinter));
  ASSERT_NE(spooler.Find(u"Kelvo 彩色"), nullptr);
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(
      headless::MessageBoxes()[0].text,
      printing::ConfirmationMessage(printing::ConfirmationOutcome::TextNotCarried, 0x0409, u""));
  ExpectNothingLeftBehind();
}

// A name the code page lost must never be opened by its converted form.
TEST_F(ConfirmationTest, OkOpensThePrinterTheRowShows) {
  struct Case {
    headless::CodePage page;
    const char16_t* lost;
    const char16_t* twin;
  };
  for (const Case c : {Case{headless::CodePage::Latin1, u"Kelvo 彩色激光", u"Kelvo ????"},
                       Case{headless::CodePage::BestFit, u"Kelvo Café", u"Kelvo Cafe"}}) {
    sim::Spooler twins;
    twins.SetCodePage(c.page);
    twins.Add(c.lost);
    twins.Add(c.twin);
    twins.dialog = [](sim::Dialog& dialog) {
      dialog.paper_size = DMPAPER_A4;
      return IDOK;
    };
    vcl::TApplication twins_app;
    TorlentForm* window = nullptr;
    twins_app.CreateForm(&window, twins);
    ASSERT_EQ(window->ListBoxPrinterList->Count(), 1);
    EXPECT_EQ(window->ListBoxPrinterList->Item(0), c.twin);
    headless::Select(*window->ListBoxPrinterList, 0);
    headless::Click(*window->Button_ok);
    EXPECT_EQ(twins.printers[0].sets, 0) << "the printer the code page lost was overwritten";
    EXPECT_EQ(twins.printers[0].name, c.lost);
    EXPECT_EQ(twins.printers[1].sets, 1);
    EXPECT_EQ(twins.printers[1].paper_size, DMPAPER_A4);
    EXPECT_EQ(twins.OpenHandles() + twins.LiveBlocks() + twins.Violations(), 0);
  }
}

TEST_F(ConfirmationTest, OkPastTheHundredthRowOpensThatRowsPrinter) {
  for (int i = 0; i < 150; ++i) spooler.Add("Kelvo " + std::to_string(i));
  headless::Tick(*form->TimerEnumPrinter);
  spooler.calls.clear();
  Confirm(141);  // rows 0 and 1 are LP-1 and LP-2
  ASSERT_FALSE(spooler.calls.empty());
  EXPECT_EQ(spooler.calls[0].name, "Kelvo 139");
  EXPECT_EQ(spooler.Find("Kelvo 139")->paper_size, DMPAPER_A4);
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
