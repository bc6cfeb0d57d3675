// The spooler interface over winspool (loaded from System32 at run time) and kernel32.
#pragma once

#include "printing/spooler.h"
#include "printing/win32/spooler_library.h"

namespace printing {

class WinSpooler final : public Spooler {
 public:
  // Without a usable `library` every spooler call fails with the reason it is missing.
  explicit WinSpooler(const wchar_t* library = L"winspool.drv") : library_(library) {}

  BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                     LPDWORD needed, LPDWORD returned) override;
  BOOL EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size,
                     LPDWORD needed, LPDWORD returned) override;
  BOOL OpenPrinterA(LPSTR name, HANDLE* printer, PRINTER_DEFAULTSA* defaults) override;
  BOOL GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) override;
  BOOL GetPrinterW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) override;
  LONG DocumentPropertiesA(HWND owner, HANDLE printer, LPSTR device, PDEVMODEA output,
                           PDEVMODEA input, DWORD mode) override;
  BOOL SetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD command) override;
  BOOL ClosePrinter(HANDLE printer) override;
  HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) override;
  HLOCAL LocalFree(HLOCAL block) override;
  HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) override;
  HGLOBAL GlobalFree(HGLOBAL block) override;
  UINT GetACP() override;
  int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR wide, int wide_length, LPSTR ansi,
                          int ansi_size, LPCSTR default_char, LPBOOL used_default) override;
  DWORD GetLastError() override;

 private:
  const SpoolerEntryPoints& api() const { return library_.entries(); }
  template <typename Result>
  Result Unavailable(Result result) const {
    ::SetLastError(library_.error());
    return result;
  }

  SpoolerLibrary library_;
};

}  // namespace printing
