// A move-only owner of one COM interface pointer (Windows only).
#pragma once

#include <unknwn.h>

#include "base/UniqueOwner.h"

namespace setup {

template <typename Interface>
struct ComReferenceTraits {
  using Handle = Interface*;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle pointer) noexcept { pointer->Release(); }
};

// Holds one reference: the constructor and Reset take over a reference the caller already holds.
template <typename Interface>
class ComPtr : public UniqueOwner<ComReferenceTraits<Interface>> {
  using Owner = UniqueOwner<ComReferenceTraits<Interface>>;

 public:
  using Owner::Owner;

  Interface* operator->() const noexcept { return this->Get(); }

  // The slot of Put as void**, for CoCreateInstance and QueryInterface.
  void** PutVoid() noexcept { return reinterpret_cast<void**>(this->Put()); }

  // Asks the object for another of its interfaces; `target` holds it on success.
  template <typename Other>
  HRESULT QueryTo(REFIID iid, ComPtr<Other>& target) const noexcept {
    if (!this->Get()) return E_POINTER;
    return this->Get()->QueryInterface(iid, target.PutVoid());
  }
};

}  // namespace setup
