#include "tests/wine/tools/console_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <memory>

namespace pdtest {

namespace {

void Write(DWORD which, const std::wstring& text) {
  HANDLE stream = GetStdHandle(which);
  if (stream == nullptr || stream == INVALID_HANDLE_VALUE || text.empty()) return;
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(stream, &mode)) {
    WriteConsoleW(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const std::string bytes = ToUtf8(text);
  WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size,
                        nullptr, nullptr);
  }
  return bytes;
}

void WriteOut(const std::wstring& text) { Write(STD_OUTPUT_HANDLE, text); }
void WriteErr(const std::wstring& text) { Write(STD_ERROR_HANDLE, text); }

std::vector<std::wstring> Arguments() {
  int count = 0;
  std::unique_ptr<LPWSTR, decltype(&LocalFree)> argv(CommandLineToArgvW(GetCommandLineW(), &count),
                                                     &LocalFree);
  std::vector<std::wstring> arguments;
  if (!argv) return arguments;
  for (int i = 1; i < count; ++i) arguments.emplace_back(argv.get()[i]);
  return arguments;
}

}  // namespace pdtest
