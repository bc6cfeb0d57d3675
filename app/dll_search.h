// Where the process takes DLLs from when system code loads them by name later on.
#pragma once

namespace app {

// From now on DLLs loaded by name come from System32 only, never from the exe's folder, the
// current folder or PATH. Windows 7 without update KB2533623 lacks the call; there the spooler
// then fails to load (its System32-only load needs the same update) and the list stays empty.
void LoadDllsFromSystem32Only();

}  // namespace app
