#include "printing/stored_settings.h"

#include <cstring>

namespace printing {

bool SameSettings(const DEVMODEA* before, const DEVMODEA* now) {
  if (before == nullptr || now == nullptr) return before == now;
  if (before->dmSize != now->dmSize || before->dmDriverExtra != now->dmDriverExtra) return false;
  constexpr size_t kFrom = sizeof(before->dmDeviceName);
  const size_t size = size_t{before->dmSize} + before->dmDriverExtra;
  if (size <= kFrom) return true;
  return std::memcmp(reinterpret_cast<const BYTE*>(before) + kFrom,
                     reinterpret_cast<const BYTE*>(now) + kFrom, size - kFrom) == 0;
}

}  // namespace printing
