// Which users see the tool in Chinese: its texts were written for the People's Republic of China,
// so Traditional Chinese and every other variant get English instead.
#pragma once

#include "platform/winapi_types.h"

namespace platform {

constexpr LANGID kChinesePrc = 0x0804;

constexpr bool SpeaksChinesePrc(LANGID language) { return language == kChinesePrc; }

}  // namespace platform
