// The application object: COM apartment, icon, title, main form, message loop and idle event.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/Form.h"
#include "shell/ComApartment.h"

namespace setup::gui {

class TApplication {
 public:
  TApplication() = default;
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Joins the GUI thread to a single-threaded COM apartment, registers the common controls and
  // makes the application title the default caption of the information box.
  void Initialize();
  // The application icon (title bar and taskbar button of forms without an icon of their own).
  void SetIconFromResource(const wchar_t* name);
  HICON Icon() const noexcept { return icon_; }

  // The application title: the taskbar caption and the default caption of message boxes. Until
  // it is set, the program's file name without extension.
  const std::u16string& Title() const noexcept { return title_; }
  void SetTitle(std::u16string title) { title_ = std::move(title); }

  // Creates the main form; closing it ends the message loop.
  template <class Form, class... Args>
  Form& CreateForm(Args&&... args) {
    auto form = std::make_unique<Form>(std::forward<Args>(args)...);
    Form& created = *form;
    if (!mainForm_)
      mainForm_ = std::move(form);
    else
      otherForms_.push_back(std::move(form));
    return created;
  }
  TForm* MainForm() const noexcept { return mainForm_.get(); }

  // Runs the message loop until the main form is gone. OnIdle is raised each time the queue has
  // run empty.
  void Run();
  // Handles and paints everything queued, once, then returns.
  void ProcessMessages();
  // Ends the message loop after the current message.
  void Terminate();

  std::function<void()> OnIdle;

 private:
  bool HandleOneMessage();
  void RaiseIdle() noexcept;

  std::optional<ComApartment> apartment_;  // joined by Initialize, left after the forms are gone
  bool terminated_ = false;
  HICON icon_ = nullptr;  // shared resource icon: not destroyed
  std::u16string title_;
  std::unique_ptr<TForm> mainForm_;
  std::vector<std::unique_ptr<TForm>> otherForms_;
};

// The one application object of the process.
TApplication& Application();

}  // namespace setup::gui
