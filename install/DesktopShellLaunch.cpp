#include "install/DesktopShellLaunch.h"

#include <windows.h>
// After windows.h, which they need.
#include <exdisp.h>
#include <oleauto.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "base/Text.h"
#include "shell/ComPtr.h"

namespace setup {

namespace {

// A VARIANT that clears what it holds (a BSTR is freed) when it goes.
class OwnedVariant {
 public:
  OwnedVariant() noexcept { VariantInit(&value_); }
  explicit OwnedVariant(long number) noexcept : OwnedVariant() {
    value_.vt = VT_I4;
    value_.lVal = number;
  }
  explicit OwnedVariant(const std::u16string& text) : OwnedVariant() {
    value_.bstrVal = SysAllocStringLen(WidePtr(text), static_cast<UINT>(text.size()));
    if (value_.bstrVal) value_.vt = VT_BSTR;
  }
  ~OwnedVariant() { VariantClear(&value_); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;

  VARIANT* Get() noexcept { return &value_; }
  const VARIANT& Value() const noexcept { return value_; }
  bool Holds(VARTYPE type) const noexcept { return value_.vt == type; }

 private:
  VARIANT value_;
};

struct WindowSearch {
  HWND sought;
  bool found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM search) {
  auto* const s = reinterpret_cast<WindowSearch*>(search);
  if (window != s->sought) return TRUE;
  s->found = true;
  return FALSE;  // found: stop
}

// Whether the desktop the shell reports is the one this program shows its windows on. A shell
// of another desktop (a second desktop of the same session, a virtual desktop beside the
// default one) would start the program there, where the person never sees it.
bool OnThisDesktop(HWND window) {
  if (!window) return false;
  if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
  // EnumWindows lists the top-level windows of the calling thread's desktop only.
  WindowSearch search{window, false};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The desktop's folder view: shell windows → desktop browser → its active view, when the
// browser's desktop is this program's.
ComPtr<IShellView> DesktopView() {
  ComPtr<IShellWindows> windows;
  if (FAILED(
          CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows, windows.PutVoid()))) {
    return {};
  }
  OwnedVariant desktop(static_cast<long>(CSIDL_DESKTOP));
  OwnedVariant noRoot;
  long window = 0;
  ComPtr<IDispatch> browserDispatch;
  // S_FALSE means no desktop window was found.
  if (windows->FindWindowSW(desktop.Get(), noRoot.Get(), SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                            browserDispatch.Put()) != S_OK ||
      !browserDispatch || !OnThisDesktop(reinterpret_cast<HWND>(static_cast<LONG_PTR>(window)))) {
    return {};
  }
  ComPtr<IServiceProvider> services;
  if (FAILED(browserDispatch.QueryTo(IID_IServiceProvider, services))) return {};
  ComPtr<IShellBrowser> browser;
  if (FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.PutVoid()))) return {};
  ComPtr<IShellView> view;
  if (FAILED(browser->QueryActiveShellView(view.Put()))) return {};
  return view;
}

// The shell's application object behind the desktop view.
ComPtr<IShellDispatch2> DesktopShellDispatch() {
  const ComPtr<IShellView> view = DesktopView();
  if (!view) return {};
  ComPtr<IDispatch> background;
  if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.PutVoid()))) return {};
  ComPtr<IShellFolderViewDual> folderView;
  if (FAILED(background.QueryTo(IID_IShellFolderViewDual, folderView))) return {};
  ComPtr<IDispatch> application;
  if (FAILED(folderView->get_Application(application.Put())) || !application) return {};
  ComPtr<IShellDispatch2> shell;
  if (FAILED(application.QueryTo(IID_IShellDispatch2, shell))) return {};
  return shell;
}

}  // namespace

bool LaunchThroughDesktopShell(const std::u16string& file, const std::u16string& parameters) {
  const ComPtr<IShellDispatch2> shell = DesktopShellDispatch();
  if (!shell) return false;
  OwnedVariant fileName(file);
  OwnedVariant arguments(parameters);
  if (!fileName.Holds(VT_BSTR) || !arguments.Holds(VT_BSTR)) return false;
  OwnedVariant folder;     // the shell's choice
  OwnedVariant operation;  // the file's default action
  OwnedVariant show(static_cast<long>(SW_SHOWNORMAL));
  return SUCCEEDED(shell->ShellExecute(fileName.Value().bstrVal, arguments.Value(), folder.Value(), operation.Value(),
                                       show.Value()));
}

}  // namespace setup
