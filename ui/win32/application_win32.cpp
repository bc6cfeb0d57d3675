#include <algorithm>

#include "ui/win32/impl_win32.h"

#include <commctrl.h>

namespace vcl {

namespace {

constexpr UINT kTimerInterval = 1000;  // the framework's default interval
UINT_PTR next_timer_id = 1;

}  // namespace

TTimer::TTimer(TForm* owner) : TComponent(owner), impl_(std::make_unique<Impl>()) {
  impl_->form = owner;
  impl_->id = next_timer_id++;
  owner->impl().timers.push_back(this);
}

TTimer::~TTimer() {
  SetEnabled(false);
  auto& timers = impl_->form->impl().timers;
  timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void TTimer::SetEnabled(bool enabled) {
  HWND hwnd = impl_->form->impl().hwnd;
  if (enabled && !impl_->enabled) SetTimer(hwnd, impl_->id, kTimerInterval, nullptr);
  if (!enabled && impl_->enabled) KillTimer(hwnd, impl_->id);
  impl_->enabled = enabled;
}

bool TTimer::Enabled() const { return impl_->enabled; }

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}

void TApplication::Run() {
  // Without its window the loop could never end.
  if (main_form_ == nullptr || main_form_->GetHandle() == nullptr) return;
  main_form_->Show();
  HWND main = main_form_->GetHandle();
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Tab and Shift+Tab move between the controls; Enter and Escape are left alone.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && IsChild(main, msg.hwnd)) {
      const bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
      HWND next = GetNextDlgTabItem(main, msg.hwnd, back ? TRUE : FALSE);
      if (next != nullptr) SetFocus(next);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace vcl
