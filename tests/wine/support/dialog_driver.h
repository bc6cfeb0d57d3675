// Plays the user in front of the driver's settings dialog: from a second thread, waits for the
// property sheet owned by our window (found by owner, since its title is localized), picks a
// paper size on its paper page and presses OK.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace pdtest {

class PaperDialogDriver {
 public:
  // Starts watching for a dialog owned by `owner`; `paper` is the entry to pick, e.g. L"A4".
  PaperDialogDriver(HWND owner, std::wstring paper);
  ~PaperDialogDriver();
  PaperDialogDriver(const PaperDialogDriver&) = delete;
  PaperDialogDriver& operator=(const PaperDialogDriver&) = delete;

  // Stops waiting for a dialog that has not appeared, and waits for the thread. The results
  // below are valid afterwards.
  void Finish();

  bool found_dialog() const { return found_dialog_; }
  bool chose_paper() const { return chose_paper_; }
  bool dialog_closed() const { return dialog_closed_; }
  // What went wrong, for the test's failure message; empty when all went to plan.
  const std::wstring& problem() const { return problem_; }

 private:
  void Run();

  HWND owner_;
  std::wstring paper_;
  std::atomic<bool> stop_{false};
  bool found_dialog_ = false;
  bool chose_paper_ = false;
  bool dialog_closed_ = false;
  std::wstring problem_;
  std::thread thread_;
};

}  // namespace pdtest
