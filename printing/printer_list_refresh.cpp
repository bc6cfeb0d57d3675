#include "printing/printer_list_refresh.h"

#include <cstring>
#include <vector>

#include "printing/local_enumeration.h"

namespace printing {

namespace {

bool ListShows(const vcl::TListBox& list, const PrinterNameTable& names, std::uint32_t count) {
  // Item by item: names holding CR or LF could make two different lists join to the same text.
  if (list.Count() != static_cast<int>(count)) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (list.Item(static_cast<int>(i)) != names[i]) return false;
  }
  return true;
}

bool Eligible(const PRINTER_INFO_2A& record) {
  return (record.Attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) == 0 &&
         IsBrandPrinterName(record.pPrinterName);
}

}  // namespace

bool IsBrandPrinterName(const char* name) {
  return name != nullptr && std::strncmp(name, kBrandPrefix, sizeof(kBrandPrefix) - 1) == 0;
}

bool RefreshPrinterList(Spooler& spooler, PrinterNameTable& names, std::uint32_t& count,
                        vcl::TListBox& list, NameVerdict& verdict) {
  Enumeration enumeration(spooler);
  const Enumerated outcome = EnumerateLocal<LPSTR>(spooler, &Spooler::EnumPrintersA, 2,
                                                   sizeof(PRINTER_INFO_2A), &enumeration);
  // Without a block, or while the set keeps growing, keep what is shown until the next tick. A
  // failed filling call leaves no records, so the list empties.
  if (outcome == Enumerated::NoBlock || outcome == Enumerated::Unsettled) return false;

  std::vector<PRINTER_INFO_2A> records(enumeration.count);
  if (!records.empty()) {
    std::memcpy(records.data(), enumeration.block.as<BYTE>(), records.size() * sizeof(records[0]));
  }

  // A name the code page could not carry, or that the ANSI call cut short, may open another
  // printer. UTF-8 carries every name, but it may need more room than the wide name had.
  bool any_eligible = false;
  for (const PRINTER_INFO_2A& record : records) any_eligible = any_eligible || Eligible(record);
  if (any_eligible && !verdict.Check(spooler, records)) return false;

  count = 0;
  for (size_t i = 0; i < records.size(); ++i) {
    if (!Eligible(records[i]) || verdict.LeftOut(i)) continue;
    // Slots are reused from tick to tick, so their strings keep their storage.
    if (count == names.size()) names.emplace_back();
    names[count] = vcl::FromAnsi(records[i].pPrinterName);
    ++count;
  }

  if (ListShows(list, names, count)) return false;
  list.Clear();
  for (std::uint32_t i = 0; i < count; ++i) list.ItemsAdd(names[i]);
  return true;
}

}  // namespace printing
