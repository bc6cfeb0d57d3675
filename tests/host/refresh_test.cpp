#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "printing/printer_list_refresh.h"
#include "tests/support/sim_spooler.h"
#include "ui/headless/headless.h"

namespace {

using vcl::UnicodeString;

class RefreshTest : public ::testing::Test {
 protected:
  // The headless conversions follow the last spooler's code page; start from the simulated one's.
  RefreshTest() { spooler.SetCodePage(headless::CodePage::Latin1); }

  void Add(const std::string& name, DWORD attributes = 0) { spooler.Add(name, attributes); }

  void Refresh() { printing::RefreshPrinterList(spooler, names, count, *list, verdict); }

  std::vector<UnicodeString> Items() const {
    std::vector<UnicodeString> items;
    for (int i = 0; i < list->Count(); ++i) items.push_back(list->Item(i));
    return items;
  }

  std::vector<UnicodeString> Table() const {
    return std::vector<UnicodeString>(names.begin(), names.begin() + count);
  }

  // The list shows exactly the table, and the refresh left nothing behind.
  void ExpectConsistent() {
    EXPECT_EQ(Items(), Table());
    EXPECT_LE(count, names.size());
    EXPECT_EQ(spooler.LiveBlocks(), 0);
    EXPECT_EQ(spooler.OpenHandles(), 0);
    EXPECT_EQ(spooler.Violations(), 0);
  }

  sim::Spooler spooler;
  vcl::TForm form{nullptr};
  vcl::TListBox* list = new vcl::TListBox(&form);
  printing::PrinterNameTable names;
  std::uint32_t count = 0;
  printing::NameVerdict verdict;
};

TEST(BrandPrefix, IsCaseSensitiveAndNeedsAllFiveCharacters) {
  EXPECT_TRUE(printing::IsBrandPrinterName("Kelvo"));
  EXPECT_TRUE(printing::IsBrandPrinterName("Kelvo LP-1"));
  EXPECT_TRUE(printing::IsBrandPrinterName("Kelvo\xA9\xFF"));
  EXPECT_FALSE(printing::IsBrandPrinterName("KELVO 200"));
  EXPECT_FALSE(printing::IsBrandPrinterName("kelvo"));
  EXPECT_FALSE(printing::IsBrandPrinterName("Kelv"));
  EXPECT_FALSE(printing::IsBrandPrinterName(""));
  EXPECT_FALSE(printing::IsBrandPrinterName(" Kelvo"));
  EXPECT_FALSE(printing::IsBrandPrinterName(nullptr));
}

TEST_F(RefreshTest, ListsEligiblePrintersInEnumerationOrder) {
  Add("Kelvo LP-1");
  Add("Other");
  Add("Kelvo LP-2");
  Add("KELVO 200");
  Add("kelvo");
  Add("Kelv");
  Add("Kelvo");
  Add("Kelvo Office", PRINTER_ATTRIBUTE_WORK_OFFLINE);
  Refresh();
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(Table(), (std::vector<UnicodeString>{u"Kelvo LP-1", u"Kelvo LP-2", u"Kelvo"}));
  ExpectConsistent();
}

TEST_F(RefreshTest, FollowsTheSpoolersCallSequence) {
  using sim::Op;
  Add("Kelvo LP-1");
  spooler.SetCodePage(headless::CodePage::Utf8);
  Refresh();
  const auto& calls = spooler.calls;
  // Even UTF-8, which carries every name, may hand one out cut: the cheap wide enumeration of
  // names follows, block for block.
  ASSERT_EQ(spooler.Ops(),
            (std::vector<Op>{Op::EnumPrinters, Op::LocalAlloc, Op::EnumPrinters, Op::EnumPrintersW,
                             Op::LocalAlloc, Op::EnumPrintersW, Op::LocalFree, Op::LocalFree}));
  EXPECT_FALSE(calls[0].has_buffer);
  EXPECT_EQ(calls[0].size, 0u);
  EXPECT_EQ(calls[0].level, 2u);
  const DWORD needed = calls[2].size;
  EXPECT_GT(needed, 0u);
  EXPECT_EQ(calls[1].size, needed + 4);
  EXPECT_EQ(calls[1].mode, LMEM_ZEROINIT);
  EXPECT_TRUE(calls[2].has_buffer);
  EXPECT_EQ(calls[3].level, 4u);
  EXPECT_FALSE(calls[3].has_buffer);
  EXPECT_EQ(calls[4].size, calls[5].size + 4);
  EXPECT_EQ(calls[4].mode, LMEM_ZEROINIT);

  // The same names in the same order: the last check stands.
  spooler.calls.clear();
  Refresh();
  EXPECT_EQ(spooler.Ops(),
            (std::vector<Op>{Op::EnumPrinters, Op::LocalAlloc, Op::EnumPrinters, Op::LocalFree}));

  // Without a brand printer to list there is nothing to check.
  spooler.printers[0].attributes = PRINTER_ATTRIBUTE_WORK_OFFLINE;
  spooler.calls.clear();
  Refresh();
  EXPECT_EQ(spooler.Ops(),
            (std::vector<Op>{Op::EnumPrinters, Op::LocalAlloc, Op::EnumPrinters, Op::LocalFree}));
  ExpectConsistent();
}

TEST_F(RefreshTest, NoPrintersAtAllLeavesAnEmptyListUntouched) {
  Refresh();
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(spooler.calls[1].size, 4u);  // sizing reported 0 bytes
  EXPECT_EQ(headless::ListMutations(*list), 0);
  ExpectConsistent();
}

TEST_F(RefreshTest, UnchangedTicksKeepTheListAndTheSelection) {
  Add("Kelvo LP-1");
  Add("Kelvo LP-2");
  Refresh();
  headless::Select(*list, 1);
  const int mutations = headless::ListMutations(*list);
  for (int tick = 0; tick < 5; ++tick) Refresh();
  EXPECT_EQ(headless::ListMutations(*list), mutations);
  EXPECT_EQ(headless::Selection(*list), 1);
  ExpectConsistent();
}

TEST_F(RefreshTest, OrderOnlyChangeRebuildsAndDropsTheSelection) {
  Add("Kelvo A");
  Add("Kelvo B");
  Refresh();
  headless::Select(*list, 0);
  std::swap(spooler.printers[0], spooler.printers[1]);
  Refresh();
  EXPECT_EQ(Items(), (std::vector<UnicodeString>{u"Kelvo B", u"Kelvo A"}));
  EXPECT_EQ(headless::Selection(*list), -1);
  ExpectConsistent();
}

TEST_F(RefreshTest, OfflinePrinterDropsOutAndComesBack) {
  Add("Kelvo A");
  Add("Kelvo B");
  Refresh();
  spooler.printers[0].attributes = PRINTER_ATTRIBUTE_WORK_OFFLINE;
  Refresh();
  EXPECT_EQ(Items(), std::vector<UnicodeString>{u"Kelvo B"});
  spooler.printers[0].attributes = 0;
  Refresh();
  EXPECT_EQ(Items(), (std::vector<UnicodeString>{u"Kelvo A", u"Kelvo B"}));
  ExpectConsistent();
}

TEST_F(RefreshTest, EmptiedListIsClearedOnceThenLeftAlone) {
  Add("Kelvo A");
  Refresh();
  spooler.printers.clear();
  Refresh();
  EXPECT_EQ(list->Count(), 0);
  const int mutations = headless::ListMutations(*list);
  Refresh();
  EXPECT_EQ(headless::ListMutations(*list), mutations);
  ExpectConsistent();
}

TEST_F(RefreshTest, ListsEveryEligiblePrinterPastAHundred) {
  for (int i = 0; i < 130; ++i) {
    Add("Other " + std::to_string(i));
    Add("Kelvo " + std::to_string(i));
  }
  Refresh();
  ASSERT_EQ(count, 130u);
  EXPECT_EQ(names[129], u"Kelvo 129");
  ExpectConsistent();
  // A name sorting first hides none of the others.
  spooler.printers.insert(spooler.printers.begin(), sim::Printer{});
  spooler.printers.front().name = u"Kelvo AAA";
  Refresh();
  ASSERT_EQ(count, 131u);
  EXPECT_EQ(names[130], u"Kelvo 129");
  ExpectConsistent();
}

TEST_F(RefreshTest, ListsThatJoinToTheSameTextAreStillToldApart) {
  // Both lists join to "Kelvo\r\nKelvo\r\nKelvo\r\n" with the same item count.
  Add("Kelvo\r\nKelvo");
  Add("Kelvo");
  Refresh();
  std::swap(spooler.printers[0], spooler.printers[1]);
  Refresh();
  EXPECT_EQ(Items(), (std::vector<UnicodeString>{u"Kelvo", u"Kelvo\r\nKelvo"}));
  ExpectConsistent();
}

TEST_F(RefreshTest, NonAsciiNamesConvertFromTheAnsiCodePage) {
  Add("Kelvo \xC9tiquette");
  Refresh();
  EXPECT_EQ(names[0], u"Kelvo \u00C9tiquette");
  ExpectConsistent();
}

// Where the ANSI code page cannot carry a printer's name, the name the ANSI enumeration gives
// may belong to another printer, or to none.
class RefreshCodePageTest : public RefreshTest {
 protected:
  void Under(headless::CodePage page, std::initializer_list<const char16_t*> printers) {
    spooler.SetCodePage(page);
    for (const char16_t* name : printers) spooler.Add(name);
  }
};

TEST_F(RefreshCodePageTest, NamesTheCodePageLostAreNotListed) {
  Under(headless::CodePage::Latin1,
        {u"Kelvo 彩色激光", u"Kelvo ????", u"Kelvo Γραφείο", u"Kelvo Büro", u"Kelvo LP-1"});
  Refresh();
  EXPECT_EQ(Items(), (std::vector<UnicodeString>{u"Kelvo ????", u"Kelvo Büro", u"Kelvo LP-1"}));
  ExpectConsistent();
}

TEST_F(RefreshCodePageTest, BestFitNamesAreNotListedButTheirPlainTwinsAre) {
  Under(headless::CodePage::BestFit, {u"Kelvo Café", u"Kelvo Cafe", u"Kelvo Ünterhaus"});
  Refresh();
  EXPECT_EQ(Items(), std::vector<UnicodeString>{u"Kelvo Cafe"});
  ExpectConsistent();
}

TEST_F(RefreshCodePageTest, Utf8ListsEveryNameExactly) {
  // Every name but one with half a surrogate pair, which UTF-8 hands out as U+FFFD.
  Under(headless::CodePage::Utf8,
        {u"Kelvo 彩色激光", u"Kelvo ????", u"Kelvo \xD83D", u"Kelvo Café", u"Kelvo 😀"});
  Refresh();
  EXPECT_EQ(Items(), (std::vector<UnicodeString>{u"Kelvo 彩色激光", u"Kelvo ????", u"Kelvo Café",
                                                 u"Kelvo 😀"}));
  ExpectConsistent();
}

TEST_F(RefreshCodePageTest, AKeptVerdictHoldsOnlyForTheNamesInTheirOrder) {
  Under(headless::CodePage::Latin1, {u"Kelvo 彩色激光", u"Kelvo LP-1"});
  Refresh();
  // Same names, other order: the lost name now sits where the listed one was.
  std::swap(spooler.printers[0], spooler.printers[1]);
  Refresh();
  EXPECT_EQ(Items(), std::vector<UnicodeString>{u"Kelvo LP-1"});
  ExpectConsistent();
}

// Windows' ANSI calls ask for the wide size and convert each text in place; a name that needs
// more room in the code page must be listed whole or not at all, and the list must settle.
TEST_F(RefreshCodePageTest, NamesGrownInTheCodePageAreListedWholeOrNotAtAll) {
  using Fill = sim::Spooler::AnsiFill;
  // In UTF-8 the first takes 37 bytes in 34 bytes' room, and cut there it names the second.
  const char16_t* const printers[] = {u"Kelvo 财务部彩色激光打印机", u"Kelvo 财务部彩色激光打印",
                                      u"Kelvo 打印机", u"Kelvo 한국"};
  struct Case {
    headless::CodePage page;
    Fill fill;
    std::vector<UnicodeString> listed;
  };
  const Case cases[] = {
      {headless::CodePage::Utf8, Fill::CutToWide, {printers[2], printers[3]}},
      {headless::CodePage::Utf8,
       Fill::GrowOnFill,
       {printers[0], printers[1], printers[2], printers[3]}},
      {headless::CodePage::DoubleByte, Fill::CutToWide, {printers[0], printers[1], printers[2]}},
      {headless::CodePage::DoubleByte, Fill::GrowOnFill, {printers[0], printers[1], printers[2]}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.page) * 10 + static_cast<int>(c.fill));
    spooler.printers.clear();
    spooler.ansi_fill = c.fill;
    Under(c.page, {printers[0], printers[1], printers[2], printers[3]});
    Refresh();
    EXPECT_EQ(Items(), c.listed);
    const int mutations = headless::ListMutations(*list);
    Refresh();
    EXPECT_EQ(headless::ListMutations(*list), mutations);
    ExpectConsistent();
  }
}

TEST_F(RefreshCodePageTest, ASetChangedBetweenTheTwoEnumerationsHidesAmbiguousNamesForOneTick) {
  Under(headless::CodePage::Latin1, {u"Kelvo ????", u"Kelvo LP-1"});
  Refresh();
  ASSERT_EQ(count, 2u);
  // Another printer comes, so the names are checked again; and a printer whose name converts to
  // the literal one's appears between the two enumerations.
  spooler.Add(u"Kelvo LP-2");
  spooler.after_call = [this](const sim::Call& call) {
    if (call.op == sim::Op::EnumPrinters && call.has_buffer) {
      spooler.printers.insert(spooler.printers.begin(), sim::Printer{});
      spooler.printers.front().name = u"Kelvo 彩色激光";
    }
  };
  Refresh();
  spooler.after_call = nullptr;
  EXPECT_EQ(Items(), (std::vector<UnicodeString>{u"Kelvo LP-1", u"Kelvo LP-2"}));
  ExpectConsistent();
  Refresh();
  EXPECT_EQ(Items(), (std::vector<UnicodeString>{u"Kelvo ????", u"Kelvo LP-1", u"Kelvo LP-2"}));
  ExpectConsistent();
}

TEST_F(RefreshCodePageTest, LossyNamesBetweenListedOnesLeaveNoGaps) {
  spooler.SetCodePage(headless::CodePage::Latin1);
  for (int i = 0; i < 120; ++i) {
    spooler.Add(u"Kelvo 激光 " + sim::Latin1(std::to_string(i)));
    spooler.Add(u"Kelvo " + sim::Latin1(std::to_string(i)));
  }
  Refresh();
  ASSERT_EQ(count, 120u);
  EXPECT_EQ(names[119], u"Kelvo 119");
  ExpectConsistent();
}

TEST_F(RefreshCodePageTest, SetChangedBetweenTheTwoEnumerationsNeverListsAnotherPrintersName) {
  struct Case {
    const char* what;
    std::function<void(std::vector<sim::Printer>&)> change;
    std::vector<UnicodeString> settled;  // the tick after; on the tick itself only LP-1 is sure
  };
  auto named = [](const char16_t* name) {
    sim::Printer printer;
    printer.name = name;
    return printer;
  };
  const Case cases[] = {
      {"added after the others",
       [&](auto& v) { v.push_back(named(u"Kelvo LP-2")); },
       {u"Kelvo LP-1", u"Kelvo LP-2"}},
      {"two swap places", [](auto& v) { std::swap(v[0], v[1]); }, {u"Kelvo LP-1"}},
      {"plain name inserted in front",
       [&](auto& v) { v.insert(v.begin(), named(u"Kelvo A")); },
       {u"Kelvo A", u"Kelvo LP-1"}},
      {"the lost one removed", [](auto& v) { v.erase(v.begin()); }, {u"Kelvo LP-1"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    spooler.printers.clear();
    Under(headless::CodePage::Latin1, {u"Kelvo 彩色激光", u"Kelvo LP-1"});
    bool changed = false;
    spooler.after_call = [&](const sim::Call& call) {
      if (call.op == sim::Op::EnumPrinters && call.has_buffer && !std::exchange(changed, true)) {
        c.change(spooler.printers);
      }
    };
    Refresh();
    EXPECT_EQ(Items(), std::vector<UnicodeString>{u"Kelvo LP-1"});
    ExpectConsistent();
    Refresh();
    EXPECT_EQ(Items(), c.settled);
    ExpectConsistent();
  }
}

// Fault points: whatever fails, nothing is left behind and the list still equals the table.
class RefreshFaultTest : public RefreshTest {
 protected:
  void SetUp() override {
    Add("Kelvo A");
    Add("Kelvo B");
    Refresh();
    headless::Select(*list, 1);
    spooler.calls.clear();
  }
};

TEST_F(RefreshFaultTest, AllocationFailureChangesNothing) {
  spooler.printers.pop_back();
  spooler.FailNext(sim::Op::LocalAlloc, ERROR_NOT_ENOUGH_MEMORY);
  Refresh();
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(headless::Selection(*list), 1);
  EXPECT_EQ(spooler.Ops(), (std::vector<sim::Op>{sim::Op::EnumPrinters, sim::Op::LocalAlloc}));
  ExpectConsistent();
}

TEST_F(RefreshFaultTest, FailedFillingCallEmptiesTheList) {
  // A spooler that fails late: the records and their count are in the block all the same.
  spooler.failed_fill_writes_records = true;
  spooler.FailNextFill(ERROR_INVALID_PARAMETER);
  Refresh();
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(list->Count(), 0);
  ExpectConsistent();
}

TEST_F(RefreshFaultTest, UnreadableWideNamesKeepTheShownList) {
  spooler.Add(u"Kelvo C");
  spooler.FailNextFill(ERROR_INVALID_PARAMETER, 1, sim::Op::EnumPrintersW);
  Refresh();
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(headless::Selection(*list), 1);
  ExpectConsistent();
  // A set that grew between the wide sizing and filling calls is read again.
  spooler.FailNextFill(ERROR_INSUFFICIENT_BUFFER, 1, sim::Op::EnumPrintersW);
  Refresh();
  EXPECT_EQ(count, 3u);
  ExpectConsistent();
}

TEST_F(RefreshFaultTest, PrinterSetGrowingAfterSizingIsFetchedAgain) {
  spooler.after_call = [this](const sim::Call& call) {
    if (call.op == sim::Op::EnumPrinters && !call.has_buffer && spooler.printers.size() < 3) {
      spooler.Add("Kelvo C");
    }
  };
  Refresh();
  EXPECT_EQ(Items(), (std::vector<UnicodeString>{u"Kelvo A", u"Kelvo B", u"Kelvo C"}));
  const auto ops = spooler.Ops();
  EXPECT_EQ(std::count(ops.begin(), ops.end(), sim::Op::EnumPrinters), 4);
  ExpectConsistent();
}

TEST_F(RefreshFaultTest, SetThatNeverSettlesKeepsTheShownList) {
  int added = 0;
  spooler.after_call = [&](const sim::Call& call) {
    if (call.op == sim::Op::EnumPrinters && !call.has_buffer) {
      spooler.Add("Kelvo new " + std::to_string(added++));
    }
  };
  Refresh();
  EXPECT_GT(added, 1);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(headless::Selection(*list), 1);
  ExpectConsistent();
}

TEST_F(RefreshFaultTest, PrinterVanishingBetweenCallsIsSimplyGone) {
  spooler.after_call = [this](const sim::Call& call) {
    if (call.op == sim::Op::LocalAlloc && spooler.printers.size() == 2) spooler.printers.pop_back();
  };
  Refresh();
  EXPECT_EQ(Items(), std::vector<UnicodeString>{u"Kelvo A"});
  ExpectConsistent();
}

TEST_F(RefreshTest, RecordsCountedBeyondTheFilledBlockAreNotRead) {
  // A miscounting provider claims records it never wrote; reading them would leave the block.
  struct Case {
    sim::Op op;
    std::vector<std::string> printers;
    std::vector<UnicodeString> listed;
  };
  // Wide level 4: one record and its name fill less than two records' room.
  ASSERT_LT(sizeof(u"Kelvo"), sizeof(PRINTER_INFO_4W));
  for (const Case& c :
       {Case{sim::Op::EnumPrinters, {}, {}}, Case{sim::Op::EnumPrintersW, {"Kelvo"}, {u"Kelvo"}}}) {
    SCOPED_TRACE(sim::OpName(c.op));
    spooler.printers.clear();
    for (const std::string& name : c.printers) Add(name);
    spooler.overcount = {{c.op, 3}};
    Refresh();
    EXPECT_EQ(Items(), c.listed);
    ExpectConsistent();
  }
}

TEST_F(RefreshFaultTest, SizeThatWouldWrapIsNotAllocated) {
  // Adding the headroom to this size would wrap to a tiny block in a 32-bit process.
  spooler.needed_override = 0xFFFFFFFEu;
  Refresh();
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(spooler.Ops(), std::vector<sim::Op>{sim::Op::EnumPrinters});
  ExpectConsistent();
}

}  // namespace
