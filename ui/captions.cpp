#include "ui/captions.h"

namespace ui {

const Captions kChineseCaptions{u"请选择打印机3.2", u"请选择你要使用的打印机", u"确  定",
                                u"取  消"};
const Captions kEnglishCaptions{u"Please select printer 3.2", u"Please select the printer.", u"OK",
                                u"CANCEL"};

}  // namespace ui
