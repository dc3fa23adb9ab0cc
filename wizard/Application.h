// The application object: COM apartment, icon, title, main form, message loop and idle event.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace setup {

// A top-level window the application can run as its main form.
class TMainForm {
 public:
  virtual ~TMainForm() = default;
  virtual HWND Handle() const = 0;
};

class TApplication {
 public:
  TApplication() = default;
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Joins the GUI thread to a single-threaded COM apartment before any form exists.
  void Initialize();
  // The application icon (title bar and taskbar button of forms without an icon of their own).
  void SetIconFromResource(const wchar_t* name);
  HICON Icon() const { return icon_; }

  // The application title: the taskbar caption and the default caption of message boxes.
  const std::u16string& Title() const { return title_; }
  void SetTitle(std::u16string title) { title_ = std::move(title); }

  // Creates the main form; closing it ends the message loop.
  template <class Form, class... Args>
  Form& CreateForm(Args&&... args) {
    auto form = std::make_unique<Form>(std::forward<Args>(args)...);
    Form& ref = *form;
    mainForm_ = std::move(form);
    return ref;
  }
  TMainForm* MainForm() const { return mainForm_.get(); }

  // Runs the message loop until the main form is destroyed. OnIdle is raised each time the
  // queue has run empty.
  void Run();
  // Handles and paints everything queued, once, then returns.
  void ProcessMessages();
  // Ends the message loop after the current message.
  void Terminate();

  std::function<void()> OnIdle;

 private:
  bool HandleOneMessage(MSG& msg);

  bool comInitialized_ = false;
  bool terminated_ = false;
  HICON icon_ = nullptr;  // shared resource icon: not destroyed
  std::u16string title_;
  std::unique_ptr<TMainForm> mainForm_;
};

// The one application object of the process.
TApplication& Application();

// The plain message dialog: text, one OK button, no icon, the application title as caption.
void ShowMessage(const std::u16string& text);

}  // namespace setup
