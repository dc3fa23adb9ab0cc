// The few calls the GUI layer makes into the common controls (Windows only).
//
// comctl32 is no known DLL: a copy beside the program would be found first by name. So it is not
// imported; its functions come from the system folder's copy, loaded by full path on first use.
// The manifest asks for no later version of the controls, so the process's default activation
// context applies: this is the same classic version that a load by name gave, with the same look.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

namespace setup::gui {

// Registers the window classes named by `classes` (ICC_* flags). False when it cannot.
bool RegisterControlClasses(DWORD classes) noexcept;

// The window subclassing calls, as the common controls define them. Without the common controls
// they fail (SetSubclass, RemoveSubclass) or fall back to DefWindowProcW (DefSubclass).
BOOL SetSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) noexcept;
BOOL RemoveSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) noexcept;
LRESULT DefSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace setup::gui
