// Owners for what the spooler and the kernel hand out during one handler: printer handles and
// zero-filled blocks, each released through the same Spooler that gave it out.
//
// Release order: owners in one scope are released in reverse order of declaration, so declare the
// blocks before the printer handle they serve; the handle is then closed before any block is
// freed, on every path out of the handler.
#pragma once

#include <utility>

#include "printing/spooler.h"

namespace printing {

template <typename Traits>
class SpoolerOwned {
 public:
  using Value = typename Traits::Value;

  explicit SpoolerOwned(Spooler& spooler) : spooler_(&spooler) {}
  ~SpoolerOwned() { reset(); }
  SpoolerOwned(SpoolerOwned&& other) noexcept
      : spooler_(other.spooler_), value_(std::exchange(other.value_, nullptr)) {}
  SpoolerOwned& operator=(SpoolerOwned&& other) noexcept {
    if (this != &other) {
      reset();
      spooler_ = other.spooler_;
      value_ = std::exchange(other.value_, nullptr);
    }
    return *this;
  }
  SpoolerOwned(const SpoolerOwned&) = delete;
  SpoolerOwned& operator=(const SpoolerOwned&) = delete;

  Value get() const { return value_; }
  template <typename T>
  T* as() const {
    return static_cast<T*>(value_);
  }
  explicit operator bool() const { return value_ != nullptr; }

  // Releases what is held, then gives the slot that an acquiring call fills.
  Value* put() {
    reset();
    return &value_;
  }
  void reset() {
    if (value_ != nullptr) Traits::Release(*spooler_, value_);
    value_ = nullptr;
  }
  // Lets go without releasing: after a failed open, whatever the call left in the slot is not
  // a handle of ours.
  void forget() { value_ = nullptr; }

 private:
  Spooler* spooler_;
  Value value_ = nullptr;
};

struct LocalBlockTraits {
  using Value = HLOCAL;
  static void Release(Spooler& spooler, HLOCAL block) { spooler.LocalFree(block); }
};
struct GlobalBlockTraits {
  using Value = HGLOBAL;
  static void Release(Spooler& spooler, HGLOBAL block) { spooler.GlobalFree(block); }
};
struct PrinterHandleTraits {
  using Value = HANDLE;
  static void Release(Spooler& spooler, HANDLE printer) { spooler.ClosePrinter(printer); }
};

using LocalBlock = SpoolerOwned<LocalBlockTraits>;
using GlobalBlock = SpoolerOwned<GlobalBlockTraits>;
using PrinterHandle = SpoolerOwned<PrinterHandleTraits>;

// A zero-filled block, empty when the allocation failed.
inline LocalBlock AllocateLocal(Spooler& spooler, SIZE_T bytes) {
  LocalBlock block(spooler);
  *block.put() = spooler.LocalAlloc(LMEM_ZEROINIT, bytes);
  return block;
}
inline GlobalBlock AllocateGlobal(Spooler& spooler, SIZE_T bytes) {
  GlobalBlock block(spooler);
  *block.put() = spooler.GlobalAlloc(GMEM_ZEROINIT, bytes);
  return block;
}

}  // namespace printing
