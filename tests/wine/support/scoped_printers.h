// Printers a test adds to the real spooler, removed again when the test ends.
#pragma once

#include <string>
#include <vector>

#include "tests/wine/tools/printer_admin.h"

namespace pdtest {

class ScopedPrinters {
 public:
  explicit ScopedPrinters(std::wstring driver) : driver_(std::move(driver)) {}
  ~ScopedPrinters();
  ScopedPrinters(const ScopedPrinters&) = delete;
  ScopedPrinters& operator=(const ScopedPrinters&) = delete;

  // Adds a printer, first removing a leftover of the same name from an interrupted run.
  DWORD Add(const std::wstring& name);
  DWORD Remove(const std::wstring& name);
  DWORD SetOffline(const std::wstring& name, bool offline) { return SetWorkOffline(name, offline); }

 private:
  std::wstring driver_;
  std::vector<std::wstring> added_;
};

}  // namespace pdtest
