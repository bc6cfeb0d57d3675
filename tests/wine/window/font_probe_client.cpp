// Loads the font probe into the program under test and reads its report (font_probe.h).
#include "tests/wine/window/font_probe.h"

#include <tlhelp32.h>

#include <memory>
#include <type_traits>

#include "tests/wine/tools/windows_path.h"
#include "tests/wine/window/app_process.h"

namespace pdwin {

namespace {

struct RemoteBlock {
  HANDLE process;
  void* address;
  ~RemoteBlock() {
    if (address != nullptr) VirtualFreeEx(process, address, 0, MEM_RELEASE);
  }
};

bool Fail(std::wstring* problem, const std::wstring& text) {
  *problem = text;
  return false;
}

struct LibraryCloser {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};

// Runs `entry(argument)` on a new thread of `process`; false when it does not end in time.
bool RunRemote(HANDLE process, const void* entry, void* argument, DWORD* exit_code) {
  UniqueHandle thread(CreateRemoteThread(
      process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(const_cast<void*>(entry)),
      argument, 0, nullptr));
  return thread && WaitForSingleObject(thread.get(), 15000) == WAIT_OBJECT_0 &&
         GetExitCodeThread(thread.get(), exit_code);
}

// Where the module named `name` lies in process `pid`, or null.
BYTE* ModuleBase(DWORD pid, const wchar_t* name) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return nullptr;
  MODULEENTRY32W module{};
  module.dwSize = sizeof(module);
  for (BOOL more = Module32FirstW(snapshot.get(), &module); more;
       more = Module32NextW(snapshot.get(), &module)) {
    if (lstrcmpiW(module.szModule, name) == 0) return module.modBaseAddr;
  }
  return nullptr;
}

// Runs the probe's `entry_name` in process `pid` on a block that holds `data` (`size` bytes)
// and reads the block back into `data`.
bool RunProbe(DWORD pid, const char* entry_name, void* data, size_t size, std::wstring* problem) {
  const std::wstring dll = pdtest::ToWindowsPath(EnvironmentValue(L"PD_FONT_PROBE_DLL"));
  if (dll.empty()) return Fail(problem, L"PD_FONT_PROBE_DLL must name pd_font_probe.dll");
  // Loaded here as well, for the entry's offset in the module.
  std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryCloser> local(LoadLibraryW(dll.c_str()));
  const auto entry =
      reinterpret_cast<const BYTE*>(local ? GetProcAddress(local.get(), entry_name) : nullptr);
  if (entry == nullptr) return Fail(problem, L"cannot load " + dll + L" here");

  UniqueHandle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                       PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                   FALSE, pid));
  if (!process) return Fail(problem, L"cannot open the program's process");
  const size_t path_size = (dll.size() + 1) * sizeof(wchar_t);
  RemoteBlock block{process.get(), VirtualAllocEx(process.get(), nullptr, size + path_size,
                                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)};
  BYTE* path = static_cast<BYTE*>(block.address) + size;
  if (block.address == nullptr ||
      !WriteProcessMemory(process.get(), block.address, data, size, nullptr) ||
      !WriteProcessMemory(process.get(), path, dll.c_str(), path_size, nullptr)) {
    return Fail(problem, L"cannot write into the program's memory");
  }
  // kernel32 lies at the same address in every process of a session.
  const void* load_library = reinterpret_cast<const void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW"));
  DWORD loaded = 0;
  if (!RunRemote(process.get(), load_library, path, &loaded) || loaded == 0) {
    return Fail(problem, L"the program did not load " + dll);
  }
  const std::wstring name = dll.substr(dll.find_last_of(L"\\/") + 1);
  BYTE* base = ModuleBase(pid, name.c_str());
  if (base == nullptr) return Fail(problem, L"cannot find the probe in the program");
  const auto* local_base = reinterpret_cast<const BYTE*>(local.get());
  DWORD found = 0;
  if (!RunRemote(process.get(), base + (entry - local_base), block.address, &found) || found == 0) {
    return Fail(problem, L"the probe found no window");
  }
  if (!ReadProcessMemory(process.get(), block.address, data, size, nullptr)) {
    return Fail(problem, L"cannot read the probe's answer");
  }
  return true;
}

}  // namespace

bool ReadFonts(DWORD pid, FontProbeReport* report, std::wstring* problem) {
  *report = FontProbeReport{};
  return RunProbe(pid, kFontProbeEntry, report, sizeof(*report), problem);
}

bool MoveToDpi(DWORD pid, int dpi, std::wstring* problem) {
  return RunProbe(pid, kMoveToDpiEntry, &dpi, sizeof(dpi), problem);
}

const ProbedFont* FontOf(const FontProbeReport& report, HWND window) {
  for (int i = 0; i < report.count; ++i) {
    if (report.fonts[i].window == reinterpret_cast<ULONGLONG>(window)) return &report.fonts[i];
  }
  return nullptr;
}

}  // namespace pdwin
