// A DLL that only tells that it was loaded: copied under the name of a DLL that a setup program
// uses and placed where a person without administrator rights could put it. Loaded, it writes
// "<its own path>.loaded" and refuses to stay. It imports nothing but kernel32 and links no
// runtime, so it can stand in for any DLL name, the runtime's own included.
#include <windows.h>

extern "C" BOOL WINAPI ProbeEntry(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH + 16];
  const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return FALSE;
  const wchar_t suffix[] = L".loaded";
  for (DWORD i = 0; i < sizeof suffix / sizeof suffix[0]; ++i) path[length + i] = suffix[i];
  HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  return FALSE;
}
