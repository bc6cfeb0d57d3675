#include "tests/wine/support/dialog_driver.h"

#include <chrono>

namespace pdtest {

namespace {

// The paper list on the PostScript driver's paper page.
constexpr int kPaperListId = 100;
constexpr auto kPoll = std::chrono::milliseconds(50);
// Generous: the first dialog in a fresh prefix loads the driver and its PPD.
constexpr auto kAppearTimeout = std::chrono::seconds(60);
constexpr auto kPageTimeout = std::chrono::seconds(10);
constexpr auto kCloseTimeout = std::chrono::seconds(20);

bool ClassIs(HWND hwnd, const wchar_t* name) {
  wchar_t buffer[64] = {};
  GetClassNameW(hwnd, buffer, 64);
  return CompareStringOrdinal(buffer, -1, name, -1, TRUE) == CSTR_EQUAL;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[512] = {};
  GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

struct OwnerSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK MatchOwnedDialog(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<OwnerSearch*>(param);
  if (GetWindow(hwnd, GW_OWNER) == search->owner && IsWindowVisible(hwnd) &&
      ClassIs(hwnd, L"#32770")) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// A visible dialog window owned by `owner`: the property sheet, or a message box.
HWND FindOwnedDialog(HWND owner) {
  OwnerSearch search{owner, nullptr};
  EnumWindows(MatchOwnedDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK MatchPaperList(HWND hwnd, LPARAM param) {
  if (GetDlgCtrlID(hwnd) == kPaperListId && ClassIs(hwnd, L"ListBox")) {
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindPaperList(HWND sheet) {
  HWND found = nullptr;
  EnumChildWindows(sheet, MatchPaperList, reinterpret_cast<LPARAM>(&found));
  return found;
}

BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM param) {
  if (ClassIs(hwnd, L"Static")) *reinterpret_cast<std::wstring*>(param) += L" | " + TextOf(hwnd);
  return TRUE;
}

// The texts of a dialog's static controls: what a message box says.
std::wstring DialogText(HWND dialog) {
  std::wstring text = TextOf(dialog);
  EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::steady_clock::duration timeout,
             const std::atomic<bool>* stop = nullptr) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    if (stop != nullptr && *stop) return false;
    std::this_thread::sleep_for(kPoll);
  }
  return condition();
}

}  // namespace

PaperDialogDriver::PaperDialogDriver(HWND owner, std::wstring paper)
    : owner_(owner), paper_(std::move(paper)), thread_([this] { Run(); }) {}

PaperDialogDriver::~PaperDialogDriver() { Finish(); }

void PaperDialogDriver::Finish() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void PaperDialogDriver::Run() {
  HWND dialog = nullptr;
  if (!WaitFor([&] { return (dialog = FindOwnedDialog(owner_)) != nullptr; }, kAppearTimeout,
               &stop_)) {
    problem_ = L"no dialog owned by the window appeared";
    return;
  }
  found_dialog_ = true;

  HWND list = nullptr;
  if (!WaitFor([&] { return (list = FindPaperList(dialog)) != nullptr; }, kPageTimeout)) {
    // Not the driver's sheet (a message box, say): record what it says and close it, so that
    // the thread waiting on it can return and the test fail instead of hang.
    problem_ = L"a dialog without a paper list appeared: " + DialogText(dialog);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    dialog_closed_ = WaitFor([&] { return !IsWindow(dialog); }, kCloseTimeout);
    return;
  }

  const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(paper_.c_str()));
  if (index == LB_ERR) {
    problem_ = L"the paper list has no entry \"" + paper_ + L"\"";
  } else {
    // What a click does: select, then tell the page about the new selection.
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(kPaperListId, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    chose_paper_ = SendMessageW(list, LB_GETCURSEL, 0, 0) == index;
  }

  // OK after a choice; otherwise Cancel, leaving the settings alone.
  HWND button = GetDlgItem(dialog, chose_paper_ ? IDOK : IDCANCEL);
  if (button == nullptr) {
    problem_ += L" (no OK/Cancel button; closing the dialog)";
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  } else {
    PostMessageW(button, BM_CLICK, 0, 0);
  }
  dialog_closed_ = WaitFor([&] { return !IsWindow(dialog); }, kCloseTimeout);
  if (!dialog_closed_) problem_ += L" (the dialog did not close)";
}

}  // namespace pdtest
