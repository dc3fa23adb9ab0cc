#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "base/Text.h"
#include "pe/StringTable.h"
#include "product/ProductFile.h"
#include "product/ProductIds.h"
#include "product/ProductResources.h"
#include "tests/support/TempFolder.h"

namespace setup::product {
namespace {

using testing_support::TempFolder;

const std::string kJpeg = "\xFF\xD8\xFF\xE0 a banner";
const std::string kPng = "\x89PNG\r\n\x1A\n a banner";
// A 1x1 bitmap: file header, 40-byte info header, one 4-byte row.
const std::string kBmp = std::string("BM\x3A\0\0\0\0\0\0\0\x36\0\0\0", 14) +
                         std::string("\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0", 24) +
                         std::string(16, '\0') + std::string("\x10\x20\x30\0", 4);
const std::string kIco = std::string("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0\3\0\0\0\x16\0\0\0abc", 25);

const std::string kGoodHead =
    "# a product\n"
    "MainWindowClass = VelmoraGlyphorMainWindow\n"
    "MainWindowTitle = Glyphor\n"
    "MainWindowTitleChinese = 澜川绘影\n"
    "DisplayName = Velmora Glyphor\n"
    "DisplayNameChinese = 澜川绘影\n"
    "Freeware = -1\n"
    "ShortName = Glyphor\n"
    "Version = 2.30\n"
    "SpaceText = 6 MB\n"
    "Files = files\n"
    "ImageLeft0 = left0.jpg\n"
    "ImageLeft2 = left2.png\n"
    "ImageIcon = icon.bmp\n";  // 14 lines

class ProductFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder_.Path() / "files");
    Write("left0.jpg", kJpeg);
    Write("left2.png", kPng);
    Write("icon.bmp", kBmp);
    Write("app.ico", kIco);
    Write("licence.txt", "Terms\n条款\n");
    Write("latin1.txt", "caf\xE9\n");
    Write("key.pem", "key");
    Write("cert.pem", "cert");
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_.Path() / name, std::ios::binary) << bytes;
  }
  Product Parse(const std::string& text) { return ParseProductText(text, folder_.Path(), u"product.ini"); }

  TempFolder folder_;
};

TEST_F(ProductFileTest, NamedKeysFillTheConfigurationIds) {
  const Product product = Parse(kGoodHead + "Publisher = Velmora Software\nWebPageChinese = https://example.com/cn/\n");
  const std::map<std::uint16_t, std::u16string> expected{{1001, u"VelmoraGlyphorMainWindow"},
                                                         {1002, u"Glyphor"},
                                                         {1003, u"澜川绘影"},
                                                         {1004, u"Velmora Glyphor"},
                                                         {1005, u"澜川绘影"},
                                                         {1009, u"-1"},
                                                         {1010, u"Glyphor"},
                                                         {1011, u"2.30"},
                                                         {1012, u"6 MB"},
                                                         {1013, u"Velmora Software"},
                                                         {1016, u"https://example.com/cn/"}};
  EXPECT_EQ(product.strings, expected);
  EXPECT_EQ(product.filesFolder, folder_.Path() / "files");
  EXPECT_EQ(product.imageLeftChinese, std::vector<std::uint8_t>(kJpeg.begin(), kJpeg.end()));
  EXPECT_EQ(product.imageIconBitmap.size(), kBmp.size() - 14);
  EXPECT_EQ(product.imageIconBitmap[0], 0x28);
  EXPECT_EQ(product.architecture, Architecture::X64);
  EXPECT_FALSE(product.icon);
  EXPECT_FALSE(product.signing);
}

TEST_F(ProductFileTest, TheNumericFormIsTheSameKeyAndKeysIgnoreCase) {
  std::string text = kGoodHead;
  text.replace(text.find("ShortName = Glyphor"), 19, "1010 = Glyphor");
  text.replace(text.find("Freeware = -1"), 13, "1009 = maybe");  // passed through as it stands
  text.replace(text.find("Version"), 7, "VERSION");
  const Product product = Parse("\xEF\xBB\xBF" + text + "; a comment\r\nlicensechinese = licence.txt\r\n");
  EXPECT_EQ(product.String(1010), u"Glyphor");
  EXPECT_EQ(product.String(1009), u"maybe");
  EXPECT_EQ(product.String(1011), u"2.30");
  EXPECT_EQ(product.licenseChinese, std::string("Terms\n条款\n"));
}

TEST_F(ProductFileTest, OptionalKeys) {
  const Product product = Parse(
      kGoodHead +
      "Icon = app.ico\nLicense = licence.txt\nArchitecture = X86\nSignKey = key.pem\nSignCertificate = cert.pem\n");
  ASSERT_TRUE(product.icon);
  EXPECT_EQ(product.icon->size(), kIco.size());
  EXPECT_EQ(product.licenseEnglish, std::string("Terms\n条款\n"));
  EXPECT_EQ(product.architecture, Architecture::X86);
  ASSERT_TRUE(product.signing);
  EXPECT_EQ(product.signing->key, folder_.Path() / "key.pem");
  EXPECT_EQ(product.signing->certificate, folder_.Path() / "cert.pem");
}

struct BadCase {
  const char* label;
  std::string text;
  std::u16string message;
};

class BadProductFile : public ProductFileTest, public testing::WithParamInterface<BadCase> {};

TEST_P(BadProductFile, FailsWithFileLineAndReason) {
  try {
    (void)Parse(GetParam().text);
    FAIL() << "accepted";
  } catch (const EProductError& e) {
    EXPECT_EQ(e.Message(), GetParam().message);
  }
}

std::string Without(const std::string& key) {
  std::string text = kGoodHead;
  const std::size_t at = text.find(key + " =");
  text.erase(at, text.find('\n', at) - at + 1);
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadProductFile,
    testing::Values(
        BadCase{"unknown_key", kGoodHead + "Colour = blue\n", u"product.ini:15: unknown key \"Colour\""},
        BadCase{"unknown_id", kGoodHead + "1006 = x\n",
                u"product.ini:15: unknown string id 1006 (configuration ids are 1001-1005 and 1009-1016)"},
        BadCase{"no_equals", kGoodHead + "Publisher\n", u"product.ini:15: expected KEY = VALUE"},
        BadCase{"twice", kGoodHead + "1004 = Again\n", u"product.ini:15: DisplayName is given twice (first on line 5)"},
        BadCase{"empty_value", kGoodHead + "Publisher =\n", u"product.ini:15: Publisher has no value"},
        BadCase{"missing_version", Without("Version"), u"product.ini:13: the required key Version is missing"},
        BadCase{"missing_image", Without("ImageIcon"), u"product.ini:13: the required key ImageIcon is missing"},
        BadCase{"missing_files", Without("Files"), u"product.ini:13: the required key Files is missing"},
        BadCase{"bad_freeware", "Freeware = maybe\n" + Without("Freeware"),
                u"product.ini:1: Freeware must be true or false, not \"maybe\""},
        BadCase{"no_folder", "Files = nowhere\n" + Without("Files"),
                u"product.ini:1: the folder nowhere does not exist"},
        BadCase{"banner_not_picture", "ImageLeft2 = licence.txt\n" + Without("ImageLeft2"),
                u"product.ini:1: ImageLeft2: licence.txt is not a JPEG, PNG, GIF or BMP picture"},
        BadCase{"header_not_bmp", "ImageIcon = left2.png\n" + Without("ImageIcon"),
                u"product.ini:1: ImageIcon: left2.png is not a BMP picture (found PNG)"},
        BadCase{"icon_not_ico", kGoodHead + "Icon = icon.bmp\n", u"product.ini:15: Icon: icon.bmp is not an .ico file"},
        BadCase{"licence_not_utf8", kGoodHead + "License = latin1.txt\n",
                u"product.ini:15: License: latin1.txt is not UTF-8 text"},
        BadCase{"architecture", kGoodHead + "Architecture = arm64\n",
                u"product.ini:15: Architecture must be x64 or x86, not \"arm64\""},
        BadCase{"half_signing", kGoodHead + "SignKey = key.pem\n",
                u"product.ini:15: signing needs both SignKey and SignCertificate"},
        BadCase{"not_utf8", "Version = 2\xE9\n", u"product.ini:1: the file is not UTF-8 text"}),
    [](const auto& item) { return std::string(item.param.label); });

TEST_F(ProductFileTest, AnUnreadableFileNamesTheSystemReason) {
  try {
    (void)Parse("ImageLeft0 = absent.jpg\n");
    FAIL() << "accepted";
  } catch (const EProductError& e) {
    EXPECT_TRUE(e.Message().starts_with(u"product.ini:1: cannot read absent.jpg: Cannot open file"));
  }
}

TEST_F(ProductFileTest, SetupResourcesHoldTheStringsImagesAndPackage) {
  const Product product = Parse(kGoodHead + "License = licence.txt\nIcon = app.ico\n");
  pe::ResourceTree tree;
  tree.Set(pe::rt::kManifest, 1, pe::kLangEnglishUs, {'m'});
  const pe::Bytes package{1, 2, 3};
  AddSetupResources(tree, product, package);
  EXPECT_EQ(pe::ReadStrings(tree, pe::kLangNeutral).at(1010), u"Glyphor");
  EXPECT_NE(tree.Find(pe::rt::kManifest, 1, pe::kLangEnglishUs), nullptr);
  EXPECT_EQ(*tree.Find(u"STPFILE", u"SETUPPACKAGE", pe::kLangChineseSimplified), package);
  EXPECT_EQ(tree.Find(pe::rt::kRcData, u"IMAGELEFT0", pe::kLangNeutral)->size(), kJpeg.size());
  EXPECT_EQ(tree.Find(pe::rt::kRcData, u"IMAGELEFT2", pe::kLangNeutral)->size(), kPng.size());
  EXPECT_EQ(tree.Find(pe::rt::kBitmap, u"IMAGEICON", pe::kLangNeutral)->size(), kBmp.size() - 14);
  EXPECT_NE(tree.Find(pe::rt::kRcData, u"LICENSE2", pe::kLangNeutral), nullptr);
  EXPECT_EQ(tree.Find(pe::rt::kRcData, u"LICENSE0", pe::kLangNeutral), nullptr);
  EXPECT_NE(tree.Find(pe::rt::kGroupIcon, u"APPICON", pe::kLangNeutral), nullptr);
  EXPECT_NE(tree.Find(pe::rt::kVersion, 1, pe::kLangEnglishUs), nullptr);
  EXPECT_EQ(tree.FindType(pe::rt::kRcData)->count(u"UNINSTALLFILES"), 0u);
}

TEST_F(ProductFileTest, UninstallerResourcesHoldTheFileList) {
  pe::ResourceTree tree;
  AddUninstallerResources(tree, Parse(kGoodHead), "Glyphor.exe\r\nUninst.exe\r\n");
  EXPECT_EQ(*tree.Find(pe::rt::kRcData, u"UNINSTALLFILES", pe::kLangNeutral),
            (pe::Bytes{'G', 'l', 'y', 'p', 'h', 'o', 'r', '.', 'e', 'x', 'e',  '\r', '\n',
                       'U', 'n', 'i', 'n', 's', 't', '.', 'e', 'x', 'e', '\r', '\n'}));
  EXPECT_EQ(tree.FindType(u"STPFILE"), nullptr);
  EXPECT_EQ(tree.Find(pe::rt::kBitmap, u"IMAGEICON", pe::kLangNeutral), nullptr);
}

}  // namespace
}  // namespace setup::product
