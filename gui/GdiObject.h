// Move-only owners of a window handle and of GDI objects.
#pragma once

#include <windows.h>

#include "base/UniqueOwner.h"

namespace setup::gui {

// Owns one GDI object (font, brush, bitmap) and deletes it when it goes.
template <typename GdiHandle>
struct GdiObjectTraits {
  using Handle = GdiHandle;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle handle) noexcept { DeleteObject(handle); }
};

template <typename Handle>
using GdiObject = UniqueOwner<GdiObjectTraits<Handle>>;

using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;
using BitmapHandle = GdiObject<HBITMAP>;

// Owns one window and destroys it (with its children) when it goes. A window the system has
// destroyed already (with its parent) is forgotten through Release.
struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle window) noexcept { DestroyWindow(window); }
};

using WindowHandle = UniqueOwner<WindowTraits>;

// A device context selected with one object for the length of a scope.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, previous_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A memory device context compatible with `dc`, deleted when it goes.
class MemoryDc {
 public:
  explicit MemoryDc(HDC dc) noexcept : dc_(CreateCompatibleDC(dc)) {}
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC Get() const noexcept { return dc_; }

 private:
  HDC dc_;
};

// The screen's device context for measuring text, released when it goes.
class ScreenDc {
 public:
  ScreenDc() noexcept : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const noexcept { return dc_; }

 private:
  HDC dc_;
};

}  // namespace setup::gui
