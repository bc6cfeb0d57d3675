#include "tests/wine/support/scoped_printers.h"

#include <algorithm>

namespace pdtest {

ScopedPrinters::~ScopedPrinters() {
  for (auto name = added_.rbegin(); name != added_.rend(); ++name) RemovePrinterNamed(*name);
}

DWORD ScopedPrinters::Add(const std::wstring& name) {
  PrinterRecord leftover;
  if (ReadPrinterRecord(name, &leftover) == ERROR_SUCCESS) RemovePrinterNamed(name);
  const DWORD error = AddFilePrinter(name, driver_);
  if (error == ERROR_SUCCESS) added_.push_back(name);
  return error;
}

DWORD ScopedPrinters::Remove(const std::wstring& name) {
  const DWORD error = RemovePrinterNamed(name);
  if (error == ERROR_SUCCESS)
    added_.erase(std::remove(added_.begin(), added_.end(), name), added_.end());
  return error;
}

}  // namespace pdtest
