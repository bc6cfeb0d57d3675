// The careless program that shows planting works: loads every DLL named on its command line by
// name alone, with the standard search order that starts in its own folder.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  int missing = 0;
  for (int i = 1; i < argc; ++i) {
    if (LoadLibraryW(argv[i]) == nullptr) ++missing;
  }
  return missing;
}
