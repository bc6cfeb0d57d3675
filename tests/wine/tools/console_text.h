// Text output of the printer tool: wide characters on a console, UTF-8 into pipes and files, so
// that printer names survive whatever code page the system uses.
#pragma once

#include <string>
#include <vector>

namespace pdtest {

void WriteOut(const std::wstring& text);
void WriteErr(const std::wstring& text);
std::string ToUtf8(const std::wstring& text);
// The arguments after the program name, read as wide text whatever the code page.
std::vector<std::wstring> Arguments();

}  // namespace pdtest
