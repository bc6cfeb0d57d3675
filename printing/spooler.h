// The spooler and kernel calls the printer logic makes, behind one interface so tests can put a
// simulated spooler in place of winspool.
#pragma once

#include "platform/winapi_types.h"

namespace printing {

class Spooler {
 public:
  virtual ~Spooler() = default;

  virtual BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed, LPDWORD returned) = 0;
  virtual BOOL EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed, LPDWORD returned) = 0;
  virtual BOOL OpenPrinterA(LPSTR name, HANDLE* printer, PRINTER_DEFAULTSA* defaults) = 0;
  virtual BOOL GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size,
                           LPDWORD needed) = 0;
  virtual BOOL GetPrinterW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size,
                           LPDWORD needed) = 0;
  virtual LONG DocumentPropertiesA(HWND owner, HANDLE printer, LPSTR device, PDEVMODEA output,
                                   PDEVMODEA input, DWORD mode) = 0;
  virtual BOOL SetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD command) = 0;
  virtual BOOL ClosePrinter(HANDLE printer) = 0;
  virtual HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) = 0;
  virtual HLOCAL LocalFree(HLOCAL block) = 0;
  virtual HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) = 0;
  virtual HGLOBAL GlobalFree(HGLOBAL block) = 0;
  // The process's ANSI code page, through which every ANSI call above passes its texts.
  virtual UINT GetACP() = 0;
  virtual int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR wide, int wide_length,
                                  LPSTR ansi, int ansi_size, LPCSTR default_char,
                                  LPBOOL used_default) = 0;
  // The error of the last failed call above, read before anything else can overwrite it.
  virtual DWORD GetLastError() = 0;
};

}  // namespace printing
