// winspool's entry points, resolved once from the copy in System32 and never from the exe's
// folder or the search path, so that a DLL planted beside the exe cannot pose as the spooler.
#pragma once

#include <memory>
#include <type_traits>

#include "platform/winapi_types.h"

namespace printing {

struct SpoolerEntryPoints {
  decltype(&::EnumPrintersA) EnumPrintersA = nullptr;
  decltype(&::EnumPrintersW) EnumPrintersW = nullptr;
  decltype(&::OpenPrinterA) OpenPrinterA = nullptr;
  decltype(&::GetPrinterA) GetPrinterA = nullptr;
  decltype(&::GetPrinterW) GetPrinterW = nullptr;
  decltype(&::DocumentPropertiesA) DocumentPropertiesA = nullptr;
  decltype(&::SetPrinterA) SetPrinterA = nullptr;
  decltype(&::ClosePrinter) ClosePrinter = nullptr;
};

class SpoolerLibrary {
 public:
  // `file` is looked up in System32 only.
  explicit SpoolerLibrary(const wchar_t* file = L"winspool.drv");

  // Every entry point, or none: a library that lacks one is not used at all.
  const SpoolerEntryPoints& entries() const { return entries_; }
  bool loaded() const { return entries_.EnumPrintersA != nullptr; }
  // Why it is not loaded: the loader's error, or ERROR_PROC_NOT_FOUND for a missing entry point.
  DWORD error() const { return error_; }

 private:
  struct Free {
    void operator()(HMODULE module) const { FreeLibrary(module); }
  };
  std::unique_ptr<std::remove_pointer_t<HMODULE>, Free> module_;
  SpoolerEntryPoints entries_;
  DWORD error_ = ERROR_SUCCESS;
};

}  // namespace printing
