#include "printing/win32/spooler_library.h"

namespace printing {

namespace {

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn* entry) {
  *entry = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return *entry != nullptr;
}

}  // namespace

SpoolerLibrary::SpoolerLibrary(const wchar_t* file)
    : module_(LoadLibraryExW(file, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
  if (!module_) {
    error_ = GetLastError();
    if (error_ == ERROR_SUCCESS) error_ = ERROR_MOD_NOT_FOUND;
    return;
  }
  SpoolerEntryPoints found;
  HMODULE module = module_.get();
  const bool complete = Resolve(module, "EnumPrintersA", &found.EnumPrintersA) &&
                        Resolve(module, "EnumPrintersW", &found.EnumPrintersW) &&
                        Resolve(module, "OpenPrinterA", &found.OpenPrinterA) &&
                        Resolve(module, "GetPrinterA", &found.GetPrinterA) &&
                        Resolve(module, "GetPrinterW", &found.GetPrinterW) &&
                        Resolve(module, "DocumentPropertiesA", &found.DocumentPropertiesA) &&
                        Resolve(module, "SetPrinterA", &found.SetPrinterA) &&
                        Resolve(module, "ClosePrinter", &found.ClosePrinter);
  if (!complete) {
    error_ = ERROR_PROC_NOT_FOUND;
    module_.reset();
    return;
  }
  entries_ = found;
}

}  // namespace printing
