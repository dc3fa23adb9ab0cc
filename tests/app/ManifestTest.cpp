// The manifest the sample Setup.exe carries: run as administrator, the Windows versions it was
// made for, classic controls, and how it copes with screens of more than 96 dots per inch.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

const std::wstring kSetup = [] {
  const std::string ascii(GLYPHOR_DIR);  // an ASCII build path, POSIX or Windows
  std::wstring path(ascii.begin(), ascii.end());
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path + L"\\Setup.exe";
}();

// The application manifest (resource 1 of type RT_MANIFEST) of an executable, as text.
std::string ManifestOf(const std::wstring& file) {
  HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return {};
  std::string text;
  if (HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    const DWORD size = SizeofResource(module, resource);
    if (HGLOBAL loaded = LoadResource(module, resource))
      text.assign(static_cast<const char*>(LockResource(loaded)), size);
  }
  FreeLibrary(module);
  return text;
}

// Whether the text holds the piece with any run of white space standing for each single blank.
bool ContainsLoosely(const std::string& text, const std::string& piece) {
  std::string squeezed;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t';
    if (blank && (squeezed.empty() || squeezed.back() == ' ')) continue;
    squeezed += blank ? ' ' : c;
  }
  return squeezed.find(piece) != std::string::npos;
}

struct ManifestEntry {
  const char* name;
  const char* text;
};

class ManifestTest : public testing::TestWithParam<ManifestEntry> {
 protected:
  static void SetUpTestSuite() { manifest = ManifestOf(kSetup); }
  static std::string manifest;
};
std::string ManifestTest::manifest;

TEST_P(ManifestTest, Holds) {
  ASSERT_FALSE(manifest.empty()) << "no manifest in Setup.exe";
  EXPECT_TRUE(ContainsLoosely(manifest, GetParam().text)) << GetParam().text << "\n" << manifest;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ManifestTest,
    testing::Values(
        ManifestEntry{"Administrator", R"(<requestedExecutionLevel level="requireAdministrator" uiAccess="false"/>)"},
        ManifestEntry{"WindowsVista", R"(<supportedOS Id="{e2011457-1546-43c5-a5fe-008deee3d3f0}"/>)"},
        ManifestEntry{"Windows7", R"(<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>)"},
        // Laid out per monitor; system DPI where only the older entry is known.
        ManifestEntry{"DpiAware",
                      R"(<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>)"},
        ManifestEntry{
            "DpiAwareness",
            R"(<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>)"}),
    [](const testing::TestParamInfo<ManifestEntry>& param) { return param.param.name; });

// No dependency on version 6 of the common controls: the controls draw in the classic style.
TEST(Manifest, RequestsNoCommonControlsSix) {
  const std::string manifest = ManifestOf(kSetup);
  ASSERT_FALSE(manifest.empty());
  EXPECT_EQ(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_EQ(manifest.find("<dependency"), std::string::npos);
}

}  // namespace
