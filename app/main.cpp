#include "app/dll_search.h"
#include "printing/win32/win_spooler.h"
#include "ui/torlent_form.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*command_line*/,
                   int /*show*/) {
  // An elevated process stops at the first sign of heap corruption rather than run on with it;
  // Windows does so unasked only for 64-bit processes.
  HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
  // Before anything can load a DLL by name.
  app::LoadDllsFromSystem32Only();
  printing::WinSpooler spooler;
  vcl::TApplication application;
  TorlentForm* orlentForm = nullptr;
  application.Initialize();
  application.CreateForm(&orlentForm, spooler);
  application.Run();
  return 0;
}
