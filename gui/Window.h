// The base of every window of the GUI layer: it holds the window handle, maps the handle to its
// object, reflects the notifications a parent receives back to the child they concern, and lays
// out the children that are aligned to an edge of their parent.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "gui/Font.h"
#include "gui/GdiObject.h"

namespace setup::gui {

class TWindow;

enum class TAlign { None, Top, Left, Right };

// Everything a control is created from. Position and size are pixels at 96 DPI relative to the
// parent: the layer scales them to the DPI of the window's monitor.
struct CreateArgs {
  TWindow* parent = nullptr;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::u16string text{};
  bool visible = true;
  TAlign align = TAlign::None;
  // The parent's font when not given.
  std::optional<TFontSpec> font{};
};

struct TBounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

class TWindow {
 public:
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;
  virtual ~TWindow();

  HWND Handle() const noexcept { return handle_.Get(); }
  // The object of a window of this layer, or null for any other window.
  static TWindow* FromHandle(HWND handle) noexcept;

  std::u16string Text() const;
  void SetText(const std::u16string& text);

  // The window's place and size in pixels on the screen, relative to its parent.
  TBounds Bounds() const;
  // Width of the inside of the window, where its children go, in pixels.
  int ClientWidth() const;
  // The same width in pixels at 96 DPI, as the design gives widths.
  int DesignClientWidth() const;
  // Place and size as designed (pixels at 96 DPI), scaled to the window's DPI.
  void SetBounds(const TBounds& designBounds);
  TBounds DesignBounds() const noexcept { return design_; }
  // Moves the window to a designed place (pixels at 96 DPI); its size stays.
  void SetPosition(int left, int top);

  // The DPI the window is laid out for, and a designed length in pixels at that DPI.
  int Dpi() const noexcept { return dpi_; }
  int Scale(int designValue) const noexcept;
  // Lays the window and everything on it out again for another DPI: places, sizes and fonts.
  void ChangeDpi(int dpi);

  // The control's own visibility flag; a visible control on a hidden panel is not on screen.
  bool Visible() const;
  void SetVisible(bool visible);
  bool Enabled() const;
  void SetEnabled(bool enabled);

  const TFontSpec& Font() const noexcept { return fontSpec_; }
  void SetFont(const TFontSpec& spec);

  TAlign Align() const noexcept { return align_; }
  void SetAlign(TAlign align);

  TWindow* Parent() const noexcept { return parent_; }
  // Moves the control to another parent; an aligned control keeps its alignment there.
  void SetParent(TWindow& parent);

  // The brush children paint their background with, so that they look transparent on it.
  virtual HBRUSH BackgroundBrush() const noexcept;

 protected:
  TWindow() = default;

  // Creates a window of a system control class and routes its messages through HandleMessage.
  void CreateControl(const wchar_t* className, DWORD style, DWORD exStyle, const CreateArgs& args);
  // Creates a window of a class this layer registers (see RegisterOwnClass).
  void CreateOwnWindow(const wchar_t* className, DWORD style, DWORD exStyle, const CreateArgs& args);
  // Registers a window class whose procedure dispatches to the object. Safe to call repeatedly.
  static void RegisterOwnClass(const wchar_t* className, HICON icon = nullptr);

  // Every message of the window. Overrides pass what they do not handle to this base version.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // A WM_COMMAND notification the parent received from this control.
  virtual void OnCommand(WORD notification);
  // A WM_CTLCOLOR* message the parent received for this control; null for the default colours.
  // The default paints text transparently over the parent's background.
  virtual HBRUSH OnCtlColor(HDC dc);
  // Called after the text has changed through SetText.
  virtual void TextChanged() {}
  // Called after the font has changed through SetFont.
  virtual void FontChanged() {}
  // Called after the window has been laid out for another DPI.
  virtual void DpiChanged() {}

  // The system's own handling of the message.
  LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);
  // Places the aligned children: top ones stacked from the top, then left and right ones
  // filling the height that remains. Hidden children take no room.
  void AlignChildren();

 private:
  static LRESULT CALLBACK OwnClassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR data) noexcept;
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  // Links a new window to its parent, font and alignment.
  void Joined(const CreateArgs& args);
  // Takes the DPI of the parent (the system's for a top-level window) and the designed bounds.
  void TakeDesign(const CreateArgs& args);
  // Stops the window's messages from reaching this object.
  void DetachProcedures() noexcept;
  void RealignParent();

  WindowHandle handle_;
  bool subclassed_ = false;
  TWindow* parent_ = nullptr;       // not owned: the parent outlives its children
  std::vector<TWindow*> children_;  // not owned: each child is a member of the form
  TAlign align_ = TAlign::None;
  int dpi_ = 96;
  TBounds design_;      // place and size at 96 DPI, as last set
  TFontSpec fontSpec_;  // as designed: the height at 96 DPI
  FontHandle font_;
};

}  // namespace setup::gui
