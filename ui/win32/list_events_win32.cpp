// What the list box does not report by itself: every change of its selection (LBN_SELCHANGE
// comes only for the user's), a double click on an item rather than beside the items (Wine
// reports one below the last item too, with the old selection standing), and typed characters,
// which the window searches with instead of the list box's own first-letter search. And, while
// the list is empty, its text saying why.
#include <memory>
#include <type_traits>

#include "ui/win32/impl_win32.h"

namespace vcl {

namespace {

struct RegionDeleter {
  void operator()(HRGN region) const { DeleteObject(region); }
};

TControl::Impl* ListOf(HWND hwnd) {
  auto* control = reinterpret_cast<TControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return control != nullptr && control->impl().events_next != nullptr ? &control->impl() : nullptr;
}

bool MaySelect(UINT message) {
  switch (message) {
    case LB_SETCURSEL:
    case LB_SETSEL:
    case LB_SELECTSTRING:
    case LB_RESETCONTENT:
    case LB_DELETESTRING:
    case LB_INSERTSTRING:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_KEYDOWN:
      return true;
    default:
      return false;
  }
}

// Messages after which the empty text must be laid out anew, or comes or goes.
bool MovesEmptyText(UINT message) {
  switch (message) {
    case LB_RESETCONTENT:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_SETITEMHEIGHT:
    case WM_SETFONT:
    case WM_SIZE:
      return true;
    default:
      return false;
  }
}

int Count(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }

void NoteSelection(TControl::Impl& list) {
  const auto selected = static_cast<int>(SendMessageW(list.hwnd, LB_GETCURSEL, 0, 0));
  if (selected == list.told_selection) return;
  list.told_selection = selected;
  auto* box = static_cast<TListBox*>(list.self);
  TNotifyEvent handler = box->OnChange;
  if (handler) handler(box);
}

void NoteDoubleClick(TControl::Impl& list, LPARAM lparam) {
  const POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  const int item = ListItemAt(list.hwnd, point);
  if (item < 0 || SendMessageW(list.hwnd, LB_GETCURSEL, 0, 0) != item) return;
  auto* box = static_cast<TListBox*>(list.self);
  auto handler = box->OnDblClickItem;
  if (!handler) return;
  // What the handler opens runs a loop of its own; the list is not to drag a selection meanwhile.
  if (GetCapture() == list.hwnd) ReleaseCapture();
  handler(box, item);
}

LRESULT CALLBACK ListEventsProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  TControl::Impl* list = ListOf(hwnd);
  if (list == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  const WNDPROC next = list->events_next;
  switch (message) {
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
      FreeAnnotation(*list);
      list->events_next = nullptr;
      return CallWindowProcW(next, hwnd, message, wparam, lparam);
    case WM_CHAR: {
      auto* box = static_cast<TListBox*>(list->self);
      auto handler = box->OnKeyPress;
      if (!handler || wparam < 0x20 || wparam == 0x7F) break;  // control keys as before
      handler(box, static_cast<char16_t>(wparam), static_cast<DWORD>(GetMessageTime()));
      return 0;
    }
    case WM_PAINT: {
      if (wparam != 0 || list->empty_text.empty() || Count(hwnd) != 0) break;
      const std::unique_ptr<std::remove_pointer_t<HRGN>, RegionDeleter> update(
          CreateRectRgn(0, 0, 0, 0));
      const bool clip = update && GetUpdateRgn(hwnd, update.get(), FALSE) != ERROR;
      const LRESULT result = CallWindowProcW(next, hwnd, message, wparam, lparam);
      PaintEmptyText(*list, clip ? update.get() : nullptr);
      AnnotateEmptyList(*list, true);
      return result;
    }
    default:
      break;
  }
  const LRESULT result = CallWindowProcW(next, hwnd, message, wparam, lparam);
  if (MovesEmptyText(message)) {
    const int count = Count(hwnd);
    // The text is laid out over the whole list; the list box repaints only what it changed.
    if (count == 0) InvalidateRect(hwnd, nullptr, TRUE);
    if (count == 1 && (message == LB_ADDSTRING || message == LB_INSERTSTRING)) {
      AnnotateEmptyList(*list, false);
    }
  }
  if (MaySelect(message)) NoteSelection(*list);
  if (message == WM_LBUTTONDBLCLK) NoteDoubleClick(*list, lparam);
  return result;
}

}  // namespace

void AttachListEvents(TControl::Impl& list) {
  const auto next = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(list.hwnd, GWLP_WNDPROC));
  if (next == nullptr) return;
  list.events_next = next;
  SetWindowLongPtrW(list.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListEventsProc));
}

}  // namespace vcl
