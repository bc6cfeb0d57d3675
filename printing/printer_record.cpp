#include "printing/printer_record.h"

namespace printing {

namespace {

// The record can grow between the sizing and the filling call (a longer comment set meanwhile);
// read it again a few times before giving up.
constexpr int kReadAttempts = 4;

}  // namespace

bool ReadLevel2(Spooler& spooler, GetPrinterCall get, HANDLE printer, GlobalBlock* block,
                DWORD* error) {
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
    *block = AllocateGlobal(spooler, needed);
    if (!*block) {
      *error = spooler.GetLastError();
      return false;
    }
    if ((spooler.*get)(printer, 2, block->as<BYTE>(), needed, &needed)) return true;
    *error = spooler.GetLastError();  // before the free, which may overwrite it
    block->reset();
    if (*error != ERROR_INSUFFICIENT_BUFFER) return false;
  }
  return false;
}

}  // namespace printing
