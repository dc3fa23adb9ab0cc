#include "gui/Window.h"

#include <commctrl.h>

#include <algorithm>

#include "base/Text.h"
#include "gui/CommonControls.h"
#include "gui/Dpi.h"
#include "gui/ExceptionReport.h"
#include "gui/SystemError.h"

namespace setup::gui {

namespace {
constexpr UINT_PTR kSubclassId = 1;

HINSTANCE ModuleInstance() { return GetModuleHandleW(nullptr); }
}  // namespace

TWindow::~TWindow() {
  for (TWindow* child : children_) child->parent_ = nullptr;
  if (parent_) std::erase(parent_->children_, this);
  if (Handle()) {
    // No message of the destruction may reach an object that is half gone.
    DetachProcedures();
    handle_.Reset();
  }
}

TWindow* TWindow::FromHandle(HWND handle) noexcept {
  if (!handle) return nullptr;
  return reinterpret_cast<TWindow*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
}

void TWindow::RegisterOwnClass(const wchar_t* className, HICON icon) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(ModuleInstance(), className, &existing)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &TWindow::OwnClassProcedure;
  windowClass.hInstance = ModuleInstance();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hIcon = icon;
  windowClass.lpszClassName = className;
  if (!RegisterClassExW(&windowClass)) RaiseLastOSError();
}

void TWindow::CreateOwnWindow(const wchar_t* className, DWORD style, DWORD exStyle, const CreateArgs& args) {
  HWND parent = args.parent ? args.parent->Handle() : nullptr;
  if (parent) style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (args.visible) style |= WS_VISIBLE;
  TakeDesign(args);
  // WM_NCCREATE attaches the handle to this object (OwnClassProcedure).
  if (!CreateWindowExW(exStyle, className, WidePtr(args.text), style, Scale(args.left), Scale(args.top),
                       Scale(args.width), Scale(args.height), parent, nullptr, ModuleInstance(), this))
    RaiseLastOSError();
  Joined(args);
  // A top-level window may have come up on a monitor of another DPI than the system's.
  if (!parent) {
    if (const int dpi = WindowDpi(Handle()); dpi != dpi_) ChangeDpi(dpi);
  }
}

void TWindow::TakeDesign(const CreateArgs& args) {
  dpi_ = args.parent ? args.parent->dpi_ : SystemDpi();
  design_ = {args.left, args.top, args.width, args.height};
}

int TWindow::Scale(int designValue) const noexcept { return ScaleToDpi(designValue, dpi_); }

void TWindow::CreateControl(const wchar_t* className, DWORD style, DWORD exStyle, const CreateArgs& args) {
  HWND parent = args.parent ? args.parent->Handle() : nullptr;
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (args.visible) style |= WS_VISIBLE;
  TakeDesign(args);
  HWND handle = CreateWindowExW(exStyle, className, WidePtr(args.text), style, Scale(args.left), Scale(args.top),
                                Scale(args.width), Scale(args.height), parent, nullptr, ModuleInstance(), nullptr);
  if (!handle) RaiseLastOSError();
  handle_.Reset(handle);
  SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  if (!SetSubclass(handle, &TWindow::SubclassProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
    RaiseLastOSError();
  subclassed_ = true;
  Joined(args);
}

void TWindow::Joined(const CreateArgs& args) {
  parent_ = args.parent;
  if (parent_) parent_->children_.push_back(this);
  SetFont(args.font ? *args.font : parent_ ? parent_->fontSpec_ : TFontSpec{});
  align_ = args.align;
  RealignParent();
}

void TWindow::DetachProcedures() noexcept {
  HWND handle = Handle();
  if (subclassed_) RemoveSubclass(handle, &TWindow::SubclassProcedure, kSubclassId);
  subclassed_ = false;
  SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
}

LRESULT CALLBACK TWindow::OwnClassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->handle_.Reset(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  TWindow* self = FromHandle(hwnd);
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  const LRESULT result = self->Dispatch(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    self->DetachProcedures();
    (void)self->handle_.Release();  // the system has destroyed it (with its parent)
  }
  return result;
}

LRESULT CALLBACK TWindow::SubclassProcedure(HWND, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<TWindow*>(data);
  const LRESULT result = self->Dispatch(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    self->DetachProcedures();
    (void)self->handle_.Release();
  }
  return result;
}

LRESULT TWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    return HandleMessage(message, wParam, lParam);
  } catch (...) {
    ReportCurrentException();
    return 0;
  }
}

LRESULT TWindow::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
  if (subclassed_) return DefSubclass(Handle(), message, wParam, lParam);
  return DefWindowProcW(Handle(), message, wParam, lParam);
}

LRESULT TWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // Notifications come to the parent; the control they concern handles them.
      if (TWindow* child = FromHandle(reinterpret_cast<HWND>(lParam)); child && child->parent_ == this) {
        child->OnCommand(HIWORD(wParam));
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      if (TWindow* child = FromHandle(reinterpret_cast<HWND>(lParam)); child && child->parent_ == this) {
        if (HBRUSH brush = child->OnCtlColor(reinterpret_cast<HDC>(wParam))) return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_ERASEBKGND:
      if (!subclassed_) {
        RECT client;
        GetClientRect(Handle(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, BackgroundBrush());
        return 1;
      }
      break;
    case WM_SIZE:
      AlignChildren();
      break;
    default:
      break;
  }
  return CallDefault(message, wParam, lParam);
}

void TWindow::OnCommand(WORD) {}

HBRUSH TWindow::OnCtlColor(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  return parent_ ? parent_->BackgroundBrush() : nullptr;
}

HBRUSH TWindow::BackgroundBrush() const noexcept {
  return parent_ ? parent_->BackgroundBrush() : GetSysColorBrush(COLOR_BTNFACE);
}

std::u16string TWindow::Text() const {
  const int length = GetWindowTextLengthW(Handle());
  if (length <= 0) return {};
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const int copied = GetWindowTextW(Handle(), reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

void TWindow::SetText(const std::u16string& text) {
  SetWindowTextW(Handle(), WidePtr(text));
  TextChanged();
}

TBounds TWindow::Bounds() const {
  RECT rect;
  GetWindowRect(Handle(), &rect);
  if (HWND parent = GetParent(Handle()); parent && (GetWindowLongW(Handle(), GWL_STYLE) & WS_CHILD))
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

int TWindow::ClientWidth() const {
  RECT client;
  GetClientRect(Handle(), &client);
  return client.right;
}

int TWindow::DesignClientWidth() const { return MulDiv(ClientWidth(), kDesignDpi, dpi_); }

void TWindow::SetBounds(const TBounds& designBounds) {
  design_ = designBounds;
  MoveWindow(Handle(), Scale(design_.left), Scale(design_.top), Scale(design_.width), Scale(design_.height), TRUE);
  if (align_ != TAlign::None) RealignParent();
}

void TWindow::SetPosition(int left, int top) {
  // The size stays in pixels: a label sized to its text keeps the size its text measured.
  const TBounds pixels = Bounds();
  design_.left = left;
  design_.top = top;
  MoveWindow(Handle(), Scale(left), Scale(top), pixels.width, pixels.height, TRUE);
  if (align_ != TAlign::None) RealignParent();
}

void TWindow::ChangeDpi(int dpi) {
  dpi_ = dpi;
  // A top-level window takes the place and size Windows suggests; its children follow the design.
  if (parent_) {
    MoveWindow(Handle(), Scale(design_.left), Scale(design_.top), Scale(design_.width), Scale(design_.height), TRUE);
  }
  SetFont(fontSpec_);  // the same design, made anew at this DPI; a label sized to its text measures again
  for (TWindow* child : children_) child->ChangeDpi(dpi);
  AlignChildren();
  DpiChanged();
  InvalidateRect(Handle(), nullptr, TRUE);
}

bool TWindow::Visible() const { return (GetWindowLongW(Handle(), GWL_STYLE) & WS_VISIBLE) != 0; }

void TWindow::SetVisible(bool visible) {
  if (visible == Visible()) return;
  if (!visible) {
    // A hidden window must not keep the keyboard focus: pass it on to the next control.
    HWND focus = GetFocus();
    if (focus && (focus == Handle() || IsChild(Handle(), focus))) {
      HWND root = GetAncestor(Handle(), GA_ROOT);
      if (HWND next = GetNextDlgTabItem(root, focus, FALSE); next && next != focus) SetFocus(next);
    }
  }
  ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
  if (align_ != TAlign::None) RealignParent();
}

bool TWindow::Enabled() const { return IsWindowEnabled(Handle()) != FALSE; }

void TWindow::SetEnabled(bool enabled) { EnableWindow(Handle(), enabled ? TRUE : FALSE); }

void TWindow::SetFont(const TFontSpec& spec) {
  FontHandle font = MakeFont(spec, dpi_);
  if (!font) RaiseLastOSError();
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
  font_ = std::move(font);  // the old font is deleted only once the window has let go of it
  fontSpec_ = spec;
  FontChanged();
}

void TWindow::SetAlign(TAlign align) {
  align_ = align;
  RealignParent();
}

void TWindow::SetParent(TWindow& parent) {
  if (&parent == parent_) return;
  TWindow* previous = parent_;
  if (previous) std::erase(previous->children_, this);
  parent_ = &parent;
  parent.children_.push_back(this);
  ::SetParent(Handle(), parent.Handle());
  if (align_ != TAlign::None) {
    if (previous) previous->AlignChildren();
    parent.AlignChildren();
  }
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TWindow::RealignParent() {
  if (parent_ && align_ != TAlign::None) parent_->AlignChildren();
}

void TWindow::AlignChildren() {
  if (!Handle()) return;
  RECT client;
  GetClientRect(Handle(), &client);
  int top = 0;
  int left = 0;
  int right = client.right;
  const int bottom = client.bottom;
  auto place = [](TWindow& child, int x, int y, int width, int height) {
    MoveWindow(child.Handle(), x, y, width, height, TRUE);
  };
  for (TWindow* child : children_) {
    if (child->align_ != TAlign::Top || !child->Visible()) continue;
    const int height = child->Bounds().height;
    place(*child, 0, top, client.right, height);
    top += height;
  }
  for (TWindow* child : children_) {
    if (child->align_ != TAlign::Left || !child->Visible()) continue;
    const int width = child->Bounds().width;
    place(*child, left, top, width, bottom - top);
    left += width;
  }
  for (TWindow* child : children_) {
    if (child->align_ != TAlign::Right || !child->Visible()) continue;
    const int width = child->Bounds().width;
    right -= width;
    place(*child, right, top, width, bottom - top);
  }
}

}  // namespace setup::gui
