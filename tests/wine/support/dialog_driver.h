// Plays the user in front of the driver's settings dialog: from a second thread, waits for the
// property sheet owned by our window (found by owner, since its title is localized), picks a
// paper size on its paper page and presses OK. Any further dialog owned by the window (a second
// sheet, a message box) is recorded as a problem and cancelled, so a fault cannot hang the test.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace pdtest {

class PaperDialogDriver {
 public:
  // Starts watching for a dialog owned by `owner`; `paper` is the entry to pick, e.g. L"A4".
  // `while_open`, when given, runs on the watching thread after the pick and before OK.
  PaperDialogDriver(HWND owner, std::wstring paper, std::function<void()> while_open = {});
  ~PaperDialogDriver();
  PaperDialogDriver(const PaperDialogDriver&) = delete;
  PaperDialogDriver& operator=(const PaperDialogDriver&) = delete;

  // Call once the code under test has returned: stops watching and waits for the thread. The
  // results below are valid afterwards.
  void Finish();

  // How many dialogs owned by the window appeared, also while watching; whether any did.
  int dialogs_seen() const { return dialogs_seen_; }
  bool found_dialog() const { return dialogs_seen_ > 0; }
  // Whether the paper was chosen in the first one and it closed after OK.
  bool chose_paper() const { return chose_paper_; }
  bool dialog_closed() const { return dialog_closed_; }
  // What went wrong, for the test's failure message; empty when all went to plan.
  const std::wstring& problem() const { return problem_; }

 private:
  void Run();
  void Choose(HWND dialog);
  // Presses the button (or closes the window without one) and waits until the dialog is gone.
  bool Close(HWND dialog, int button_id);

  HWND owner_;
  std::wstring paper_;
  std::function<void()> while_open_;
  std::atomic<bool> stop_{false};
  std::atomic<int> dialogs_seen_{0};
  bool chose_paper_ = false;
  bool dialog_closed_ = false;
  std::wstring problem_;
  std::thread thread_;
};

}  // namespace pdtest
