// Hooks the font probe into the program under test and reads its answer (font_probe.h).
#include "tests/wine/window/font_probe.h"

#include <memory>
#include <type_traits>

#include "tests/wine/tools/windows_path.h"
#include "tests/wine/window/app_process.h"

namespace pdwin {

namespace {

constexpr UINT kAnswerTimeoutMs = 15000;

bool Fail(std::wstring* problem, const std::wstring& text) {
  *problem = text;
  return false;
}

struct LibraryCloser {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
struct HookCloser {
  void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};

// Sends the probe's message with `request` to `form` with the probe hooked into its thread;
// fills `answer` with what it wrote. A hook rather than a thread started in the program: Wine
// may never start a remote thread, and would wait for it without end.
bool AskProbe(HWND form, WPARAM request, FontProbeAnswer* answer_out, std::wstring* problem) {
  const std::wstring dll = pdtest::ToWindowsPath(EnvironmentValue(L"PD_FONT_PROBE_DLL"));
  if (dll.empty()) return Fail(problem, L"PD_FONT_PROBE_DLL must name pd_font_probe.dll");
  std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryCloser> module(LoadLibraryW(dll.c_str()));
  const FARPROC entry = module ? GetProcAddress(module.get(), kProbeHook) : nullptr;
  const auto hook_proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(entry));
  if (entry == nullptr) return Fail(problem, L"cannot load " + dll + L" here");

  DWORD pid = 0;
  const DWORD thread = GetWindowThreadProcessId(form, &pid);
  if (thread == 0) return Fail(problem, L"the program's window is gone");
  const AnswerMapping mapping(pid, true);
  const FontProbeAnswer* answer = mapping.get();
  if (answer == nullptr) return Fail(problem, L"cannot share memory with the program");

  std::unique_ptr<std::remove_pointer_t<HHOOK>, HookCloser> hook(
      SetWindowsHookExW(WH_CALLWNDPROC, hook_proc, module.get(), thread));
  if (!hook) return Fail(problem, L"cannot hook the probe into the program");
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(form, RegisterWindowMessageW(kProbeMessage), request, 0,
                          SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result) == 0) {
    return Fail(problem, L"the program's window did not answer the probe");
  }
  if (answer->answered == 0) return Fail(problem, L"the probe did not answer");
  *answer_out = *answer;
  return true;
}

}  // namespace

bool ReadFonts(HWND form, FontProbeReport* report, std::wstring* problem) {
  FontProbeAnswer answer{};
  const bool read = AskProbe(form, 0, &answer, problem);
  *report = answer.report;
  return read;
}

bool MoveToDpi(HWND form, int dpi, SIZE* scaled_size, std::wstring* problem) {
  FontProbeAnswer answer{};
  const bool moved = AskProbe(form, static_cast<WPARAM>(dpi), &answer, problem);
  *scaled_size = answer.scaled_size;
  return moved;
}

const ProbedFont* FontOf(const FontProbeReport& report, HWND window) {
  for (int i = 0; i < report.count; ++i) {
    if (report.fonts[i].window == reinterpret_cast<ULONGLONG>(window)) return &report.fonts[i];
  }
  return nullptr;
}

}  // namespace pdwin
