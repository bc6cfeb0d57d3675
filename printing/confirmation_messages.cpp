#include "printing/confirmation_outcome.h"

#include "platform/language.h"

namespace printing {

vcl::UnicodeString ConfirmationMessage(ConfirmationOutcome outcome, LANGID language,
                                       const vcl::UnicodeString& system_text, bool utf8) {
  const bool chinese = platform::SpeaksChinesePrc(language);
  switch (outcome) {
    case ConfirmationOutcome::Stored:
    case ConfirmationOutcome::Cancelled:
    case ConfirmationOutcome::Abandoned:
      return {};
    case ConfirmationOutcome::NeedsAdministrator:
      return chinese ? u"更改此打印机的默认设置需要管理员权限。"
                     : u"Changing this printer's default settings needs administrator rights.";
    case ConfirmationOutcome::DialogFailed:
      return chinese ? u"无法打开此打印机的设置对话框。"
                     : u"The printer's settings dialog could not be opened.";
    case ConfirmationOutcome::TextNotCarried: {
      vcl::UnicodeString text =
          chinese ? u"此打印机的信息中有此版本的 Windows 无法传递的字符，因此设置未保存。"
                  : u"This printer's details use characters that this version of Windows "
                    u"cannot pass on, so the settings were not stored.";
      if (utf8) return text;
      return text + (chinese ? u"\r\n\r\n需要 Windows 10 版本 1903 或更高版本。"
                             : u"\r\n\r\nWindows 10 version 1903 or later is needed.");
    }
    case ConfirmationOutcome::ChangedElsewhere:
      return chinese
                 ? u"此打印机的设置在其设置对话框打开期间已在别处更改，因此未保存任何设置。\r\n\r\n"
                   u"再次按“确定”将从当前设置开始。"
                 : u"This printer's settings were changed elsewhere while its settings "
                   u"dialog was open, so nothing was stored.\r\n\r\n"
                   u"Press OK again to start from the current settings.";
    case ConfirmationOutcome::StoreFailed:
      return (chinese ? u"无法保存打印机设置。\r\n\r\n"
                      : u"The printer settings could not be stored.\r\n\r\n") +
             system_text;
  }
  return {};
}

}  // namespace printing
