// Hooks the font probe into the program under test and reads its answer (font_probe.h).
#include "tests/wine/window/font_probe.h"

#include "tests/wine/tools/windows_path.h"
#include "tests/wine/window/app_process.h"

namespace pdwin {

ProbeWatch::ProbeWatch(HWND form) {
  const std::wstring dll = pdtest::ToWindowsPath(EnvironmentValue(L"PD_FONT_PROBE_DLL"));
  if (dll.empty()) {
    problem_ = L"PD_FONT_PROBE_DLL must name pd_font_probe.dll";
    return;
  }
  module_ = LoadLibraryW(dll.c_str());
  const FARPROC entry = module_ ? GetProcAddress(module_, kProbeHook) : nullptr;
  if (entry == nullptr) {
    problem_ = L"cannot load " + dll + L" here";
    return;
  }
  const DWORD thread = GetWindowThreadProcessId(form, nullptr);
  if (thread == 0) {
    problem_ = L"the program's window is gone";
    return;
  }
  hook_ = SetWindowsHookExW(
      WH_CALLWNDPROC, reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(entry)), module_, thread);
  if (hook_ == nullptr) problem_ = L"cannot hook the probe into the program";
}

ProbeWatch::~ProbeWatch() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  if (module_ != nullptr) FreeLibrary(module_);
}

namespace {

constexpr UINT kAnswerTimeoutMs = 15000;

bool Fail(std::wstring* problem, const std::wstring& text) {
  *problem = text;
  return false;
}

// Sends the probe's message with `request` to `form` with the probe hooked into its thread;
// fills `answer` with what it wrote. A hook rather than a thread started in the program: Wine
// may never start a remote thread, and would wait for it without end.
bool AskProbe(HWND form, WPARAM request, FontProbeAnswer* answer_out, std::wstring* problem) {
  DWORD pid = 0;
  GetWindowThreadProcessId(form, &pid);
  const AnswerMapping mapping(pid, true);
  const FontProbeAnswer* answer = mapping.get();
  if (answer == nullptr) return Fail(problem, L"cannot share memory with the program");
  const ProbeWatch hooked(form);
  if (!hooked.ok()) return Fail(problem, hooked.problem());
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
