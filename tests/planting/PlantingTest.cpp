// Setup.exe and Uninst.exe load no DLL that a person without administrator rights could place:
// for every DLL name they import or load late, a probe DLL of that name lies beside the program,
// in its current folder and in its temporary folder, and Wine is told to prefer such a file to
// its own copy. The programs run their usual course (the wizard shows, the uninstaller removes
// itself through its temporary copy), and no probe may have been loaded.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/support/Driver.h"
#include "tests/support/TempFolder.h"

namespace setup::e2e {
namespace {

namespace fs = std::filesystem;

// The system's known DLLs (as tests/wizard/check-imports lists them): Windows maps them from the
// system folder whatever lies beside a program. Wine does not: it loads a native-first file of such
// a name from the program's folder, before any of the program's code runs, and its own user32
// imports version.dll. So these names are not probed here; the imports test keeps the programs'
// import tables to this list.
const std::set<std::string> kKnownDlls = {
    "advapi32", "clbcatq",  "comdlg32", "gdi32",  "imagehlp", "imm32",  "kernel32", "msctf",
    "msvcrt",   "normaliz", "nsi",      "ole32",  "oleaut32", "psapi",  "rpcrt4",   "sechost",
    "setupapi", "shell32",  "shlwapi",  "user32", "wldap32",  "ws2_32",
};

// Every other name the programs use or have used: the common controls and the JPEG decoder they
// load late, the image blend library that older builds imported, and what the shell, COM and the
// controls commonly load after them.
const std::vector<std::string> kProbedNames = {
    "comctl32",  "msimg32", "windowscodecs", "uxtheme", "dwmapi", "propsys",
    "cryptbase", "profapi", "userenv",       "winmm",   "oleacc",
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::uint32_t Read32(const std::vector<char>& bytes, std::size_t at) {
  if (at + 4 > bytes.size()) throw std::runtime_error("truncated PE file");
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}
std::uint16_t Read16(const std::vector<char>& bytes, std::size_t at) {
  if (at + 2 > bytes.size()) throw std::runtime_error("truncated PE file");
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

// The DLL names in a PE32+ file's import table, in lower case without ".dll".
std::set<std::string> ImportedNames(const fs::path& program) {
  std::ifstream in(program, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t pe = Read32(bytes, 0x3C);
  const std::size_t sections = Read16(bytes, pe + 6);
  const std::size_t optional = pe + 24;
  const std::size_t optionalSize = Read16(bytes, pe + 20);
  EXPECT_EQ(Read16(bytes, optional), 0x20B) << "not a 64-bit program";
  const std::uint32_t importRva = Read32(bytes, optional + 112 + 8);  // data directory 1
  const std::size_t sectionTable = optional + optionalSize;
  auto fileOffset = [&](std::uint32_t rva) -> std::size_t {
    for (std::size_t i = 0; i < sections; ++i) {
      const std::size_t header = sectionTable + i * 40;
      const std::uint32_t address = Read32(bytes, header + 12);
      const std::uint32_t size = std::max(Read32(bytes, header + 8), Read32(bytes, header + 16));
      if (rva >= address && rva < address + size) return rva - address + Read32(bytes, header + 20);
    }
    throw std::runtime_error("address outside every section");
  };
  std::set<std::string> names;
  for (std::size_t entry = fileOffset(importRva);; entry += 20) {
    const std::uint32_t nameRva = Read32(bytes, entry + 12);
    if (nameRva == 0) break;
    std::string name;
    for (std::size_t at = fileOffset(nameRva); at < bytes.size() && bytes[at]; ++at) name += bytes[at];
    name = Lower(name);
    if (name.ends_with(".dll")) name.resize(name.size() - 4);
    names.insert(name);
  }
  return names;
}

// Every marker a probe left below `folder`.
std::vector<std::string> Markers(const fs::path& folder) {
  std::vector<std::string> found;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    if (it->path().extension() == ".loaded") found.push_back(it->path().filename().string());
  }
  return found;
}

struct ProgramCase {
  const char* name;
  const char* buildFolder;
  const wchar_t* file;
};

class DllPlanting : public testing::TestWithParam<ProgramCase> {
 protected:
  void SetUp() override {
    program_ = fs::path(WindowsPath(GetParam().buildFolder)) / GetParam().file;
    ASSERT_TRUE(fs::exists(program_)) << program_.string();
    for (const fs::path& folder : {Beside(), Current(), Temporary()}) {
      fs::create_directories(folder);
      PlaceProbes(folder);
    }
    fs::copy_file(program_, Beside() / GetParam().file);
  }

  fs::path Beside() const { return root_.Path() / "beside"; }
  fs::path Current() const { return root_.Path() / "current"; }
  fs::path Temporary() const { return root_.Path() / "temp"; }

  void PlaceProbes(const fs::path& folder) const {
    const fs::path probe(WindowsPath(PROBE_LIBRARY));
    for (const std::string& name : kProbedNames) fs::copy_file(probe, folder / (name + ".dll"));
  }

  // The temporary folder of the programs started. The DLL load order comes from the test's own
  // environment (see CMakeLists.txt): Wine reads it from the host's environment, not from the
  // block a Windows program hands to its child.
  std::vector<std::wstring> Environment() const {
    return {L"TEMP=" + Temporary().wstring(), L"TMP=" + Temporary().wstring()};
  }

  fs::path program_;
  testing_support::TempFolder root_;
};

// Every probed name is preferred in its native form (the file found by the search), Wine's own
// copy only after it.
TEST_P(DllPlanting, EveryProbedNameIsPreferredNative) {
  std::string overrides;
  for (const std::string& name : kProbedNames) overrides += (overrides.empty() ? "" : ",") + name;
  overrides += "=n,b";
  wchar_t value[4096] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"WINEDLLOVERRIDES", value, 4096), 0u);
  const std::wstring text(value);
  EXPECT_NE(text.find(std::wstring(overrides.begin(), overrides.end())), std::wstring::npos)
      << "WINEDLLOVERRIDES must hold " << overrides;
}

// Whatever the program imports is a known DLL or has its probe.
TEST_P(DllPlanting, EveryImportedNameIsKnownOrProbed) {
  for (const std::string& name : ImportedNames(program_)) {
    EXPECT_TRUE(kKnownDlls.contains(name) ||
                std::find(kProbedNames.begin(), kProbedNames.end(), name) != kProbedNames.end())
        << name << " is imported but is no known DLL and has no probe";
  }
}

TEST_P(DllPlanting, NoProbeIsLoaded) {
  const std::wstring copy = (Beside() / GetParam().file).wstring();
  if (std::wstring(GetParam().file) == L"Setup.exe") {
    Process setup(copy, L"", Environment(), Current().wstring());
    // The wizard's form is made: the common controls, the JPEG decoder and the pictures are in use.
    const HWND form = WaitForClass(setup.Id(), L"TForm1");
    EXPECT_NE(form, nullptr) << "the wizard did not show";
    if (form) Close(form);
    // Closed without installing: the person cancelled.
    EXPECT_EQ(setup.Wait(15000), std::optional<DWORD>(1602));
  } else {
    // A silent removal with nothing installed: it ends by starting its temporary copy, which
    // deletes the uninstaller's file.
    Process uninstaller(copy, L"/S", Environment(), Current().wstring());
    EXPECT_TRUE(uninstaller.Wait(30000).has_value()) << "the uninstaller did not end";
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(copy); }, 30000)) << "the temporary copy did not do its work";
  }
  for (const fs::path& folder : {Beside(), Current(), Temporary()}) {
    const std::vector<std::string> markers = Markers(folder);
    EXPECT_TRUE(markers.empty()) << "loaded from " << folder.string() << ": " << testing::PrintToString(markers);
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, DllPlanting,
                         testing::Values(ProgramCase{"Setup", SETUP_DIR, L"Setup.exe"},
                                         ProgramCase{"Uninstaller", UNINSTALLER_DIR, L"Uninst.exe"}),
                         [](const testing::TestParamInfo<ProgramCase>& param) { return param.param.name; });

}  // namespace
}  // namespace setup::e2e
