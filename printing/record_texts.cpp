#include "printing/record_texts.h"

#include "ui/vcl.h"

namespace printing {

namespace {

bool SameText(const char* ansi, const WCHAR* wide) {
  const bool ansi_empty = ansi == nullptr || *ansi == '\0';
  const bool wide_empty = wide == nullptr || *wide == 0;
  if (ansi_empty || wide_empty) return ansi_empty == wide_empty;
  return vcl::FromAnsi(ansi) == Utf16(wide);
}

}  // namespace

bool SameTexts(const PRINTER_INFO_2A& ansi, const PRINTER_INFO_2W& wide) {
  return SameText(ansi.pServerName, wide.pServerName) &&
         SameText(ansi.pPrinterName, wide.pPrinterName) &&
         SameText(ansi.pShareName, wide.pShareName) && SameText(ansi.pPortName, wide.pPortName) &&
         SameText(ansi.pDriverName, wide.pDriverName) && SameText(ansi.pComment, wide.pComment) &&
         SameText(ansi.pLocation, wide.pLocation) && SameText(ansi.pSepFile, wide.pSepFile) &&
         SameText(ansi.pPrintProcessor, wide.pPrintProcessor) &&
         SameText(ansi.pDatatype, wide.pDatatype) && SameText(ansi.pParameters, wide.pParameters);
}

}  // namespace printing
