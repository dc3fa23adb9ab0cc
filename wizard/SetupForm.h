// The setup wizard's main form.
#pragma once

#include <windows.h>

#include <string>

#include "wizard/Application.h"

namespace setup {

class TForm1 final : public TMainForm {
 public:
  TForm1();
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  HWND Handle() const override { return handle_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  HWND handle_ = nullptr;
  std::u16string productDisplayName_;
};

}  // namespace setup
