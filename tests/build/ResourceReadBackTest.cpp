// Windows' own resource functions read back what `stpack build` wrote into the sample's
// Setup.exe and Uninst.exe.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

const std::wstring kFolder = [] {
  std::wstring folder(GLYPHOR_DIR, GLYPHOR_DIR + sizeof(GLYPHOR_DIR) - 1);
  for (auto& c : folder) c = c == L'/' ? L'\\' : c;
  return L"Z:" + folder;
}();

// The module loaded as an image resource source, freed at the end.
class ResourceModule {
 public:
  explicit ResourceModule(const std::wstring& path)
      : module_(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~ResourceModule() {
    if (module_) FreeLibrary(module_);
  }
  ResourceModule(const ResourceModule&) = delete;
  ResourceModule& operator=(const ResourceModule&) = delete;
  HMODULE Get() const { return module_; }

 private:
  HMODULE module_;
};

std::wstring String(HMODULE module, UINT id) {
  wchar_t buffer[256] = {};
  const int length = LoadStringW(module, id, buffer, 256);
  return std::wstring(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

DWORD ResourceSize(HMODULE module, const wchar_t* type, const wchar_t* name, WORD language) {
  HRSRC info = FindResourceExW(module, type, name, language);
  return info ? SizeofResource(module, info) : 0;
}

TEST(ResourceReadBack, SetupStringsPicturesIconAndPackage) {
  const ResourceModule setup(kFolder + L"\\Setup.exe");
  ASSERT_NE(setup.Get(), nullptr) << GetLastError();
  EXPECT_EQ(String(setup.Get(), 1001), L"VelmoraGlyphorMainWindow");
  EXPECT_EQ(String(setup.Get(), 1003), L"澜川绘影");
  EXPECT_EQ(String(setup.Get(), 1010), L"Glyphor");
  EXPECT_EQ(String(setup.Get(), 1012), L"6 MB");
  EXPECT_EQ(String(setup.Get(), 1013), L"");  // no publisher given: the wizard's default applies

  // Names are found whatever their case, as the wizard asks for them.
  EXPECT_GT(ResourceSize(setup.Get(), MAKEINTRESOURCEW(10), L"ImageLeft0", 0), 1000u);
  EXPECT_GT(ResourceSize(setup.Get(), MAKEINTRESOURCEW(10), L"imageleft2", 0), 1000u);
  EXPECT_GT(
      ResourceSize(setup.Get(), L"StpFile", L"SetupPackage", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)),
      100000u);
  HANDLE bitmap = LoadImageW(setup.Get(), L"ImageIcon", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  ASSERT_NE(bitmap, nullptr);
  BITMAP facts{};
  EXPECT_NE(GetObjectW(bitmap, sizeof(facts), &facts), 0);
  EXPECT_GT(facts.bmWidth, 0);
  DeleteObject(bitmap);
  HICON icon = LoadIconW(setup.Get(), L"AppIcon");
  EXPECT_NE(icon, nullptr);
}

TEST(ResourceReadBack, UninstallerFileListAndVersion) {
  const std::wstring path = kFolder + L"\\Uninst.exe";
  const ResourceModule uninst(path);
  ASSERT_NE(uninst.Get(), nullptr);
  EXPECT_EQ(String(uninst.Get(), 1004), L"Velmora Glyphor");
  HRSRC list = FindResourceW(uninst.Get(), L"UNINSTALLFILES", MAKEINTRESOURCEW(10));
  ASSERT_NE(list, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(uninst.Get(), list)));
  const std::string text(bytes, SizeofResource(uninst.Get(), list));
  EXPECT_NE(text.find("Glyphor.exe\r\n"), std::string::npos);
  EXPECT_NE(text.find("Uninst.exe\r\n"), std::string::npos);
  EXPECT_EQ(text.find("VelmoraRt.dll"), std::string::npos);  // a system-folder file stays on uninstall

  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  wchar_t* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\ProductName", reinterpret_cast<void**>(&value),
                             &length));
  EXPECT_EQ(std::wstring(value), L"Velmora Glyphor");
  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x0002001Eu);
}

}  // namespace
