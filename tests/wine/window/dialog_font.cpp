#include "tests/wine/window/dialog_font.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace pdwin {

const wchar_t* ModelDialogFont() {
  const LANGID language = GetUserDefaultLangID();
  const wchar_t* face = PRIMARYLANGID(language) != LANG_CHINESE ? L"Open Sans"
                        : language == 0x0804                    ? L"Noto Sans CJK SC"
                                                                : L"Noto Sans CJK TC";
  // The face itself, not a substitute Wine would quietly take.
  HFONT font =
      CreateFontW(-13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, face);
  HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  wchar_t realized[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, realized);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(font);
  if (lstrcmpiW(realized, face) != 0)
    return L"the dialog font is missing; see tests/wine/prefix.sh";
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    return L"cannot read the message font";
  }
  lstrcpynW(metrics.lfMessageFont.lfFaceName, face, LF_FACESIZE);
  if (!SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(metrics), &metrics,
                             SPIF_UPDATEINIFILE)) {
    return L"cannot set the message font";
  }
  return nullptr;
}

}  // namespace pdwin
