// Printer administration through the spooler's wide-character API: what the printer tool and the
// Windows tests need to set up printers, and to read back what the program stored.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace pdtest {

// The driver that Wine installs as a builtin; its settings dialog reads a PPD file.
constexpr wchar_t kPostScriptDriver[] = L"Wine PostScript Driver";

// A printer's level-2 record, copied out of the spooler's buffer.
struct PrinterRecord {
  std::wstring name;
  std::wstring port;
  std::wstring driver;
  std::wstring print_processor;
  std::wstring datatype;
  std::wstring server;
  std::wstring share;
  std::wstring comment;
  std::wstring location;
  std::wstring sep_file;
  std::wstring parameters;
  DWORD attributes = 0;
  bool has_devmode = false;
  short paper_size = 0;
  // The DEVMODE as stored, public part and driver extra; its name fields are cleared past their
  // terminators so that equal settings compare equal byte for byte.
  std::vector<BYTE> devmode;
};

// Every function returns ERROR_SUCCESS or the Win32 error of the call that failed.

// Installs the PostScript driver with the PPD at `ppd_path` (a full Windows path) as its data
// file. Installing it again replaces the PPD.
DWORD InstallPostScriptDriver(const std::wstring& ppd_path);
// True when a driver of that name is installed for this machine's environment.
bool DriverInstalled(const std::wstring& driver);
// The names of the installed drivers.
DWORD ListDriverNames(std::vector<std::wstring>* drivers);

// A local printer on FILE: with the given driver, WinPrint and RAW.
DWORD AddFilePrinter(const std::wstring& name, const std::wstring& driver);
DWORD RemovePrinterNamed(const std::wstring& name);
DWORD SetWorkOffline(const std::wstring& name, bool offline);
// Sets the printer's comment and location through the wide API, so any characters survive.
DWORD SetCommentAndLocation(const std::wstring& name, const std::wstring& comment,
                            const std::wstring& location);

// Stores `paper_size` in the printer's settings, as another program would.
DWORD SetPaperSize(const std::wstring& name, short paper_size);

DWORD ReadPrinterRecord(const std::wstring& name, PrinterRecord* record);
// The local printers in the spooler's enumeration order.
DWORD ListPrinterRecords(std::vector<PrinterRecord>* records);

// The system's text for a Win32 error, without the trailing line break.
std::wstring ErrorText(DWORD error);

}  // namespace pdtest
