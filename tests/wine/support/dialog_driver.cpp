#include "tests/wine/support/dialog_driver.h"

#include <chrono>

namespace pdtest {

namespace {

// The paper list on the PostScript driver's paper page.
constexpr int kPaperListId = 100;
constexpr auto kPoll = std::chrono::milliseconds(50);
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
bool WaitFor(Condition condition, std::chrono::steady_clock::duration timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(kPoll);
  }
  return condition();
}

}  // namespace

PaperDialogDriver::PaperDialogDriver(HWND owner, std::wstring paper,
                                     std::function<void()> while_open)
    : owner_(owner),
      paper_(std::move(paper)),
      while_open_(std::move(while_open)),
      thread_([this] { Run(); }) {}

PaperDialogDriver::~PaperDialogDriver() { Finish(); }

void PaperDialogDriver::Finish() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void PaperDialogDriver::Run() {
  // Serves every dialog that appears until the test is done, so that a fault that opens
  // more than one (or a message box) fails the test instead of hanging it.
  while (!stop_) {
    HWND dialog = FindOwnedDialog(owner_);
    if (dialog == nullptr) {
      std::this_thread::sleep_for(kPoll);
      continue;
    }
    ++dialogs_seen_;
    if (dialogs_seen_ == 1) {
      Choose(dialog);
    } else {
      problem_ += L" another dialog appeared: " + DialogText(dialog) + L";";
      Close(dialog, IDCANCEL);
    }
  }
}

void PaperDialogDriver::Choose(HWND dialog) {
  HWND list = nullptr;
  if (!WaitFor([&] { return (list = FindPaperList(dialog)) != nullptr; }, kPageTimeout)) {
    // Not the driver's sheet: a message box, say. Record what it says.
    problem_ += L" a dialog without a paper list appeared: " + DialogText(dialog) + L";";
    Close(dialog, IDCANCEL);
    return;
  }

  const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(paper_.c_str()));
  if (index == LB_ERR) {
    problem_ += L" the paper list has no entry \"" + paper_ + L"\";";
  } else {
    // What a click does: select, then tell the page about the new selection.
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(kPaperListId, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    chose_paper_ = SendMessageW(list, LB_GETCURSEL, 0, 0) == index;
  }
  if (while_open_) while_open_();
  // OK after a choice; otherwise Cancel, leaving the settings alone.
  dialog_closed_ = Close(dialog, chose_paper_ ? IDOK : IDCANCEL);
}

bool PaperDialogDriver::Close(HWND dialog, int button_id) {
  HWND button = GetDlgItem(dialog, button_id);
  if (button != nullptr) {
    PostMessageW(button, BM_CLICK, 0, 0);
  } else {
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  }
  const bool closed = WaitFor([&] { return !IsWindow(dialog); }, kCloseTimeout);
  if (!closed) problem_ += L" a dialog did not close;";
  return closed;
}

}  // namespace pdtest
