// Which printer names from an ANSI enumeration stand for a printer whose real (wide) name the
// ANSI call did not hand out exactly: a code page that cannot carry it, or a text cut short.
// Opening such a name would open a different printer, or none.
#pragma once

#include <string>
#include <vector>

#include "printing/spooler.h"

namespace printing {

// Reads the local printers' wide names and sets `lossy[i]` for each of `ansi_names` (as the
// ANSI enumeration returned them, in its order) that must not be opened. Where the two
// enumerations do not pair up, because the set changed in between or the ANSI call cut names,
// a name passes only when it is the exact form of a wide name that no other wide name could
// have been cut or garbled to. False, with `lossy` untouched, when the wide names cannot be read.
bool FindLossyNames(Spooler& spooler, const std::vector<const char*>& ansi_names,
                    std::vector<bool>* lossy);

// The verdict of the last check, kept for as long as the ANSI enumeration returns exactly the
// names it was made for, in the same order; any other list is checked afresh. A kept verdict
// lists no name its check left out; a rename to another name with the same ANSI form, in the
// same place, goes unseen until the list next changes.
class NameVerdict {
 public:
  // Checks the names of the level-2 `records` (as the ANSI enumeration returned them) with
  // FindLossyNames unless they are the last checked ones. False when that check failed; the
  // verdict is then the one before.
  bool Check(Spooler& spooler, const std::vector<PRINTER_INFO_2A>& records);
  // Whether record `i` of the last checked names must not be opened.
  bool LeftOut(size_t i) const { return i < lossy_.size() && lossy_[i]; }

 private:
  bool Covers(const std::vector<PRINTER_INFO_2A>& records) const;

  std::string names_;  // each checked name followed by its NUL, in enumeration order
  std::vector<bool> lossy_;
  bool kept_ = false;
};

}  // namespace printing
