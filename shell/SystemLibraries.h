// Where the setup programs take their DLLs from (Windows only).
//
// Setup.exe and Uninst.exe run as administrator, often from a folder anybody can write (a
// download folder, the temporary folder). A DLL found there by name would run with their rights.
// So their import tables name only DLLs that Windows always maps from its own folder (the
// system's known DLLs), the DLL search is narrowed to the system folder before anything else
// runs, and every other DLL is loaded by the system folder's full path.
#pragma once

#include <windows.h>

#include <string>

namespace setup {

// Narrows the DLL search of this process to the system folder. Where the system lacks that call
// (before the update that brought it to Windows 7 and Vista), removes at least the current folder
// from the search. The first thing either program does.
void RestrictDllSearchToSystemFolder() noexcept;

// Loads `fileName` ("comctl32.dll") from the system folder by its full path, never through the
// search order. Returns no module when it is not there. The module stays loaded for the rest of
// the process: the window classes and objects it hands out may live as long.
HMODULE LoadSystemLibrary(const std::u16string& fileName) noexcept;

}  // namespace setup
