#include "product/ProductResources.h"

#include "pe/IconGroup.h"
#include "pe/StringTable.h"
#include "pe/VersionInfo.h"
#include "product/ProductIds.h"

namespace setup::product {

namespace {
pe::Bytes BytesOf(std::string_view text) { return pe::Bytes(text.begin(), text.end()); }
}  // namespace

void AddCommonResources(pe::ResourceTree& tree, const Product& product, std::u16string_view description,
                        std::u16string_view fileName) {
  pe::SetStrings(tree, product.strings, pe::kLangNeutral);
  if (product.icon) pe::SetIconGroup(tree, kAppIcon, pe::kLangNeutral, *product.icon);
  const std::u16string name = product.String(kDisplayNameEnId);
  tree.RemoveType(pe::rt::kVersion);
  tree.Set(pe::rt::kVersion, 1, pe::kLangEnglishUs,
           pe::BuildVersionInfo({name, product.String(kVersionId), product.String(kPublisherEnId),
                                 name + u" " + std::u16string(description), std::u16string(fileName), u""}));
}

void AddSetupResources(pe::ResourceTree& tree, const Product& product, std::span<const std::uint8_t> package) {
  AddCommonResources(tree, product, u"Setup", u"Setup.exe");
  tree.Set(pe::rt::kRcData, kImageLeftChinese, pe::kLangNeutral, product.imageLeftChinese);
  tree.Set(pe::rt::kRcData, kImageLeftEnglish, pe::kLangNeutral, product.imageLeftEnglish);
  tree.Set(pe::rt::kBitmap, kImageIcon, pe::kLangNeutral, product.imageIconBitmap);
  if (product.licenseChinese)
    tree.Set(pe::rt::kRcData, kLicenseChinese, pe::kLangNeutral, BytesOf(*product.licenseChinese));
  if (product.licenseEnglish)
    tree.Set(pe::rt::kRcData, kLicenseEnglish, pe::kLangNeutral, BytesOf(*product.licenseEnglish));
  // The package carries the language of the product's home market.
  tree.Set(kPackageType, kPackageName, pe::kLangChineseSimplified, pe::Bytes(package.begin(), package.end()));
}

void AddUninstallerResources(pe::ResourceTree& tree, const Product& product, std::string_view fileList) {
  AddCommonResources(tree, product, u"Uninstaller", u"Uninst.exe");
  tree.Set(pe::rt::kRcData, kUninstallFiles, pe::kLangNeutral, BytesOf(fileList));
}

}  // namespace setup::product
