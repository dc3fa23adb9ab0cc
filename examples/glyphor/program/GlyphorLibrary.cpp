// The sample product's libraries: one source, built once per library name. Each exports a
// function that names the library and its version, which is all a sample needs to be a real DLL.
#include <windows.h>

#ifndef GLYPHOR_LIBRARY_NAME
#error GLYPHOR_LIBRARY_NAME names the library
#endif

extern "C" __declspec(dllexport) const wchar_t* GlyphorLibraryName() { return GLYPHOR_LIBRARY_NAME L" 2.30"; }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
