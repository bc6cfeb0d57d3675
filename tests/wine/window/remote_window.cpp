#include "tests/wine/window/remote_window.h"

#include <iterator>

namespace pdwin {

namespace {

struct ProcessSearch {
  DWORD pid;
  const wchar_t* window_class;
  HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<ProcessSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == search->pid && ClassIs(hwnd, search->window_class)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct OwnerSearch {
  HWND owner;
  const wchar_t* window_class;
  HWND found;
};

BOOL CALLBACK MatchOwnedWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<OwnerSearch*>(param);
  if (GetWindow(hwnd, GW_OWNER) == search->owner && IsWindowVisible(hwnd) &&
      ClassIs(hwnd, search->window_class)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindProcessWindow(DWORD pid, const wchar_t* window_class) {
  ProcessSearch search{pid, window_class, nullptr};
  EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindOwnedWindow(HWND owner, const wchar_t* window_class) {
  OwnerSearch search{owner, window_class, nullptr};
  EnumWindows(MatchOwnedWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, &text[0], length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(hwnd, name, 256);
  return std::wstring(name, static_cast<size_t>(length > 0 ? length : 0));
}

bool ClassIs(HWND hwnd, const wchar_t* window_class) {
  return CompareStringOrdinal(ClassName(hwnd).c_str(), -1, window_class, -1, TRUE) == CSTR_EQUAL;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

HWND FindChild(HWND parent, const wchar_t* window_class) {
  for (HWND child : Children(parent)) {
    if (ClassIs(child, window_class)) return child;
  }
  return nullptr;
}

HWND FindChild(HWND parent, const wchar_t* window_class, const std::wstring& text) {
  for (HWND child : Children(parent)) {
    if (ClassIs(child, window_class) && WindowText(child) == text) return child;
  }
  return nullptr;
}

std::vector<std::wstring> ListItems(HWND list) {
  std::vector<std::wstring> items;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length == LB_ERR) break;  // the list changed under us; the caller polls again
    std::wstring item(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item[0]));
    if (copied == LB_ERR) break;
    item.resize(static_cast<size_t>(copied));
    items.push_back(item);
  }
  return items;
}

int ListSelection(HWND list) {
  const LRESULT selection = SendMessageW(list, LB_GETCURSEL, 0, 0);
  return selection == LB_ERR ? -1 : static_cast<int>(selection);
}

RECT ClientRect(HWND hwnd) {
  RECT rect{};
  GetClientRect(hwnd, &rect);
  return rect;
}

RECT RectInParent(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

DWORD Style(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)); }

DWORD ExStyle(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)); }

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void PostKey(HWND target, WORD virtual_key) {
  const UINT scan = MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | static_cast<LPARAM>(scan) << 16;
  const LPARAM up = down | LPARAM{1} << 30 | LPARAM{1} << 31;
  PostMessageW(target, WM_KEYDOWN, virtual_key, down);
  PostMessageW(target, WM_KEYUP, virtual_key, up);
}

bool TypeKey(HWND window, WORD virtual_key) { return TypeChord(window, {virtual_key}); }

bool TypeChord(HWND window, std::initializer_list<WORD> virtual_keys) {
  // Input goes to the foreground window, as from the keyboard.
  SetForegroundWindow(window);
  std::vector<INPUT> keys;
  for (WORD key : virtual_keys) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = key;
    keys.push_back(down);
  }
  for (auto key = std::rbegin(virtual_keys); key != std::rend(virtual_keys); ++key) {
    INPUT up{};
    up.type = INPUT_KEYBOARD;
    up.ki.wVk = *key;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    keys.push_back(up);
  }
  const auto count = static_cast<UINT>(keys.size());
  return SendInput(count, keys.data(), sizeof(INPUT)) == count;
}

}  // namespace pdwin
