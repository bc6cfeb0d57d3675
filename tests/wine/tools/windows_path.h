// Paths given to the printer tool: a Windows path, or under Wine also a path on the Unix side.
#pragma once

#include <string>

namespace pdtest {

// The full Windows path for `path`, or an empty string when it cannot be mapped.
std::wstring ToWindowsPath(const std::wstring& path);

}  // namespace pdtest
