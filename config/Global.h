// The program-wide configuration: the interface language and the product's configuration strings.
#pragma once

#include <cstdint>
#include <string>

#include "product/ProductIds.h"

namespace setup::Global {

// 0 means Chinese, 2 means English. Every language decision tests it against 0.
inline constexpr std::int32_t kChinese = 0;
inline constexpr std::int32_t kEnglish = 2;
extern std::int32_t LanguageIndex;

// String-table ids of the product configuration.
enum ConfigId : unsigned {
  idMainWindowClass = product::kMainWindowClassId,
  idMainWindowTitleEn = product::kMainWindowTitleEnId,
  idMainWindowTitleCn = product::kMainWindowTitleCnId,
  idProductDisplayNameEn = product::kDisplayNameEnId,
  idProductDisplayNameCn = product::kDisplayNameCnId,
  idIsFreeware = product::kFreewareId,
  idProductShortName = product::kShortNameId,
  idProductVersion = product::kVersionId,
  idRequiredSpaceText = product::kSpaceTextId,
  // Optional: empty when the product gives none, and the wizard's defaults apply.
  idPublisherEn = product::kPublisherEnId,
  idPublisherCn = product::kPublisherCnId,
  idWebPageEn = product::kWebPageEnId,
  idWebPageCn = product::kWebPageCnId,
  idProductId = product::kProductIdId,
  // "user" for a per-user product; "machine" or empty for a machine-wide one.
  idScope = product::kScopeId,
};

// Text of a string-table id of this executable: at most 1023 characters, empty when absent.
std::u16string LoadConfigString(unsigned id);

// 0 for code page 936, else 2.
std::int32_t LanguageIndexForCodePage(unsigned codePage);

}  // namespace setup::Global
