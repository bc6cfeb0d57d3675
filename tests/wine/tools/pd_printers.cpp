// pd_printers: sets up printers in the local spooler for tests and demonstrations.
//
//   pd_printers install-driver <ppd-path>   the Wine PostScript Driver with that PPD
//   pd_printers add <name>...               printers on FILE: with that driver
//   pd_printers remove <name>...
//   pd_printers offline <name>...           set / clear "work offline"
//   pd_printers online <name>...
//   pd_printers list                        name<TAB>attributes<TAB>dmPaperSize per printer
//   pd_printers show <name>                 key=value lines of the level-2 record
//   pd_printers hold                        waits until the prefix is stopped (see prefix.sh up)
//
// Exit code 0 when every step succeeded; otherwise 1, with one line per failure on stderr.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/wine/tools/console_text.h"
#include "tests/wine/tools/printer_admin.h"
#include "tests/wine/tools/windows_path.h"

namespace {

using pdtest::WriteErr;
using pdtest::WriteOut;

constexpr wchar_t kUsage[] =
    L"usage: pd_printers install-driver <ppd-path>\n"
    L"       pd_printers add|remove|offline|online <name>...\n"
    L"       pd_printers list\n"
    L"       pd_printers show <name>\n"
    L"       pd_printers hold\n";

bool Report(const std::wstring& what, DWORD error) {
  if (error == ERROR_SUCCESS) return true;
  WriteErr(L"pd_printers: " + what + L": " + pdtest::ErrorText(error) + L" (" +
           std::to_wstring(error) + L")\n");
  return false;
}

std::wstring Hex(DWORD value) {
  wchar_t text[16];
  std::swprintf(text, 16, L"0x%08lx", static_cast<unsigned long>(value));
  return text;
}

// Runs `step` for every name, going on after a failure so one bad name does not hide the rest.
int ForEachName(const std::vector<std::wstring>& names, const wchar_t* verb,
                const std::function<DWORD(const std::wstring&)>& step) {
  if (names.empty()) {
    WriteErr(kUsage);
    return 2;
  }
  bool ok = true;
  for (const std::wstring& name : names) {
    ok = Report(std::wstring(verb) + L" \"" + name + L"\"", step(name)) && ok;
  }
  return ok ? 0 : 1;
}

int InstallDriver(const std::vector<std::wstring>& args) {
  if (args.size() != 1) {
    WriteErr(kUsage);
    return 2;
  }
  const std::wstring ppd = pdtest::ToWindowsPath(args[0]);
  if (ppd.empty() || GetFileAttributesW(ppd.c_str()) == INVALID_FILE_ATTRIBUTES) {
    WriteErr(L"pd_printers: install-driver: cannot read the PPD \"" + args[0] + L"\"\n");
    return 1;
  }
  return Report(L"install-driver", pdtest::InstallPostScriptDriver(ppd)) ? 0 : 1;
}

int List() {
  std::vector<pdtest::PrinterRecord> records;
  if (!Report(L"list", pdtest::ListPrinterRecords(&records))) return 1;
  std::wstring text;
  for (const pdtest::PrinterRecord& record : records) {
    text += record.name + L"\t" + Hex(record.attributes) + L"\t" +
            std::to_wstring(record.paper_size) + L"\n";
  }
  WriteOut(text);
  return 0;
}

int Show(const std::vector<std::wstring>& args) {
  if (args.size() != 1) {
    WriteErr(kUsage);
    return 2;
  }
  pdtest::PrinterRecord record;
  if (!Report(L"show \"" + args[0] + L"\"", pdtest::ReadPrinterRecord(args[0], &record))) return 1;
  WriteOut(L"name=" + record.name + L"\nport=" + record.port + L"\ndriver=" + record.driver +
           L"\nprint_processor=" + record.print_processor + L"\ndatatype=" + record.datatype +
           L"\nattributes=" + Hex(record.attributes) + L"\ndmPaperSize=" +
           (record.has_devmode ? std::to_wstring(record.paper_size) : L"") + L"\n");
  return 0;
}

}  // namespace

int main() {
  std::vector<std::wstring> args = pdtest::Arguments();
  if (args.empty()) {
    WriteErr(kUsage);
    return 2;
  }
  const std::wstring command = args.front();
  args.erase(args.begin());

  if (command == L"install-driver") return InstallDriver(args);
  if (command == L"add") {
    return ForEachName(args, L"add", [](const std::wstring& name) {
      return pdtest::AddFilePrinter(name, pdtest::kPostScriptDriver);
    });
  }
  if (command == L"remove") return ForEachName(args, L"remove", pdtest::RemovePrinterNamed);
  if (command == L"offline") {
    return ForEachName(args, L"offline",
                       [](const std::wstring& name) { return pdtest::SetWorkOffline(name, true); });
  }
  if (command == L"online") {
    return ForEachName(args, L"online", [](const std::wstring& name) {
      return pdtest::SetWorkOffline(name, false);
    });
  }
  if (command == L"list" && args.empty()) return List();
  if (command == L"show") return Show(args);
  if (command == L"hold" && args.empty()) {
    // A user process that outlives every test program keeps the prefix's desktop and services
    // running, so that no test program starts them anew with its own output streams.
    Sleep(INFINITE);
    return 0;
  }
  WriteErr(kUsage);
  return 2;
}
