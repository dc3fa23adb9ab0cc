#include <windows.h>

#include "shell/Shortcuts.h"
// The shell headers follow windows.h.
#include <gtest/gtest.h>
#include <objidl.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "../support/TempFolder.h"
#include "RegistryTestSupport.h"
#include "base/Text.h"
#include "base/Threads.h"
#include "shell/ComApartment.h"
#include "shell/ComPtr.h"
#include "shell/ShellErrors.h"
#include "shell/ShellFolders.h"

namespace setup {
namespace {

namespace fs = std::filesystem;
using testing_support::ScopedRegistryValue;
using testing_support::TempFolder;
using testing_support::TextValue;

// What a shortcut file holds, read through the link object without resolving it.
struct LinkSettings {
  std::u16string path;
  std::u16string arguments;
  std::u16string workingDirectory;
};

std::optional<LinkSettings> ReadLink(const fs::path& file) {
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid())))
    return std::nullopt;
  ComPtr<IPersistFile> persist;
  if (FAILED(link.QueryTo(IID_IPersistFile, persist))) return std::nullopt;
  if (FAILED(persist->Load(file.c_str(), STGM_READ))) return std::nullopt;
  wchar_t buffer[MAX_PATH] = {};
  LinkSettings settings;
  if (FAILED(link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH))) return std::nullopt;
  settings.path = FromWide(buffer);
  buffer[0] = 0;
  if (FAILED(link->GetArguments(buffer, MAX_PATH))) return std::nullopt;
  settings.arguments = FromWide(buffer);
  buffer[0] = 0;
  if (FAILED(link->GetWorkingDirectory(buffer, MAX_PATH))) return std::nullopt;
  settings.workingDirectory = FromWide(buffer);
  return settings;
}

// A shortcut written by the test itself, for the places the code under test only reads.
bool SaveLink(const fs::path& file, const std::u16string& target) {
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid())))
    return false;
  ComPtr<IPersistFile> persist;
  if (FAILED(link.QueryTo(IID_IPersistFile, persist))) return false;
  return SUCCEEDED(link->SetPath(WidePtr(target))) && SUCCEEDED(persist->Save(file.c_str(), TRUE));
}

void WriteFile(const fs::path& file, const char* content) {
  std::ofstream out(file, std::ios::binary);
  out << content;
}

// Without a trailing separator, as the registry holds shell folders.
std::u16string FolderText(const fs::path& folder) { return folder.u16string(); }

// The shell keeps "Shell Folders" as a copy of what "User Shell Folders" names and may write it
// anew whenever it looks up a folder, also from helper processes that run after a save. So the
// places move once, for the whole program and in both records, and every copy the shell makes
// agrees with them; each test starts with the places' folders emptied.
constexpr char16_t kUserShellFoldersKey[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

class ScopedShellFolder {
 public:
  ScopedShellFolder(HKEY root, const std::u16string& name, const std::optional<std::u16string>& folder)
      : root_(root),
        name_(name),
        folder_(folder),
        userShellFolders_(root, kUserShellFoldersKey, name, Value()),
        shellFolders_(root, kShellFoldersKey, name, Value()) {}

  // Puts the values in place again, should anything have changed them since.
  void Apply() const {
    for (const char16_t* key : {kUserShellFoldersKey, kShellFoldersKey}) {
      if (folder_)
        testing_support::WriteRawValue(root_, key, name_, *Value());
      else
        testing_support::DeleteRawValue(root_, key, name_);
    }
  }

 private:
  std::optional<testing_support::RawValue> Value() const {
    if (!folder_) return std::nullopt;
    return TextValue(*folder_);
  }
  HKEY root_;
  std::u16string name_;
  std::optional<std::u16string> folder_;
  ScopedRegistryValue userShellFolders_;
  ScopedRegistryValue shellFolders_;
};

struct ShellPlaces {
  static ShellPlaces& Get() {
    static ShellPlaces places;
    return places;
  }

  void Reset() const {
    for (const TempFolder* folder : {&userDesktop, &allUsersDesktop, &appData})
      for (const auto& entry : fs::directory_iterator(folder->Path())) fs::remove_all(entry.path());
    for (const ScopedShellFolder* place : {&desktopPlace, &commonDesktopPlace, &appDataPlace}) place->Apply();
  }

  // Under Wine, a shortcut saved in a shell folder starts a helper that mirrors it into the host's
  // desktop and menus; switching the helper off for the run keeps the host untouched.
  ScopedRegistryValue menuBuilderOff{HKEY_CURRENT_USER, u"Software\\Wine\\DllOverrides", u"winemenubuilder.exe",
                                     TextValue(u"")};
  TempFolder userDesktop;
  TempFolder allUsersDesktop;
  TempFolder appData;
  ScopedShellFolder desktopPlace{HKEY_CURRENT_USER, u"Desktop", FolderText(userDesktop.Path())};
  ScopedShellFolder commonDesktopPlace{HKEY_LOCAL_MACHINE, u"Common Desktop", FolderText(allUsersDesktop.Path())};
  ScopedShellFolder appDataPlace{HKEY_CURRENT_USER, u"AppData", FolderText(appData.Path())};
};

// Each test finds empty desktop, all-users desktop and application data folders, and a program
// file for its shortcuts to start.
class ShortcutTest : public ::testing::Test {
 protected:
  ShortcutTest() {
    ShellPlaces::Get().Reset();
    fs::create_directories(programFolder());
    WriteFile(programFile(), "MZ");
  }

  fs::path programFolder() const { return programs_.Path() / u"Glyphor"; }
  fs::path programFile() const { return programFolder() / u"Glyphor.exe"; }
  std::u16string target() const { return programFile().u16string(); }
  std::u16string programFolderText() const { return programFolder().u16string() + u"\\"; }
  fs::path quickLaunch() const { return appDataFolder_.Path() / u"Microsoft" / u"Internet Explorer" / u"Quick Launch"; }

  ComApartment apartment_;
  TempFolder programs_;
  const TempFolder& userDesktop_ = ShellPlaces::Get().userDesktop;
  const TempFolder& allUsersDesktop_ = ShellPlaces::Get().allUsersDesktop;
  const TempFolder& appDataFolder_ = ShellPlaces::Get().appData;
};

TEST_F(ShortcutTest, ApartmentIsJoined) { EXPECT_TRUE(apartment_.Joined()); }

TEST_F(ShortcutTest, WritesTargetArgumentsAndWorkingFolder) {
  CreateShortcut(target(), u"--fast \"two words\"", u"Glyphor", spDesktop, u"");
  const fs::path file = userDesktop_.Path() / u"Glyphor.lnk";
  ASSERT_TRUE(fs::is_regular_file(file));
  const auto settings = ReadLink(file);
  ASSERT_TRUE(settings);
  EXPECT_EQ(ToUtf8(settings->path), ToUtf8(target()));
  EXPECT_EQ(ToUtf8(settings->arguments), "--fast \"two words\"");
  EXPECT_EQ(ToUtf8(settings->workingDirectory), ToUtf8(programFolderText()));
  EXPECT_EQ(ToUtf8(ResolveShortcut(file.u16string())), ToUtf8(target()));
}

TEST_F(ShortcutTest, EmptyArguments) {
  CreateShortcut(target(), u"", u"Glyphor", spDesktop, u"");
  const auto settings = ReadLink(userDesktop_.Path() / u"Glyphor.lnk");
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->arguments, u"");
}

TEST_F(ShortcutTest, TargetWithoutFolderHasNoWorkingFolder) {
  CreateShortcut(u"notepad.exe", u"", u"Bare", spDesktop, u"");
  const auto settings = ReadLink(userDesktop_.Path() / u"Bare.lnk");
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->workingDirectory, u"");
}

struct FileNameCase {
  const char* name;
  const char16_t* linkName;
  const char16_t* fileWritten;
};

class ShortcutFileNameTest : public ShortcutTest, public ::testing::WithParamInterface<FileNameCase> {};

TEST_P(ShortcutFileNameTest, LandsInThePlacesFolder) {
  CreateShortcut(target(), u"", GetParam().linkName, spDesktop, u"");
  const fs::path expected = userDesktop_.Path() / GetParam().fileWritten;
  EXPECT_TRUE(fs::is_regular_file(expected));
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(userDesktop_.Path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);
  EXPECT_EQ(ToUtf8(ResolveShortcut(expected.u16string())), ToUtf8(target()));
}

INSTANTIATE_TEST_SUITE_P(
    Names, ShortcutFileNameTest,
    ::testing::Values(FileNameCase{"Plain", u"Tool", u"Tool.lnk"}, FileNameCase{"Extension", u"Tool.exe", u"Tool.lnk"},
                      FileNameCase{"Version", u"Tool 2.5", u"Tool 2.lnk"},
                      FileNameCase{"Folder", u"Sub\\Tool", u"Tool.lnk"},
                      FileNameCase{"Chinese", u"\u6F9C\u5DDD\u7ED8\u5F71", u"\u6F9C\u5DDD\u7ED8\u5F71.lnk"}),
    [](const ::testing::TestParamInfo<FileNameCase>& nameCase) { return nameCase.param.name; });

// Into a folder given as it stands (the all-users places of a machine-wide install): the file is
// named by the same rules, and its full path is the answer only when it was saved.
TEST_F(ShortcutTest, SaveShortcutInNamesTheFileItSaved) {
  const std::u16string saved = SaveShortcutIn(target(), u"", u"Tool 2.5", FolderText(allUsersDesktop_.Path()));
  const fs::path expected = allUsersDesktop_.Path() / u"Tool 2.lnk";
  EXPECT_EQ(ToUtf8(saved), ToUtf8(expected.u16string()));
  const auto settings = ReadLink(expected);
  ASSERT_TRUE(settings);
  EXPECT_EQ(ToUtf8(settings->path), ToUtf8(target()));
  EXPECT_EQ(ToUtf8(settings->workingDirectory), ToUtf8(programFolderText()));
  EXPECT_TRUE(fs::is_empty(userDesktop_.Path()));
}

TEST_F(ShortcutTest, SaveShortcutInNoOrMissingFolderSavesNothing) {
  EXPECT_EQ(SaveShortcutIn(target(), u"", u"Glyphor", u""), u"");
  const fs::path missing = allUsersDesktop_.Path() / u"Missing";
  EXPECT_EQ(SaveShortcutIn(target(), u"", u"Glyphor", FolderText(missing)), u"");
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_TRUE(fs::is_empty(allUsersDesktop_.Path()));
}

// The all-users desktop is the one the system names (here the test's folder).
TEST_F(ShortcutTest, CommonDesktopIsTheSystemsAllUsersDesktop) {
  ShellPlaces::Get().Reset();
  EXPECT_EQ(ToUtf8(GetCommonFolder(CommonPlace::Desktop)), ToUtf8(FolderText(allUsersDesktop_.Path())));
  EXPECT_NE(GetCommonFolder(CommonPlace::Programs), u"");
}

TEST_F(ShortcutTest, FindShortcutFolderInLooksForTheFileTheSetupWrites) {
  const std::u16string folder = FolderText(allUsersDesktop_.Path());
  EXPECT_EQ(FindShortcutFolderIn(folder, u"Tool 2.5"), u"");
  ASSERT_NE(SaveShortcutIn(target(), u"", u"Tool 2.5", folder), u"");
  EXPECT_EQ(ToUtf8(FindShortcutFolderIn(folder, u"Tool 2.5")), ToUtf8(programFolderText()));
  EXPECT_EQ(FindShortcutFolderIn(u"", u"Tool 2.5"), u"");
  WriteFile(allUsersDesktop_.Path() / u"Broken.lnk", "no shortcut");
  EXPECT_EQ(FindShortcutFolderIn(folder, u"Broken"), u"");
}

TEST_F(ShortcutTest, ExistingSubFolder) {
  fs::create_directory(userDesktop_.Path() / u"Glyphor Tools");
  CreateShortcut(target(), u"", u"Glyphor", spDesktop, u"Glyphor Tools");
  const fs::path file = userDesktop_.Path() / u"Glyphor Tools" / u"Glyphor.lnk";
  EXPECT_TRUE(fs::is_regular_file(file));
  EXPECT_EQ(ToUtf8(ResolveShortcut(file.u16string())), ToUtf8(target()));
}

TEST_F(ShortcutTest, MissingSubFolderWritesNothing) {
  EXPECT_NO_THROW(CreateShortcut(target(), u"", u"Glyphor", spDesktop, u"Missing"));
  EXPECT_FALSE(fs::exists(userDesktop_.Path() / u"Missing"));
  EXPECT_TRUE(fs::is_empty(userDesktop_.Path()));
}

TEST_F(ShortcutTest, SecondShortcutReplacesTheFirst) {
  CreateShortcut(target(), u"first", u"Glyphor", spDesktop, u"");
  CreateShortcut(target(), u"second", u"Glyphor", spDesktop, u"");
  const auto settings = ReadLink(userDesktop_.Path() / u"Glyphor.lnk");
  ASSERT_TRUE(settings);
  EXPECT_EQ(ToUtf8(settings->arguments), "second");
}

TEST_F(ShortcutTest, UnknownPlaceWritesNothing) {
  EXPECT_NO_THROW(CreateShortcut(target(), u"", u"Glyphor", static_cast<ShortcutPlace>(200), u""));
  EXPECT_TRUE(fs::is_empty(userDesktop_.Path()));
  EXPECT_TRUE(fs::is_empty(appDataFolder_.Path()));
}

TEST_F(ShortcutTest, QuickLaunchLiesBelowAppData) {
  fs::create_directories(quickLaunch());
  CreateShortcut(target(), u"", u"Glyphor", spQuickLaunch, u"");
  EXPECT_TRUE(fs::is_regular_file(quickLaunch() / u"Glyphor.lnk"));
}

TEST_F(ShortcutTest, MissingQuickLaunchFolderWritesNothing) {
  EXPECT_NO_THROW(CreateShortcut(target(), u"", u"Glyphor", spQuickLaunch, u""));
  EXPECT_TRUE(fs::is_empty(appDataFolder_.Path()));
}

TEST_F(ShortcutTest, PlaceValueOfAnotherTypeRaises) {
  const ScopedRegistryValue dword(HKEY_CURRENT_USER, kShellFoldersKey, u"Desktop",
                                  testing_support::RawValue{REG_DWORD, {1, 0, 0, 0}});
  // No folder to copy from, so the shell leaves the value as it is.
  const ScopedRegistryValue noSource(HKEY_CURRENT_USER, kUserShellFoldersKey, u"Desktop", std::nullopt);
  try {
    CreateShortcut(target(), u"", u"Glyphor", spDesktop, u"");
    FAIL() << "no error raised";
  } catch (const ERegistryException& error) {
    EXPECT_EQ(ToUtf8(error.Message()), "Invalid data type for 'Desktop'");
  }
}

TEST_F(ShortcutTest, UnresolvableFiles) {
  EXPECT_EQ(ToUtf8(ResolveShortcut((userDesktop_.Path() / u"Nothing.lnk").u16string())), "unable to resolve link");
  const fs::path garbage = userDesktop_.Path() / u"Garbage.lnk";
  WriteFile(garbage, "this is no shortcut");
  EXPECT_EQ(ToUtf8(ResolveShortcut(garbage.u16string())), "unable to resolve link");
}

TEST_F(ShortcutTest, FindsTheUsersShortcutFirst) {
  CreateShortcut(target(), u"", u"Glyphor", spDesktop, u"");
  // An all-users shortcut of the same name to another program is not looked at.
  const fs::path other = programs_.Path() / u"Other";
  fs::create_directories(other);
  WriteFile(other / u"Glyphor.exe", "MZ");
  ASSERT_TRUE(SaveLink(allUsersDesktop_.Path() / u"Glyphor.lnk", (other / u"Glyphor.exe").u16string()));
  EXPECT_EQ(ToUtf8(FindShortcutFolder(u"Glyphor", u"Desktop")), ToUtf8(programFolderText()));
}

TEST_F(ShortcutTest, FallsBackToAllUsers) {
  ASSERT_TRUE(SaveLink(allUsersDesktop_.Path() / u"Glyphor.lnk", target()));
  EXPECT_EQ(ToUtf8(FindShortcutFolder(u"Glyphor", u"Desktop")), ToUtf8(programFolderText()));

  // A user's shortcut that does not resolve does not hide the all-users one.
  WriteFile(userDesktop_.Path() / u"Glyphor.lnk", "broken");
  EXPECT_EQ(ToUtf8(FindShortcutFolder(u"Glyphor", u"Desktop")), ToUtf8(programFolderText()));

  // Neither resolves: nothing is found.
  WriteFile(allUsersDesktop_.Path() / u"Glyphor.lnk", "broken too");
  EXPECT_EQ(FindShortcutFolder(u"Glyphor", u"Desktop"), u"");
}

TEST_F(ShortcutTest, FolderInsteadOfAFileIsNotAShortcut) {
  fs::create_directory(userDesktop_.Path() / u"Glyphor.lnk");
  EXPECT_EQ(FindShortcutFolder(u"Glyphor", u"Desktop"), u"");
}

TEST_F(ShortcutTest, NothingFoundInEmptyFolders) { EXPECT_EQ(FindShortcutFolder(u"Glyphor", u"Desktop"), u""); }

TEST_F(ShortcutTest, QuickLaunchIsMatchedInExactCase) {
  fs::create_directories(quickLaunch());
  CreateShortcut(target(), u"", u"Glyphor", spQuickLaunch, u"");
  ASSERT_TRUE(fs::is_regular_file(quickLaunch() / u"Glyphor.lnk"));
  EXPECT_EQ(ToUtf8(FindShortcutFolder(u"Glyphor", u"QuickLaunch")), ToUtf8(programFolderText()));
  // Another spelling reads the values "quicklaunch" and "Common quicklaunch", which do not exist.
  EXPECT_EQ(FindShortcutFolder(u"Glyphor", u"quicklaunch"), u"");
  EXPECT_EQ(FindShortcutFolder(u"Glyphor", u"QUICKLAUNCH"), u"");
}

TEST_F(ShortcutTest, NameWithADotIsLookedUpUnchanged) {
  CreateShortcut(target(), u"", u"Tool 2.5", spDesktop, u"");
  ASSERT_TRUE(fs::is_regular_file(userDesktop_.Path() / u"Tool 2.lnk"));
  EXPECT_EQ(FindShortcutFolder(u"Tool 2.5", u"Desktop"), u"");
  EXPECT_EQ(ToUtf8(FindShortcutFolder(u"Tool 2", u"Desktop")), ToUtf8(programFolderText()));
}

TEST_F(ShortcutTest, MissingPlaceValuesFindNothing) {
  CreateShortcut(target(), u"", u"Glyphor", spDesktop, u"");
  const ScopedRegistryValue noUser(HKEY_CURRENT_USER, kShellFoldersKey, u"Desktop", std::nullopt);
  const ScopedRegistryValue noCommon(HKEY_LOCAL_MACHINE, kShellFoldersKey, u"Common Desktop", std::nullopt);
  EXPECT_EQ(FindShortcutFolder(u"Glyphor", u"Desktop"), u"");
}

// A place without a folder is not probed: the bare name would be a file at the root of the
// current drive, which is no shell place.
TEST_F(ShortcutTest, MissingPlaceValueDoesNotLookAtTheDriveRoot) {
  struct CurrentFolder {
    explicit CurrentFolder(const fs::path& folder) : saved(fs::current_path()) { fs::current_path(folder); }
    ~CurrentFolder() { fs::current_path(saved); }
    fs::path saved;
  } current(programFolder());
  const fs::path rootLink = fs::path(programFolder().root_path()) / u"GlyphorRootProbe.lnk";
  ASSERT_TRUE(SaveLink(rootLink, target()));
  struct RemoveAtEnd {
    ~RemoveAtEnd() { fs::remove(path); }
    fs::path path;
  } removeRootLink{rootLink};
  ASSERT_EQ(ToUtf8(ResolveShortcut(u"\\GlyphorRootProbe.lnk")), ToUtf8(target()));

  const ScopedRegistryValue noUser(HKEY_CURRENT_USER, kShellFoldersKey, u"Desktop", std::nullopt);
  const ScopedRegistryValue noCommon(HKEY_LOCAL_MACHINE, kShellFoldersKey, u"Common Desktop", std::nullopt);
  EXPECT_EQ(FindShortcutFolder(u"GlyphorRootProbe", u"Desktop"), u"");
  const ScopedRegistryValue noAppData(HKEY_CURRENT_USER, kShellFoldersKey, u"AppData", std::nullopt);
  EXPECT_EQ(FindShortcutFolder(u"GlyphorRootProbe", u"QuickLaunch"), u"");
}

// Without a COM apartment the link object cannot be made, and the failure carries its HRESULT.
TEST(ShortcutWithoutApartmentTest, CreationFailuresRaiseComErrors) {
  std::optional<EOleSysError> createError;
  std::optional<EOleSysError> resolveError;
  Thread([&] {
    try {
      CreateShortcut(u"C:\\Glyphor.exe", u"", u"Glyphor", spDesktop, u"");
    } catch (const EOleSysError& error) {
      createError = error;
    }
    try {
      ResolveShortcut(u"C:\\Glyphor.lnk");
    } catch (const EOleSysError& error) {
      resolveError = error;
    }
  }).Join();
  ASSERT_TRUE(createError);
  ASSERT_TRUE(resolveError);
  EXPECT_EQ(createError->ErrorCode(), CO_E_NOTINITIALIZED);
  EXPECT_EQ(resolveError->ErrorCode(), CO_E_NOTINITIALIZED);
  const std::u16string classSuffix = u", ClassID: {00021401-0000-0000-C000-000000000046}";
  const std::u16string& createMessage = createError->Message();
  ASSERT_GT(createMessage.size(), classSuffix.size());
  EXPECT_EQ(createMessage.substr(createMessage.size() - classSuffix.size()), classSuffix);
  EXPECT_EQ(createMessage.substr(0, createMessage.size() - classSuffix.size()), resolveError->Message());
}

}  // namespace
}  // namespace setup
