#include "printing/printer_list_refresh.h"

#include <cstring>
#include <limits>
#include <vector>

#include "printing/lossy_names.h"
#include "printing/spooler_owned.h"

namespace printing {

namespace {

// The printer set can grow between the sizing and the filling call; try again a few times
// before giving up on this tick.
constexpr int kEnumAttempts = 4;
// Zero-filled bytes past the needed size: the block exists even when no printer needs a byte,
// and a name at the very end of the data still meets a NUL inside the block.
constexpr DWORD kSlack = 4;

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

void RefreshPrinterList(Spooler& spooler, PrinterNameTable& names, std::uint32_t& count,
                        vcl::TListBox& list) {
  for (int attempt = 0; attempt < kEnumAttempts; ++attempt) {
    DWORD needed = 0;
    DWORD returned = 0;
    spooler.EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
    if (needed > std::numeric_limits<DWORD>::max() - kSlack) return;
    const LocalBlock block = AllocateLocal(spooler, static_cast<SIZE_T>(needed) + kSlack);
    if (!block) return;

    returned = 0;
    DWORD filled_needed = 0;
    const BOOL filled = spooler.EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, block.as<BYTE>(),
                                              needed, &filled_needed, &returned);
    if (!filled) {
      if (spooler.GetLastError() == ERROR_INSUFFICIENT_BUFFER) continue;
      returned = 0;
    }
    // Never read a record past the block, whatever the count claims.
    const DWORD capacity = needed / sizeof(PRINTER_INFO_2A);
    if (returned > capacity) returned = capacity;

    std::vector<PRINTER_INFO_2A> records(returned);
    if (returned != 0) std::memcpy(records.data(), block.as<BYTE>(), returned * sizeof(records[0]));

    // A name the code page could not carry may open another printer; UTF-8 carries every name.
    std::vector<bool> lossy(records.size(), false);
    bool any_eligible = false;
    for (const PRINTER_INFO_2A& record : records) any_eligible = any_eligible || Eligible(record);
    if (any_eligible && spooler.GetACP() != CP_UTF8) {
      std::vector<const char*> ansi_names;
      ansi_names.reserve(records.size());
      for (const PRINTER_INFO_2A& record : records) ansi_names.push_back(record.pPrinterName);
      if (!FindLossyNames(spooler, ansi_names, &lossy)) return;
    }

    count = 0;
    for (size_t i = 0; i < records.size() && count < MaxPrinterNames; ++i) {
      if (!Eligible(records[i]) || lossy[i]) continue;
      names[count] = vcl::FromAnsi(records[i].pPrinterName);
      ++count;
    }

    if (!ListShows(list, names, count)) {
      list.Clear();
      for (std::uint32_t i = 0; i < count; ++i) list.ItemsAdd(names[i]);
    }
    return;
  }
  // The set kept growing on every attempt: keep what is shown until the next tick.
}

}  // namespace printing
