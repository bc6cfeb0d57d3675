#include "tests/wine/window/dialog_font.h"

namespace pdwin {

namespace {

const wchar_t* FaceFor(LANGID language) {
  if (language == 0x0804) return L"Noto Sans CJK SC";
  if (PRIMARYLANGID(language) == LANG_CHINESE) return L"Noto Sans CJK TC";
  return L"Open Sans";
}

// Whether the system has `face` itself rather than a substitute.
bool Installed(const wchar_t* face) {
  HFONT font =
      CreateFontW(-13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
  HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  wchar_t realized[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, realized);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(font);
  return lstrcmpiW(realized, face) == 0;
}

}  // namespace

bool ModelDialogFont(std::wstring* problem) {
  const wchar_t* face = FaceFor(GetUserDefaultLangID());
  if (!Installed(face)) {
    *problem = std::wstring(L"no font \"") + face + L"\" in the prefix; see tests/wine/prefix.sh";
    return false;
  }
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    *problem = L"cannot read the message font";
    return false;
  }
  if (lstrcmpiW(metrics.lfMessageFont.lfFaceName, face) == 0) return true;
  lstrcpynW(metrics.lfMessageFont.lfFaceName, face, LF_FACESIZE);
  if (!SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(metrics), &metrics,
                             SPIF_UPDATEINIFILE)) {
    *problem = L"cannot set the message font";
    return false;
  }
  return true;
}

}  // namespace pdwin
