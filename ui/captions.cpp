#include "ui/captions.h"

namespace ui {

const Captions kChineseCaptions{u"请选择打印机3.2", u"请选择你要使用的打印机", u"确  定", u"取  消",
                                u"此计算机上没有联机的 Kelvo 打印机。\r\n"
                                u"脱机或未安装在此计算机上的打印机不会列出。"};
const Captions kEnglishCaptions{u"Please select printer 3.2", u"Please select the printer.", u"OK",
                                u"CANCEL",
                                u"No Kelvo printer is online on this computer.\r\n"
                                u"Printers that are offline or not installed here are not listed."};

}  // namespace ui
