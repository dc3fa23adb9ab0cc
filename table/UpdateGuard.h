// An open update bracket that closes itself if the operation inside it leaves by an exception.
#pragma once

#include <utility>

namespace setup {

// Without it a failed operation (out of memory, a throwing handler) would leave its owner's
// counter raised and silence every later notification of that owner.
template <class Owner>
class UpdateGuard {
 public:
  explicit UpdateGuard(Owner& owner) : owner_(owner) { owner_.BeginUpdate(); }
  UpdateGuard(const UpdateGuard&) = delete;
  UpdateGuard& operator=(const UpdateGuard&) = delete;
  ~UpdateGuard() {
    if (open_) owner_.CancelUpdate();
  }

  // Closes the bracket normally: the owner's EndUpdate with the change to report.
  template <class... Args>
  void Close(Args&&... args) {
    open_ = false;
    owner_.EndUpdate(std::forward<Args>(args)...);
  }

 private:
  Owner& owner_;
  bool open_ = true;
};

}  // namespace setup
