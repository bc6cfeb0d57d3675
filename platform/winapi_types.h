// The Win32 and spooler types the logic uses. On Windows they come from the SDK; host builds get
// layout-compatible stand-ins so the same logic compiles and runs under the simulated spooler.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winspool.h>
#else
#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using UINT = unsigned int;
using SIZE_T = std::size_t;
using LANGID = WORD;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPSTR = char*;
using LPCSTR = const char*;
using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPBOOL = BOOL*;
using HANDLE = void*;
using HLOCAL = void*;
using HGLOBAL = void*;
using PSECURITY_DESCRIPTOR = void*;
struct HWND__;
using HWND = HWND__*;
using ACCESS_MASK = DWORD;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;
constexpr DWORD PRINTER_ENUM_LOCAL = 0x00000002;
constexpr DWORD PRINTER_ATTRIBUTE_WORK_OFFLINE = 0x00000400;
constexpr UINT LMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr DWORD DM_OUT_BUFFER = 2;
constexpr DWORD DM_IN_PROMPT = 4;
constexpr DWORD DM_IN_BUFFER = 8;
constexpr LONG IDOK = 1;
constexpr LONG IDCANCEL = 2;
constexpr DWORD PRINTER_ACCESS_ADMINISTER = 0x00000004;
constexpr DWORD PRINTER_ACCESS_USE = 0x00000008;
constexpr DWORD PRINTER_ALL_ACCESS = 0x000F000C;
constexpr DWORD READ_CONTROL = 0x00020000;
constexpr DWORD WRITE_DAC = 0x00040000;
constexpr DWORD MAXIMUM_ALLOWED = 0x02000000;
constexpr DWORD GENERIC_ALL = 0x10000000;
constexpr DWORD GENERIC_EXECUTE = 0x20000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_INVALID_PRINTER_NAME = 1801;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_INVALID_DATA = 13;
constexpr DWORD ERROR_PRINTER_ALREADY_EXISTS = 1802;
constexpr DWORD ERROR_INVALID_FLAGS = 1004;
constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;
constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x00000080;
constexpr short DMPAPER_LETTER = 1;
constexpr short DMPAPER_A4 = 9;
constexpr short DMPAPER_A5 = 11;
constexpr DWORD DM_PAPERSIZE = 0x00000002;

struct DEVMODEA {
  BYTE dmDeviceName[32];
  WORD dmSpecVersion;
  WORD dmDriverVersion;
  WORD dmSize;
  WORD dmDriverExtra;
  DWORD dmFields;
  short dmOrientation;
  short dmPaperSize;
  short dmPaperLength;
  short dmPaperWidth;
  short dmScale;
  short dmCopies;
  short dmDefaultSource;
  short dmPrintQuality;
  short dmColor;
  short dmDuplex;
  short dmYResolution;
  short dmTTOption;
  short dmCollate;
  BYTE dmFormName[32];
  WORD dmLogPixels;
  DWORD dmBitsPerPel;
  DWORD dmPelsWidth;
  DWORD dmPelsHeight;
  DWORD dmNup;
  DWORD dmDisplayFrequency;
  DWORD dmICMMethod;
  DWORD dmICMIntent;
  DWORD dmMediaType;
  DWORD dmDitherType;
  DWORD dmReserved1;
  DWORD dmReserved2;
  DWORD dmPanningWidth;
  DWORD dmPanningHeight;
};
static_assert(sizeof(DEVMODEA) == 156, "DEVMODEA must keep the SDK layout");
using LPDEVMODEA = DEVMODEA*;
using PDEVMODEA = DEVMODEA*;

struct PRINTER_INFO_2A {
  LPSTR pServerName;
  LPSTR pPrinterName;
  LPSTR pShareName;
  LPSTR pPortName;
  LPSTR pDriverName;
  LPSTR pComment;
  LPSTR pLocation;
  LPDEVMODEA pDevMode;
  LPSTR pSepFile;
  LPSTR pPrintProcessor;
  LPSTR pDatatype;
  LPSTR pParameters;
  PSECURITY_DESCRIPTOR pSecurityDescriptor;
  DWORD Attributes;
  DWORD Priority;
  DWORD DefaultPriority;
  DWORD StartTime;
  DWORD UntilTime;
  DWORD Status;
  DWORD cJobs;
  DWORD AveragePPM;
};

// Only the texts of wide records are read, so their DEVMODE stays opaque.
struct DEVMODEW;
using LPDEVMODEW = DEVMODEW*;

struct PRINTER_INFO_2W {
  LPWSTR pServerName;
  LPWSTR pPrinterName;
  LPWSTR pShareName;
  LPWSTR pPortName;
  LPWSTR pDriverName;
  LPWSTR pComment;
  LPWSTR pLocation;
  LPDEVMODEW pDevMode;
  LPWSTR pSepFile;
  LPWSTR pPrintProcessor;
  LPWSTR pDatatype;
  LPWSTR pParameters;
  PSECURITY_DESCRIPTOR pSecurityDescriptor;
  DWORD Attributes;
  DWORD Priority;
  DWORD DefaultPriority;
  DWORD StartTime;
  DWORD UntilTime;
  DWORD Status;
  DWORD cJobs;
  DWORD AveragePPM;
};

struct PRINTER_INFO_4W {
  LPWSTR pPrinterName;
  LPWSTR pServerName;
  DWORD Attributes;
};

struct PRINTER_DEFAULTSA {
  LPSTR pDatatype;
  LPDEVMODEA pDevMode;
  ACCESS_MASK DesiredAccess;
};
#endif

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PRINTER_INFO_2A) == 84, "32-bit level-2 printer records are 84 bytes");
#endif
static_assert(sizeof(PRINTER_INFO_2W) == sizeof(PRINTER_INFO_2A), "wide and ANSI records align");

namespace printing {

// Wide spooler text as the window framework's UTF-16 strings: WCHAR is 16 bits on Windows too.
static_assert(sizeof(WCHAR) == sizeof(char16_t), "WCHAR holds UTF-16");
inline const char16_t* Utf16(const WCHAR* text) { return reinterpret_cast<const char16_t*>(text); }
inline const WCHAR* Wide(const char16_t* text) { return reinterpret_cast<const WCHAR*>(text); }

}  // namespace printing
