#include "printing/win32/win_spooler.h"

namespace printing {

BOOL WinSpooler::EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                               LPDWORD needed, LPDWORD returned) {
  return library_.loaded() ? api().EnumPrintersA(flags, name, level, buffer, size, needed, returned)
                           : Unavailable(FALSE);
}

BOOL WinSpooler::EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size,
                               LPDWORD needed, LPDWORD returned) {
  return library_.loaded() ? api().EnumPrintersW(flags, name, level, buffer, size, needed, returned)
                           : Unavailable(FALSE);
}

BOOL WinSpooler::OpenPrinterA(LPSTR name, HANDLE* printer, PRINTER_DEFAULTSA* defaults) {
  return library_.loaded() ? api().OpenPrinterA(name, printer, defaults) : Unavailable(FALSE);
}

BOOL WinSpooler::GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed) {
  return library_.loaded() ? api().GetPrinterA(printer, level, buffer, size, needed)
                           : Unavailable(FALSE);
}

BOOL WinSpooler::GetPrinterW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed) {
  return library_.loaded() ? api().GetPrinterW(printer, level, buffer, size, needed)
                           : Unavailable(FALSE);
}

LONG WinSpooler::DocumentPropertiesA(HWND owner, HANDLE printer, LPSTR device, PDEVMODEA output,
                                     PDEVMODEA input, DWORD mode) {
  return library_.loaded() ? api().DocumentPropertiesA(owner, printer, device, output, input, mode)
                           : Unavailable(LONG{-1});
}

BOOL WinSpooler::SetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD command) {
  return library_.loaded() ? api().SetPrinterA(printer, level, buffer, command)
                           : Unavailable(FALSE);
}

BOOL WinSpooler::ClosePrinter(HANDLE printer) {
  return library_.loaded() ? api().ClosePrinter(printer) : Unavailable(FALSE);
}

HLOCAL WinSpooler::LocalAlloc(UINT flags, SIZE_T bytes) { return ::LocalAlloc(flags, bytes); }

HLOCAL WinSpooler::LocalFree(HLOCAL block) { return ::LocalFree(block); }

HGLOBAL WinSpooler::GlobalAlloc(UINT flags, SIZE_T bytes) { return ::GlobalAlloc(flags, bytes); }

HGLOBAL WinSpooler::GlobalFree(HGLOBAL block) { return ::GlobalFree(block); }

UINT WinSpooler::GetACP() { return ::GetACP(); }

int WinSpooler::WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR wide, int wide_length,
                                    LPSTR ansi, int ansi_size, LPCSTR default_char,
                                    LPBOOL used_default) {
  return ::WideCharToMultiByte(code_page, flags, wide, wide_length, ansi, ansi_size, default_char,
                               used_default);
}

DWORD WinSpooler::GetLastError() { return ::GetLastError(); }

}  // namespace printing
