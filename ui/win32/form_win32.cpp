#include "ui/win32/impl_win32.h"

namespace vcl {

namespace {

// Per-monitor dpi calls exist from Windows 10 1607 on; older systems get the system dpi.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using MetricForDpiFn = int(WINAPI*)(int, UINT);

template <typename Fn>
Fn User32Proc(const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

TControl::Impl* ImplOf(HWND hwnd) {
  return reinterpret_cast<TControl::Impl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Window size for the design client size at `dpi`.
SIZE OuterSize(const TControl::Impl& form, int dpi) {
  RECT rect{0, 0, MulDiv(form.width, dpi, 96), MulDiv(form.height, dpi, 96)};
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(form.hwnd, GWL_STYLE));
  const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(form.hwnd, GWL_EXSTYLE));
  if (auto adjust = User32Proc<AdjustForDpiFn>("AdjustWindowRectExForDpi")) {
    adjust(&rect, style, FALSE, ex_style, static_cast<UINT>(dpi));
  } else {
    AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  }
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void LayoutForm(TControl::Impl& form) {
  if (!form.laid_out) return;
  const SIZE size = OuterSize(form, form.dpi);
  SetWindowPos(form.hwnd, nullptr, 0, 0, size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  for (TControl* child : form.children) ApplyLayout(*child);
}

// Icon sizes as Windows shows them at the form's dpi. The plain metric is already at the
// system's dpi for a dpi-aware process: scaling it again would make blurred, oversized icons.
int IconSize(int metric, int dpi) {
  if (auto for_dpi = User32Proc<MetricForDpiFn>("GetSystemMetricsForDpi")) {
    const int size = for_dpi(metric, static_cast<UINT>(dpi));
    if (size > 0) return size;
  }
  return GetSystemMetrics(metric);
}

void LoadIcons(TControl::Impl& form) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const int metrics[2] = {SM_CXICON, SM_CXSMICON};
  const WPARAM kinds[2] = {ICON_BIG, ICON_SMALL};
  for (int i = 0; i < 2; ++i) {
    const int size = IconSize(metrics[i], form.dpi);
    auto icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(form.icon_id), IMAGE_ICON,
                                              size, size, LR_DEFAULTCOLOR));
    if (icon == nullptr) continue;
    auto old = reinterpret_cast<HICON>(
        SendMessageW(form.hwnd, WM_SETICON, kinds[i], reinterpret_cast<LPARAM>(icon)));
    if (old != nullptr && old != form.icons[0] && old != form.icons[1]) DestroyIcon(old);
    if (form.icons[i] != nullptr) DestroyIcon(form.icons[i]);
    form.icons[i] = icon;
  }
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* impl = static_cast<TControl::Impl*>(create->lpCreateParams);
    impl->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(impl));
  }
  TControl::Impl* form = ImplOf(hwnd);
  if (form == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  switch (message) {
    case WM_COMMAND:
      if (lparam != 0 && HIWORD(wparam) == BN_CLICKED) {
        auto* control = reinterpret_cast<TControl*>(
            GetWindowLongPtrW(reinterpret_cast<HWND>(lparam), GWLP_USERDATA));
        auto* button = dynamic_cast<TButton*>(control);
        if (button != nullptr && button->OnClick) {
          TNotifyEvent handler = button->OnClick;
          handler(button);
        }
      }
      return 0;  // bare IDOK / IDCANCEL from Enter or Escape do nothing
    case WM_TIMER:
      for (TTimer* timer : form->timers) {
        if (timer->impl().id == wparam && timer->Enabled() && timer->OnTimer) {
          TNotifyEvent handler = timer->OnTimer;
          handler(timer);
          break;
        }
      }
      return 0;
    case WM_CLOSE:
      static_cast<TForm*>(form->self)->Close();
      return 0;
    case WM_ERASEBKGND: {
      RECT rect{};
      GetClientRect(hwnd, &rect);
      FillRect(reinterpret_cast<HDC>(wparam), &rect, BackgroundBrush(*form));
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      return ColorLabel(*form, reinterpret_cast<HDC>(wparam));
    case WM_CTLCOLORBTN:
      SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(BackgroundBrush(*form));
    case WM_SYSCOLORCHANGE:
      // Only top-level windows hear of it; common controls expect their parent to pass it on.
      for (TControl* child : form->children) {
        SendMessageW(child->impl().hwnd, WM_SYSCOLORCHANGE, wparam, lparam);
      }
      RefreshColors(*form, true);
      break;
    case WM_SETTINGCHANGE:
      RefreshColors(*form, false);  // high contrast on or off
      break;
    case WM_CANCELMODE:
      // A dialog or message box disables the window: its controls let go of the pointer too,
      // and the list hides its tooltip, which would lie over the dialog.
      for (TControl* child : form->children) {
        SendMessageW(child->impl().hwnd, WM_CANCELMODE, 0, 0);
      }
      break;
    case WM_CHANGEUISTATE:
    case WM_UPDATEUISTATE:
      if (!KeepFocusCue(wparam)) return 0;
      break;
    case WM_ACTIVATE:
      // Give the focus back to the control that had it when the window was left.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd, focus)) form->last_focus = focus;
      } else if (form->last_focus != nullptr && IsWindow(form->last_focus)) {
        SetFocus(form->last_focus);
        return 0;
      }
      break;
    case WM_GETDPISCALEDSIZE:
      // The frame does not scale linearly: give the size so that the rectangle WM_DPICHANGED
      // then suggests keeps the window where the user dragged it.
      *reinterpret_cast<SIZE*>(lparam) = OuterSize(*form, static_cast<int>(wparam));
      return TRUE;
    case WM_DPICHANGED: {
      form->dpi = HIWORD(wparam);
      RebuildFonts(*form);
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(hwnd, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      for (TControl* child : form->children) ApplyLayout(*child);
      if (form->icon_id != 0) LoadIcons(*form);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

int DpiOf(HWND hwnd) {
  if (auto get_dpi = User32Proc<GetDpiForWindowFn>("GetDpiForWindow")) {
    const UINT dpi = get_dpi(hwnd);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  const ClientDc screen(nullptr);
  const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? dpi : 96;
}

TForm::TForm(TComponent* owner, const char16_t* window_class)
    : TControl(owner, nullptr, Kind::Form) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(instance, AsWide(window_class), &wc)) {
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FormProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = AsWide(window_class);
    // Without a class there is no window: the form stays without a handle, its controls are not
    // made, and the application's loop does not start.
    if (RegisterClassExW(&wc) == 0) return;
  }
  Impl& form = impl();
  if (CreateWindowExW(0, AsWide(window_class), L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                      instance, &form) == nullptr) {
    form.hwnd = nullptr;  // WM_NCCREATE may have stored it before creation failed
    return;
  }
  form.dpi = DpiOf(form.hwnd);
  RefreshColors(form, false);
}

TForm::~TForm() {
  DestroyComponents();
  Impl& form = impl();
  if (form.hwnd != nullptr && IsWindow(form.hwnd)) DestroyWindow(form.hwnd);
  form.hwnd = nullptr;
  DeleteFonts(form);
  for (HICON icon : form.icons) {
    if (icon != nullptr) DestroyIcon(icon);
  }
}

void TForm::SetToolWindowBorder() {
  Impl& form = impl();
  SetWindowLongPtrW(form.hwnd, GWL_STYLE,
                    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN);
  // A tool window has no taskbar button of its own; the main window still needs one.
  SetWindowLongPtrW(form.hwnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW | WS_EX_APPWINDOW);
  LayoutForm(form);
}

void TForm::SetClientSize(int width, int height) {
  impl().width = width;
  impl().height = height;
  LayoutForm(impl());
}

void TForm::SetButtonHighlightColor() {
  impl().design_color = ui::SysColor::ButtonHighlight;
  RefreshColors(impl(), true);
}

void TForm::SetFont(const FontSpec& font) {
  impl().font = font;
  if (!impl().laid_out) return;  // made once, when the window first shows
  RebuildFonts(impl());
  for (TControl* child : impl().children) ApplyLayout(*child);
}

void TForm::SetIconResource(int id) {
  impl().icon_id = id;
  LoadIcons(impl());
}

void TForm::Show() {
  Impl& form = impl();
  if (!form.laid_out && form.hwnd != nullptr) {
    form.laid_out = true;
    RebuildFonts(form);
    // Sized for the design client area and centred on the primary screen, in one move.
    const SIZE size = OuterSize(form, form.dpi);
    SetWindowPos(form.hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    for (TControl* child : form.children) ApplyLayout(*child);
    Restack(form);
  }
  ShowWindow(form.hwnd, SW_SHOW);
  SetForegroundWindow(form.hwnd);
  BringWindowToTop(form.hwnd);
  HWND focus = GetFocus();
  if (focus == nullptr || !IsChild(form.hwnd, focus)) {
    HWND first = GetNextDlgTabItem(form.hwnd, nullptr, FALSE);
    if (first != nullptr) SetFocus(first);
  }
  ShowFocusCue(form);
}

void TForm::Close() {
  ShowWindow(impl().hwnd, SW_HIDE);
  if (impl().is_main) PostQuitMessage(0);
}

HWND TForm::GetHandle() const { return impl().hwnd; }

bool TForm::Visible() const { return IsWindowVisible(impl().hwnd) != FALSE; }

void TForm::MarkAsMainWindow() { impl().is_main = true; }

}  // namespace vcl
