#include <memory>

#include "ui/win32/impl_win32.h"

namespace vcl {

UnicodeString FromAnsi(const char* ansi) {
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
  if (length <= 1) return {};
  UnicodeString text(static_cast<size_t>(length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi, -1, reinterpret_cast<LPWSTR>(&text[0]), length);
  text.resize(static_cast<size_t>(length - 1));
  return text;
}

std::string ToAnsi(const UnicodeString& text) {
  const int length = WideCharToMultiByte(CP_ACP, 0, AsWide(text), -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string ansi(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, AsWide(text), -1, &ansi[0], length, nullptr, nullptr);
  ansi.resize(static_cast<size_t>(length - 1));
  return ansi;
}

LANGID GetUserDefaultLangID() { return ::GetUserDefaultLangID(); }

UnicodeString SysErrorMessage(DWORD error) {
  LPWSTR buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  std::unique_ptr<void, decltype(&::LocalFree)> owned(buffer, &::LocalFree);
  UnicodeString text;
  if (length != 0) text.assign(reinterpret_cast<const char16_t*>(buffer), length);
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) {
    text.pop_back();
  }
  if (text.empty()) {
    const std::string code = std::to_string(error);
    text = u"Error " + UnicodeString(code.begin(), code.end());
  }
  return text;
}

void ShowMessageBox(HWND owner, const UnicodeString& text, const UnicodeString& caption,
                    MessageKind kind) {
  const UINT icon = kind == MessageKind::Error ? MB_ICONERROR : MB_ICONWARNING;
  MessageBoxW(owner, AsWide(text), AsWide(caption), MB_OK | icon);
}

}  // namespace vcl
