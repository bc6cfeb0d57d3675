// What a screen reader learns about a window of another process, through oleacc.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace pdwin {

struct AccessibleFacts {
  HRESULT object = E_FAIL;  // AccessibleObjectFromWindow with OBJID_CLIENT
  HRESULT name_result = E_FAIL;
  bool has_name = false;  // S_OK with a name; S_FALSE means none
  std::wstring name;
  HRESULT role_result = E_FAIL;
  long role = 0;  // ROLE_SYSTEM_*, when role_result is S_OK and the role is a number
};

// The accessible name and role of `window`'s client object, asked for CHILDID_SELF.
AccessibleFacts DescribeAccessible(HWND window);

// True under Wine, whose oleacc answers some questions differently from Windows'.
bool RunningUnderWine();

}  // namespace pdwin
