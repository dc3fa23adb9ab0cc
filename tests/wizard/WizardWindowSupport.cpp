#include "tests/wizard/WizardWindowSupport.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "gui/GdiObject.h"
#include "shell/ComPtr.h"

namespace setup::e2e::wizard {

namespace {
constexpr wchar_t kWineKey[] = L"Software\\Wine";
constexpr wchar_t kVersionValue[] = L"Version";
}  // namespace

Wizard::Wizard(const std::wstring& exe, const std::vector<std::wstring>& environment, const std::wstring& arguments)
    : process_(exe, arguments, environment) {
  form_ = WaitForClass(process_.Id(), L"TForm1");
}

Wizard::~Wizard() {
  if (form_ && IsWindow(form_)) Close(form_);
  process_.Wait(15000);
}

std::vector<HWND> DirectChildren(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

HWND ChildAt(HWND parent, const std::wstring& className, int left, int top) {
  for (HWND child : DirectChildren(parent)) {
    const RECT bounds = Bounds(child);
    if (ClassName(child) == className && bounds.left == left && bounds.top == top) return child;
  }
  return nullptr;
}

Containers FindContainers(HWND form) {
  Containers found;
  for (HWND panel : DirectChildren(form)) {
    if (ClassName(panel) != L"SetupPanel") continue;
    bool image = false;
    bool memo = false;
    bool group = false;
    HWND header = nullptr;
    HWND groupBox = nullptr;
    for (HWND child : DirectChildren(panel)) {
      const std::wstring kind = ClassName(child);
      const LONG style = GetWindowLongW(child, GWL_STYLE);
      if (kind == L"SetupImage") image = true;
      if (kind == L"Edit" && (style & ES_MULTILINE)) memo = true;
      if (kind == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX) {
        group = true;
        groupBox = child;
      }
      if (kind == L"SetupPanel") header = child;
    }
    if (image) {
      found.pnlStep1 = panel;
    } else if (memo) {
      found.pnlStep2 = panel;
      found.Panel3 = header;
    } else if (group) {
      found.pnlStep3 = panel;
      found.Panel4 = header;
      found.gbFolder = groupBox;
    } else {
      found.pnlStep4 = panel;
    }
  }
  return found;
}

bool OwnVisible(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

bool Checked(HWND checkBox) { return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

SIZE TextExtent(const std::wstring& text, const LOGFONTW& font) {
  gui::ScreenDc screen;
  gui::FontHandle handle(CreateFontIndirectW(&font));
  gui::SelectedObject selected(screen.Get(), handle.Get());
  RECT rect{0, 0, 0, 0};
  DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
  return {rect.right, rect.bottom};
}

std::vector<std::wstring> Lines(HWND edit) {
  const std::wstring text = Text(edit);
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(L"\r\n", start);
    lines.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
    if (end == std::wstring::npos) return lines;
    start = end + 2;
  }
}

namespace {

// A top-down 32-bit picture that a device context draws into, and its pixels.
class Canvas {
 public:
  Canvas(HDC compatible, int width, int height) : memory_(compatible), width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_.Reset(CreateDIBSection(compatible, &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
    selected_.emplace(memory_.Get(), bitmap_.Get());
  }
  HDC Dc() const { return memory_.Get(); }
  // The pixels as 0x00RRGGBB values, row by row.
  std::vector<unsigned> Pixels() const {
    GdiFlush();
    if (!bits_) return {};
    const auto* first = static_cast<const unsigned*>(bits_);
    std::vector<unsigned> pixels(first, first + static_cast<std::size_t>(width_) * height_);
    for (unsigned& pixel : pixels) pixel &= 0xFFFFFFu;
    return pixels;
  }

 private:
  gui::MemoryDc memory_;
  gui::BitmapHandle bitmap_;
  std::optional<gui::SelectedObject> selected_;
  void* bits_ = nullptr;
  int width_;
  int height_;
};

std::vector<unsigned> CaptureScreen(HWND window, int width, int height) {
  RECT rect;
  GetWindowRect(window, &rect);
  gui::ScreenDc screen;
  Canvas canvas(screen.Get(), width, height);
  BitBlt(canvas.Dc(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY);
  return canvas.Pixels();
}

}  // namespace

std::vector<unsigned> RenderLabel(const std::wstring& text, const LOGFONTW& font, int width, int height,
                                  COLORREF background, bool wrap) {
  gui::ScreenDc screen;
  Canvas canvas(screen.Get(), width, height);
  gui::FontHandle handle(CreateFontIndirectW(&font));
  gui::SelectedObject selected(canvas.Dc(), handle.Get());
  RECT rect{0, 0, width, height};
  gui::BrushHandle brush(CreateSolidBrush(background));
  FillRect(canvas.Dc(), &rect, brush.Get());
  SetBkMode(canvas.Dc(), TRANSPARENT);
  SetTextColor(canvas.Dc(), GetSysColor(COLOR_WINDOWTEXT));
  DrawTextW(canvas.Dc(), text.c_str(), static_cast<int>(text.size()), &rect,
            DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX | (wrap ? DT_WORDBREAK : 0u));
  return canvas.Pixels();
}

std::vector<unsigned> ScreenPixels(HWND window, int width, int height) { return CaptureScreen(window, width, height); }

std::vector<unsigned> JpegPixels(const std::wstring& file, int& width, int& height) {
  width = height = 0;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  UINT w = 0;
  UINT h = 0;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              factory.PutVoid())) ||
      FAILED(factory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                decoder.Put())) ||
      FAILED(decoder->GetFrame(0, frame.Put())) || FAILED(factory->CreateFormatConverter(converter.Put())) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->GetSize(&w, &h)))
    return {};
  std::vector<unsigned> pixels(static_cast<std::size_t>(w) * h);
  if (FAILED(converter->CopyPixels(nullptr, w * 4, w * h * 4, reinterpret_cast<BYTE*>(pixels.data())))) return {};
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  for (unsigned& pixel : pixels) pixel &= 0xFFFFFFu;
  return pixels;
}

double MeanDifference(const std::vector<unsigned>& a, const std::vector<unsigned>& b) {
  if (a.size() != b.size() || a.empty()) return 255.0;
  double total = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    for (int shift : {0, 8, 16}) {
      total += std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF));
    }
  }
  return total / (static_cast<double>(a.size()) * 3);
}

void SaveScreenshot(HWND window, const std::wstring& file) {
  RECT rect;
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const std::vector<unsigned> pixels = CaptureScreen(window, width, height);
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER fileHeader{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  fileHeader.bfType = 0x4D42;
  fileHeader.bfOffBits = sizeof fileHeader + sizeof info;
  fileHeader.bfSize = fileHeader.bfOffBits + static_cast<DWORD>(stride * height);
  std::ofstream out(std::filesystem::path(file), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  std::vector<char> row(static_cast<std::size_t>(stride), 0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const unsigned pixel = pixels[static_cast<std::size_t>(y) * width + x];
      row[x * 3] = static_cast<char>(pixel & 0xFF);
      row[x * 3 + 1] = static_cast<char>((pixel >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<char>((pixel >> 16) & 0xFF);
    }
    out.write(row.data(), stride);
  }
}

WineVersionOverride::WineVersionOverride(const std::wstring& version) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kWineKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  wchar_t buffer[64] = {};
  DWORD size = sizeof buffer;
  DWORD type = 0;
  if (RegQueryValueExW(key, kVersionValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS &&
      type == REG_SZ)
    previous_ = std::wstring(buffer);
  RegSetValueExW(key, kVersionValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                 static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

WineVersionOverride::~WineVersionOverride() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kWineKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  if (previous_) {
    RegSetValueExW(key, kVersionValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(previous_->c_str()),
                   static_cast<DWORD>((previous_->size() + 1) * sizeof(wchar_t)));
  } else {
    RegDeleteValueW(key, kVersionValue);
  }
  RegCloseKey(key);
}

namespace {
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixelsValue[] = L"LogPixels";
}  // namespace

LogPixelsOverride::LogPixelsOverride(DWORD dpi) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  DWORD value = 0;
  DWORD size = sizeof value;
  DWORD type = 0;
  if (RegQueryValueExW(key, kLogPixelsValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
      type == REG_DWORD)
    previous_ = value;
  RegSetValueExW(key, kLogPixelsValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  RegCloseKey(key);
}

LogPixelsOverride::~LogPixelsOverride() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  if (previous_) {
    RegSetValueExW(key, kLogPixelsValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*previous_), sizeof *previous_);
  } else {
    RegDeleteValueW(key, kLogPixelsValue);
  }
  RegCloseKey(key);
}

}  // namespace setup::e2e::wizard
