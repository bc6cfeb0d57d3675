// Which printer driver the tests give their printers.
#pragma once

#include <string>

namespace pdtest {

// PD_TEST_DRIVER when set; else the Wine PostScript Driver when installed; else the first
// installed driver (on Windows). Empty when there is none.
std::wstring TestDriverName();

// True when running under Wine.
bool UnderWine();

}  // namespace pdtest
