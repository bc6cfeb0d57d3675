#include "printing/printer_record.h"

#include <algorithm>

namespace printing {

namespace {

// The record can grow between the sizing and the filling call (a longer comment set meanwhile);
// read it again a few times before giving up.
constexpr int kReadAttempts = 4;

}  // namespace

bool ReadLevel2(Spooler& spooler, GetPrinterCall get, HANDLE printer, GlobalBlock* block,
                DWORD* error) {
  // As with enumeration, a failed fill may ask for more than the sizing call reports.
  DWORD size = 0;
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    block->reset();
    DWORD needed = 0;
    // A sizing call that succeeds, or a size too small for the record, is no record to trust.
    if ((spooler.*get)(printer, 2, nullptr, 0, &needed)) {
      *error = ERROR_INVALID_DATA;
      return false;
    }
    if (needed < sizeof(PRINTER_INFO_2A)) {
      // A short size with a "too small" error is as untrustworthy as a sizing call that succeeds.
      const DWORD last = spooler.GetLastError();
      *error = last == ERROR_INSUFFICIENT_BUFFER || last == 0 ? ERROR_INVALID_DATA : last;
      return false;
    }
    size = std::max(size, needed);
    *block = AllocateGlobal(spooler, size);
    if (!*block) {
      *error = spooler.GetLastError();
      return false;
    }
    DWORD filled_needed = 0;
    if ((spooler.*get)(printer, 2, block->as<BYTE>(), size, &filled_needed)) return true;
    *error = spooler.GetLastError();  // before the free, which may overwrite it
    block->reset();
    if (*error != ERROR_INSUFFICIENT_BUFFER) return false;
    size = std::max(size, filled_needed);
  }
  return false;
}

}  // namespace printing
