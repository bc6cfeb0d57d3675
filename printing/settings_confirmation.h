// What OK does: the selected printer's driver settings dialog, and storing what the user accepts
// as that printer's default settings.
#pragma once

#include "printing/printer_list_refresh.h"
#include "printing/spooler.h"
#include "ui/vcl.h"

namespace printing {

// Walks `list` for the selected item, edits the printer in the same slot of `names` through its
// driver's dialog owned by `window`, and stores the result. Closes `window` once stored, shows it
// again after a cancelled dialog, and explains any other failure in a message box.
void ConfirmPrinterSettings(Spooler& spooler, const PrinterNameTable& names, vcl::TListBox& list,
                            vcl::TForm& window);

}  // namespace printing
