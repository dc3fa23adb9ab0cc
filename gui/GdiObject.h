// Move-only owners of a window handle and of GDI objects.
#pragma once

#include <windows.h>

#include <utility>

namespace setup::gui {

// Owns one GDI object (font, brush, bitmap) and deletes it when it goes.
template <typename Handle>
class GdiObject {
 public:
  GdiObject() noexcept = default;
  explicit GdiObject(Handle handle) noexcept : handle_(handle) {}
  ~GdiObject() { Reset(); }

  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  Handle Get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }
  void Reset(Handle handle = nullptr) noexcept {
    if (handle_) DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;
using BitmapHandle = GdiObject<HBITMAP>;

// Owns one window and destroys it (with its children) when it goes.
class WindowHandle {
 public:
  WindowHandle() noexcept = default;
  explicit WindowHandle(HWND handle) noexcept : handle_(handle) {}
  ~WindowHandle() { Reset(); }

  WindowHandle(const WindowHandle&) = delete;
  WindowHandle& operator=(const WindowHandle&) = delete;
  WindowHandle(WindowHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  WindowHandle& operator=(WindowHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  HWND Get() const noexcept { return handle_; }
  // Forgets a window that the system has destroyed already (with its parent).
  void Release() noexcept { handle_ = nullptr; }
  void Reset(HWND handle = nullptr) noexcept {
    if (handle_) DestroyWindow(handle_);
    handle_ = handle;
  }

 private:
  HWND handle_ = nullptr;
};

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
