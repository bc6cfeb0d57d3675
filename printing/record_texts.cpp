#include "printing/record_texts.h"

#include <cstring>

#include "ui/vcl.h"

namespace printing {

namespace {

bool SameText(const char* ansi, const WCHAR* wide) {
  const bool ansi_empty = ansi == nullptr || *ansi == '\0';
  const bool wide_empty = wide == nullptr || *wide == 0;
  if (ansi_empty || wide_empty) return ansi_empty == wide_empty;
  return vcl::FromAnsi(ansi) == Utf16(wide);
}

bool SameText(const char* one, const char* other) {
  return std::strcmp(one != nullptr ? one : "", other != nullptr ? other : "") == 0;
}

template <typename Other>
bool AllSame(const PRINTER_INFO_2A& ansi, const Other& other) {
  return SameText(ansi.pServerName, other.pServerName) &&
         SameText(ansi.pPrinterName, other.pPrinterName) &&
         SameText(ansi.pShareName, other.pShareName) && SameText(ansi.pPortName, other.pPortName) &&
         SameText(ansi.pDriverName, other.pDriverName) && SameText(ansi.pComment, other.pComment) &&
         SameText(ansi.pLocation, other.pLocation) && SameText(ansi.pSepFile, other.pSepFile) &&
         SameText(ansi.pPrintProcessor, other.pPrintProcessor) &&
         SameText(ansi.pDatatype, other.pDatatype) && SameText(ansi.pParameters, other.pParameters);
}

}  // namespace

bool SameTexts(const PRINTER_INFO_2A& ansi, const PRINTER_INFO_2W& wide) {
  return AllSame(ansi, wide);
}

bool SameTexts(const PRINTER_INFO_2A& one, const PRINTER_INFO_2A& other) {
  return AllSame(one, other);
}

}  // namespace printing
