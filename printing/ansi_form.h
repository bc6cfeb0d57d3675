// What an ANSI spooler call makes of a wide text: the process's code page may replace characters
// it cannot carry with '?' or with a similar-looking letter.
#pragma once

#include <string>

#include "printing/spooler.h"

namespace printing {

struct AnsiForm {
  std::string text;    // what the ANSI calls hand out for the wide text
  bool exact = false;  // whether that names the wide text and nothing else
};

AnsiForm ToAnsiForm(Spooler& spooler, const char16_t* wide);

}  // namespace printing
