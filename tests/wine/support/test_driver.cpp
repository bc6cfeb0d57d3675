#include "tests/wine/support/test_driver.h"

#include <vector>

#include "tests/wine/tools/printer_admin.h"

namespace pdtest {

std::wstring TestDriverName() {
  wchar_t chosen[256];
  const DWORD length = GetEnvironmentVariableW(L"PD_TEST_DRIVER", chosen, 256);
  if (length > 0 && length < 256) return chosen;
  if (DriverInstalled(kPostScriptDriver)) return kPostScriptDriver;
  std::vector<std::wstring> drivers;
  if (ListDriverNames(&drivers) != ERROR_SUCCESS || drivers.empty()) return {};
  return drivers.front();
}

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace pdtest
