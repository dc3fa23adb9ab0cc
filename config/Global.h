// The program-wide configuration: the interface language and the product's configuration strings.
#pragma once

#include <cstdint>
#include <string>

namespace setup::Global {

// 0 means Chinese, 2 means English. Every language decision tests it against 0.
inline constexpr std::int32_t kChinese = 0;
inline constexpr std::int32_t kEnglish = 2;
extern std::int32_t LanguageIndex;

// String-table ids of the product configuration.
enum ConfigId : unsigned {
  idMainWindowClass = 1001,
  idMainWindowTitleEn = 1002,
  idMainWindowTitleCn = 1003,
  idProductDisplayNameEn = 1004,
  idProductDisplayNameCn = 1005,
  idIsFreeware = 1009,
  idProductShortName = 1010,
  idProductVersion = 1011,
  idRequiredSpaceText = 1012,
};

// Text of a string-table id of this executable: at most 1023 characters, empty when absent.
std::u16string LoadConfigString(unsigned id);

// 0 for code page 936, else 2.
std::int32_t LanguageIndexForCodePage(unsigned codePage);

}  // namespace setup::Global
