// Reading the wizard window of a started setup program from outside: its controls found by
// parent, class and place, their texts, states and fonts, and what they show on the screen.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/support/Driver.h"

namespace setup::e2e::wizard {

// A started setup program and its wizard window, closed when the object goes.
class Wizard {
 public:
  explicit Wizard(const std::wstring& exe, const std::vector<std::wstring>& environment = {},
                  const std::wstring& arguments = L"");
  ~Wizard();
  Wizard(const Wizard&) = delete;
  Wizard& operator=(const Wizard&) = delete;

  Process& Program() { return process_; }
  HWND Form() const { return form_; }

 private:
  Process process_;
  HWND form_ = nullptr;
};

// The page panels and containers of the form, told apart by what they hold.
struct Containers {
  HWND pnlStep1 = nullptr;
  HWND pnlStep2 = nullptr;
  HWND pnlStep3 = nullptr;
  HWND pnlStep4 = nullptr;
  HWND Panel3 = nullptr;
  HWND Panel4 = nullptr;
  HWND gbFolder = nullptr;
};
Containers FindContainers(HWND form);

std::vector<HWND> DirectChildren(HWND parent);
// The direct child of this class whose top-left corner is at left, top; null when none.
HWND ChildAt(HWND parent, const std::wstring& className, int left, int top);
// The window's own visibility flag, whatever its parents show.
bool OwnVisible(HWND window);
bool Checked(HWND checkBox);
// The control that has the keyboard focus in the window's thread.
HWND FocusOf(HWND window);
// The size a text takes in a font, as a label sized to its text measures it.
SIZE TextExtent(const std::wstring& text, const LOGFONTW& font);
// The lines of a multi-line edit.
std::vector<std::wstring> Lines(HWND edit);

// The pixels a window shows on the screen, as 0x00RRGGBB values row by row.
std::vector<unsigned> ScreenPixels(HWND window, int width, int height);
// The pixels of a JPEG file decoded by the platform's imaging component.
std::vector<unsigned> JpegPixels(const std::wstring& file, int& width, int& height);
// A text drawn as a label draws it: on `background`, in the window-text colour, wrapped at
// word boundaries when `wrap`; pixels as ScreenPixels gives them.
std::vector<unsigned> RenderLabel(const std::wstring& text, const LOGFONTW& font, int width, int height,
                                  COLORREF background, bool wrap);
// The mean absolute difference per colour channel of two pictures of the same size.
double MeanDifference(const std::vector<unsigned>& a, const std::vector<unsigned>& b);
// Saves the window as it shows on the screen to a 24-bit BMP file, for a person to look at.
void SaveScreenshot(HWND window, const std::wstring& file);

// Sets HKCU\Software\Wine "Version" for the programs started while the object lives, and puts
// back what was there before.
class WineVersionOverride {
 public:
  explicit WineVersionOverride(const std::wstring& version);
  ~WineVersionOverride();
  WineVersionOverride(const WineVersionOverride&) = delete;
  WineVersionOverride& operator=(const WineVersionOverride&) = delete;

 private:
  std::optional<std::wstring> previous_;
};

// Sets HKCU\Control Panel\Desktop "LogPixels" (the screen's dots per inch) for the programs started
// while the object lives, and puts back what was there before.
class LogPixelsOverride {
 public:
  explicit LogPixelsOverride(DWORD dpi);
  ~LogPixelsOverride();
  LogPixelsOverride(const LogPixelsOverride&) = delete;
  LogPixelsOverride& operator=(const LogPixelsOverride&) = delete;

 private:
  std::optional<DWORD> previous_;
};

}  // namespace setup::e2e::wizard
