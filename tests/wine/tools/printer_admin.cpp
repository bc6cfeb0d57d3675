#include "tests/wine/tools/printer_admin.h"

#include <cstddef>
#include <cstring>
#include <memory>

namespace pdtest {

namespace {

// Owns an open printer handle.
class Printer {
 public:
  Printer() = default;
  ~Printer() {
    if (handle_ != nullptr) ClosePrinter(handle_);
  }
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;

  DWORD Open(const std::wstring& name, ACCESS_MASK access) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
    std::wstring copy = name;
    if (!OpenPrinterW(&copy[0], &handle_, &defaults)) {
      handle_ = nullptr;
      return GetLastError();
    }
    return ERROR_SUCCESS;
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

std::wstring Text(const wchar_t* text) { return text != nullptr ? text : L""; }

void ClearAfterTerminator(WCHAR* text, size_t capacity) {
  size_t length = 0;
  while (length < capacity && text[length] != 0) ++length;
  for (size_t i = length; i < capacity; ++i) text[i] = 0;
}

PrinterRecord Copy(const PRINTER_INFO_2W& info) {
  PrinterRecord record;
  record.name = Text(info.pPrinterName);
  record.port = Text(info.pPortName);
  record.driver = Text(info.pDriverName);
  record.print_processor = Text(info.pPrintProcessor);
  record.datatype = Text(info.pDatatype);
  record.server = Text(info.pServerName);
  record.share = Text(info.pShareName);
  record.comment = Text(info.pComment);
  record.location = Text(info.pLocation);
  record.sep_file = Text(info.pSepFile);
  record.parameters = Text(info.pParameters);
  record.attributes = info.Attributes;
  if (info.pDevMode != nullptr) {
    record.has_devmode = true;
    record.paper_size = info.pDevMode->dmPaperSize;
    const auto* bytes = reinterpret_cast<const BYTE*>(info.pDevMode);
    record.devmode.assign(bytes, bytes + info.pDevMode->dmSize + info.pDevMode->dmDriverExtra);
    // Past their terminators the name fields hold whatever the spooler's buffer held; clear
    // that so equal settings compare equal.
    auto* copy = reinterpret_cast<DEVMODEW*>(record.devmode.data());
    ClearAfterTerminator(copy->dmDeviceName, CCHDEVICENAME);
    if (copy->dmSize >= offsetof(DEVMODEW, dmLogPixels)) {
      ClearAfterTerminator(copy->dmFormName, CCHFORMNAME);
    }
  }
  return record;
}

// Reads the level-2 record of an open printer into `buffer`.
DWORD GetLevel2(HANDLE printer, std::vector<BYTE>* buffer) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD needed = 0;
    if (GetPrinterW(printer, 2, buffer->data(), static_cast<DWORD>(buffer->size()), &needed)) {
      return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER) return error;
    buffer->assign(needed, 0);
  }
  return ERROR_INSUFFICIENT_BUFFER;
}

}  // namespace

DWORD InstallPostScriptDriver(const std::wstring& ppd_path) {
  std::wstring name = kPostScriptDriver;
  std::wstring module = L"wineps.drv";
  std::wstring data = ppd_path;
  std::wstring datatype = L"RAW";
  DRIVER_INFO_3W info{};
  info.cVersion = 3;
  info.pName = &name[0];
  info.pDriverPath = &module[0];
  info.pConfigFile = &module[0];
  info.pDataFile = &data[0];
  info.pDefaultDataType = &datatype[0];
  // Copy from the given path into the driver directory, replacing an older copy.
  if (AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info),
                          APD_COPY_ALL_FILES | APD_COPY_FROM_DIRECTORY)) {
    return ERROR_SUCCESS;
  }
  return GetLastError();
}

DWORD ListDriverNames(std::vector<std::wstring>* drivers) {
  drivers->clear();
  DWORD needed = 0;
  DWORD returned = 0;
  EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed + sizeof(DRIVER_INFO_1W));
  if (!EnumPrinterDriversW(nullptr, nullptr, 1, buffer.data(), static_cast<DWORD>(buffer.size()),
                           &needed, &returned)) {
    return GetLastError();
  }
  const auto* infos = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) drivers->push_back(Text(infos[i].pName));
  return ERROR_SUCCESS;
}

bool DriverInstalled(const std::wstring& driver) {
  std::vector<std::wstring> drivers;
  if (ListDriverNames(&drivers) != ERROR_SUCCESS) return false;
  for (const std::wstring& name : drivers) {
    if (CompareStringOrdinal(name.c_str(), -1, driver.c_str(), -1, TRUE) == CSTR_EQUAL) {
      return true;
    }
  }
  return false;
}

DWORD AddFilePrinter(const std::wstring& name, const std::wstring& driver) {
  // Wine would silently replace an existing printer, settings and all.
  {
    Printer existing;
    if (existing.Open(name, PRINTER_ACCESS_USE) == ERROR_SUCCESS) {
      return ERROR_PRINTER_ALREADY_EXISTS;
    }
  }
  std::wstring printer = name;
  std::wstring port = L"FILE:";
  std::wstring driver_name = driver;
  std::wstring processor = L"WinPrint";
  std::wstring datatype = L"RAW";
  PRINTER_INFO_2W info{};
  info.pPrinterName = &printer[0];
  info.pPortName = &port[0];
  info.pDriverName = &driver_name[0];
  info.pPrintProcessor = &processor[0];
  info.pDatatype = &datatype[0];
  HANDLE handle = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  if (handle == nullptr) return GetLastError();
  ClosePrinter(handle);
  return ERROR_SUCCESS;
}

DWORD RemovePrinterNamed(const std::wstring& name) {
  Printer printer;
  if (const DWORD error = printer.Open(name, PRINTER_ALL_ACCESS)) return error;
  return DeletePrinter(printer.get()) ? ERROR_SUCCESS : GetLastError();
}

// Reads the printer's level-2 record, lets `change` edit it, and stores it with the permissions
// left alone.
template <typename Change>
DWORD EditLevel2(const std::wstring& name, Change change) {
  Printer printer;
  if (const DWORD error = printer.Open(name, PRINTER_ALL_ACCESS)) return error;
  std::vector<BYTE> buffer;
  if (const DWORD error = GetLevel2(printer.get(), &buffer)) return error;
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
  if (const DWORD error = change(*info)) return error;
  info->pSecurityDescriptor = nullptr;
  return SetPrinterW(printer.get(), 2, buffer.data(), 0) ? ERROR_SUCCESS : GetLastError();
}

DWORD SetWorkOffline(const std::wstring& name, bool offline) {
  return EditLevel2(name, [offline](PRINTER_INFO_2W& info) -> DWORD {
    if (offline) {
      info.Attributes |= PRINTER_ATTRIBUTE_WORK_OFFLINE;
    } else {
      info.Attributes &= ~static_cast<DWORD>(PRINTER_ATTRIBUTE_WORK_OFFLINE);
    }
    return ERROR_SUCCESS;
  });
}

DWORD SetCommentAndLocation(const std::wstring& name, const std::wstring& comment,
                            const std::wstring& location) {
  std::wstring comment_copy = comment;
  std::wstring location_copy = location;
  return EditLevel2(name, [&](PRINTER_INFO_2W& info) -> DWORD {
    info.pComment = &comment_copy[0];
    info.pLocation = &location_copy[0];
    return ERROR_SUCCESS;
  });
}

DWORD SetPaperSize(const std::wstring& name, short paper_size) {
  return EditLevel2(name, [paper_size](PRINTER_INFO_2W& info) -> DWORD {
    if (info.pDevMode == nullptr) return ERROR_INVALID_DATA;
    info.pDevMode->dmPaperSize = paper_size;
    info.pDevMode->dmFields |= DM_PAPERSIZE;
    return ERROR_SUCCESS;
  });
}

DWORD ReadPrinterRecord(const std::wstring& name, PrinterRecord* record) {
  Printer printer;
  if (const DWORD error = printer.Open(name, PRINTER_ACCESS_USE)) return error;
  std::vector<BYTE> buffer;
  if (const DWORD error = GetLevel2(printer.get(), &buffer)) return error;
  *record = Copy(*reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data()));
  return ERROR_SUCCESS;
}

DWORD ListPrinterRecords(std::vector<PrinterRecord>* records) {
  records->clear();
  std::vector<BYTE> buffer;
  DWORD returned = 0;
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD needed = 0;
    if (EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(),
                      static_cast<DWORD>(buffer.size()), &needed, &returned)) {
      const auto* infos = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
      for (DWORD i = 0; i < returned; ++i) records->push_back(Copy(infos[i]));
      return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER) return error;
    buffer.assign(needed, 0);
  }
  return ERROR_INSUFFICIENT_BUFFER;
}

std::wstring ErrorText(DWORD error) {
  LPWSTR buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  std::unique_ptr<void, decltype(&LocalFree)> owned(buffer, &LocalFree);
  std::wstring text = length != 0 ? std::wstring(buffer, length) : L"";
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  if (text.empty()) text = L"error " + std::to_wstring(error);
  return text;
}

}  // namespace pdtest
