// Windows draws dialog text (the message font) in Segoe UI, or Microsoft YaHei UI on Chinese
// Windows, whose lines are about a third taller than their characters; Wine's stand-ins are
// shorter and would hide rows and controls too short for a line. The window tests and the demo
// (scripts/run.sh) make the prefix's message font a face as tall for their language.
#pragma once

namespace pdwin {

// Sets the prefix's message font for this process's language; programs started afterwards draw
// with it. Null on success, else what went wrong.
const wchar_t* ModelDialogFont();

}  // namespace pdwin
