#include "printing/win32/win_spooler.h"

namespace printing {

BOOL WinSpooler::EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                               LPDWORD needed, LPDWORD returned) {
  return ::EnumPrintersA(flags, name, level, buffer, size, needed, returned);
}

BOOL WinSpooler::EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size,
                               LPDWORD needed, LPDWORD returned) {
  return ::EnumPrintersW(flags, name, level, buffer, size, needed, returned);
}

BOOL WinSpooler::OpenPrinterA(LPSTR name, HANDLE* printer, PRINTER_DEFAULTSA* defaults) {
  return ::OpenPrinterA(name, printer, defaults);
}

BOOL WinSpooler::GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed) {
  return ::GetPrinterA(printer, level, buffer, size, needed);
}

BOOL WinSpooler::GetPrinterW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed) {
  return ::GetPrinterW(printer, level, buffer, size, needed);
}

LONG WinSpooler::DocumentPropertiesA(HWND owner, HANDLE printer, LPSTR device, PDEVMODEA output,
                                     PDEVMODEA input, DWORD mode) {
  return ::DocumentPropertiesA(owner, printer, device, output, input, mode);
}

BOOL WinSpooler::SetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD command) {
  return ::SetPrinterA(printer, level, buffer, command);
}

BOOL WinSpooler::ClosePrinter(HANDLE printer) { return ::ClosePrinter(printer); }

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
