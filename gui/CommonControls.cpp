#include "gui/CommonControls.h"

#include "shell/SystemLibraries.h"

namespace setup::gui {

namespace {

using InitCommonControlsExCall = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
using SetWindowSubclassCall = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
using RemoveWindowSubclassCall = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR);
using DefSubclassProcCall = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

// The subclassing calls are exported by these ordinals in every version; by name only from the
// version that came with Windows XP on.
constexpr WORD kSetWindowSubclassOrdinal = 410;
constexpr WORD kRemoveWindowSubclassOrdinal = 412;
constexpr WORD kDefSubclassProcOrdinal = 413;

template <typename Function>
Function Resolve(HMODULE module, const char* name, WORD ordinal) noexcept {
  if (!module) return nullptr;
  FARPROC found = GetProcAddress(module, name);
  if (!found && ordinal) found = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
  // A function pointer cast is the only way from GetProcAddress to a typed call.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

struct Functions {
  InitCommonControlsExCall initCommonControlsEx = nullptr;
  SetWindowSubclassCall setWindowSubclass = nullptr;
  RemoveWindowSubclassCall removeWindowSubclass = nullptr;
  DefSubclassProcCall defSubclassProc = nullptr;
};

const Functions& CommonControlFunctions() noexcept {
  static const Functions functions = [] {
    // Stays loaded for the process: the classes it registers outlive every window made from them.
    const HMODULE module = LoadSystemLibrary(u"comctl32.dll");
    Functions found;
    found.initCommonControlsEx = Resolve<InitCommonControlsExCall>(module, "InitCommonControlsEx", 0);
    found.setWindowSubclass = Resolve<SetWindowSubclassCall>(module, "SetWindowSubclass", kSetWindowSubclassOrdinal);
    found.removeWindowSubclass =
        Resolve<RemoveWindowSubclassCall>(module, "RemoveWindowSubclass", kRemoveWindowSubclassOrdinal);
    found.defSubclassProc = Resolve<DefSubclassProcCall>(module, "DefSubclassProc", kDefSubclassProcOrdinal);
    return found;
  }();
  return functions;
}

}  // namespace

bool RegisterControlClasses(DWORD classes) noexcept {
  const auto call = CommonControlFunctions().initCommonControlsEx;
  if (!call) return false;
  const INITCOMMONCONTROLSEX controls{sizeof controls, classes};
  return call(&controls) != FALSE;
}

BOOL SetSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) noexcept {
  const auto call = CommonControlFunctions().setWindowSubclass;
  if (!call) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
  }
  return call(window, procedure, id, data);
}

BOOL RemoveSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) noexcept {
  const auto call = CommonControlFunctions().removeWindowSubclass;
  return call ? call(window, procedure, id) : FALSE;
}

LRESULT DefSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  const auto call = CommonControlFunctions().defSubclassProc;
  return call ? call(window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace setup::gui
