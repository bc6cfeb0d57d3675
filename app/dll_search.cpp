#include "app/dll_search.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace app {

void LoadDllsFromSystem32Only() {
  // Looked up rather than imported, so that the exe still starts where kernel32 lacks it.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto set_directories = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (set_directories != nullptr) set_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace app
