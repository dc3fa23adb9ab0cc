// A program that only tells that it was started: it writes "<its own path>.ran" and ends. Copied
// under the name of a program that must not be started, it shows whether it was.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH + 8];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  const wchar_t suffix[] = L".ran";
  for (DWORD i = 0; i < sizeof suffix / sizeof suffix[0]; ++i) path[length + i] = suffix[i];
  HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(marker);
  return 0;
}
