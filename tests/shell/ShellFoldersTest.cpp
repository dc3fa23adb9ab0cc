#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

#include "RegistryTestSupport.h"
#include "base/Text.h"
#include "shell/ShellErrors.h"
#include "shell/ShellFolders.h"

namespace setup {
namespace {

using testing_support::RawValue;
using testing_support::ScopedRegistryValue;
using testing_support::TextValue;

struct PlaceCase {
  const char* name;
  ShortcutPlace place;
  const char16_t* valueName;  // the "Shell Folders" value the place reads
  const char16_t* suffix;     // what follows the value's text in the folder
};

class GetSpecialFolderTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(GetSpecialFolderTest, ReadsThePlacesValue) {
  const PlaceCase& placeCase = GetParam();
  const std::u16string folder = u"C:\\Shell Test\\" + FromUtf8(placeCase.name);
  const ScopedRegistryValue value(HKEY_CURRENT_USER, kShellFoldersKey, placeCase.valueName, TextValue(folder));
  EXPECT_EQ(ToUtf8(GetSpecialFolder(placeCase.place)), ToUtf8(folder + placeCase.suffix));
}

TEST_P(GetSpecialFolderTest, ExpandableValueIsTakenUnexpanded) {
  const PlaceCase& placeCase = GetParam();
  const ScopedRegistryValue value(HKEY_CURRENT_USER, kShellFoldersKey, placeCase.valueName,
                                  TextValue(u"%USERPROFILE%\\Place", REG_EXPAND_SZ));
  EXPECT_EQ(ToUtf8(GetSpecialFolder(placeCase.place)),
            ToUtf8(std::u16string(u"%USERPROFILE%\\Place") + placeCase.suffix));
}

TEST_P(GetSpecialFolderTest, ValueOfAnotherTypeRaises) {
  const PlaceCase& placeCase = GetParam();
  const ScopedRegistryValue value(HKEY_CURRENT_USER, kShellFoldersKey, placeCase.valueName,
                                  RawValue{REG_DWORD, {7, 0, 0, 0}});
  try {
    GetSpecialFolder(placeCase.place);
    FAIL() << "no error raised";
  } catch (const ERegistryException& error) {
    EXPECT_EQ(error.Message(), u"Invalid data type for '" + std::u16string(placeCase.valueName) + u"'");
  }
}

TEST_P(GetSpecialFolderTest, MissingValueGivesNoFolder) {
  const ScopedRegistryValue value(HKEY_CURRENT_USER, kShellFoldersKey, GetParam().valueName, std::nullopt);
  EXPECT_EQ(GetSpecialFolder(GetParam().place), u"");
}

INSTANTIATE_TEST_SUITE_P(Places, GetSpecialFolderTest,
                         ::testing::Values(PlaceCase{"Desktop", spDesktop, u"Desktop", u""},
                                           PlaceCase{"QuickLaunch", spQuickLaunch, u"AppData",
                                                     u"\\Microsoft\\Internet Explorer\\Quick Launch"},
                                           PlaceCase{"SendTo", spSendTo, u"SendTo", u""},
                                           PlaceCase{"StartMenu", spStartMenu, u"Start Menu", u""},
                                           PlaceCase{"Startup", spStartup, u"Startup", u""}),
                         [](const ::testing::TestParamInfo<PlaceCase>& placeCase) { return placeCase.param.name; });

class UnknownPlaceTest : public ::testing::TestWithParam<int> {};

TEST_P(UnknownPlaceTest, HasNoFolder) { EXPECT_EQ(GetSpecialFolder(static_cast<ShortcutPlace>(GetParam())), u""); }

INSTANTIATE_TEST_SUITE_P(Numbers, UnknownPlaceTest, ::testing::Values(5, 6, 100, 255));

TEST(GetSystemFolderTest, IsTheSystemDirectoryWithABackslash) {
  const std::u16string folder = GetSystemFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), u'\\');
  wchar_t expected[MAX_PATH] = {};
  ASSERT_NE(GetSystemDirectoryW(expected, MAX_PATH), 0u);
  EXPECT_EQ(ToUtf8(folder), ToUtf8(FromWide(expected) + u"\\"));
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(folder)));
  // The prefix's system folder holds the system's own libraries.
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder + u"kernel32.dll")));
}

}  // namespace
}  // namespace setup
