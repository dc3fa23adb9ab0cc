#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "base/Text.h"
#include "pe/PeErrors.h"
#include "pe/StringTable.h"
#include "pe/VersionInfo.h"
#include "product/ProductFile.h"
#include "product/ProductIds.h"
#include "product/ProductResources.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPictures.h"

namespace setup::product {
namespace {

using testing_support::TempFolder;

const std::string& kJpeg = testing_support::kTinyJpeg;
const std::string& kPng = testing_support::kTinyPng;
const std::string& kBmp = testing_support::kTinyBmp;
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
    Write("garbage.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20) +
                             "garbage, not segments");
    // Headers of a 60000 x 60000 bitmap over four bytes of pixels, its file size field matching.
    Write("huge.bmp", std::string("BM\x3A\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x60\xEA\0\0\x60\xEA\0\0\x01\0\x18\0", 30) +
                          std::string(28, '\0'));
    Write("cut.png", kPng.substr(0, 50));
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_.Path() / name, std::ios::binary) << bytes;
  }
  Product Parse(const std::string& text) { return ParseProductText(text, folder_.Path(), u"product.ini"); }

  TempFolder folder_;
};

TEST_F(ProductFileTest, NamedKeysFillTheConfigurationIds) {
  const Product product = Parse(kGoodHead +
                                "Publisher = Velmora Software\nWebPageChinese = https://example.com/cn/\n"
                                "ProductId = Velmora.Glyphor-2_x\n");
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
                                                         {1016, u"https://example.com/cn/"},
                                                         {1017, u"Velmora.Glyphor-2_x"}};
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

struct ScopeCase {
  const char* label;
  std::string lines;  // added after kGoodHead's 14 lines
  Scope scope;
  std::size_t scopeLine;
  std::u16string string;  // configuration string 1018; empty for none
};

class ScopeKey : public ProductFileTest, public testing::WithParamInterface<ScopeCase> {};

TEST_P(ScopeKey, GivesTheScopeItsLineAndItsString) {
  const Product product = Parse(kGoodHead + GetParam().lines);
  EXPECT_EQ(product.scope, GetParam().scope);
  EXPECT_EQ(product.scopeLine, GetParam().scopeLine);
  EXPECT_EQ(product.strings.contains(1018), !GetParam().string.empty());
  EXPECT_EQ(product.String(1018), GetParam().string);
}

INSTANTIATE_TEST_SUITE_P(Values, ScopeKey,
                         testing::Values(ScopeCase{"absent", "", Scope::Machine, 0, u""},
                                         ScopeCase{"user", "Scope = user\n", Scope::User, 15, u"user"},
                                         ScopeCase{"machine_in_capitals", "Publisher = P\nSCOPE = MACHINE\n",
                                                   Scope::Machine, 16, u"machine"},
                                         ScopeCase{"numeric_form", "1018 = User\n", Scope::User, 15, u"user"}),
                         [](const auto& item) { return std::string(item.param.label); });

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
                u"product.ini:15: unknown string id 1006 (configuration ids are 1001-1005 and 1009-1018)"},
        BadCase{"unknown_id_after_scope", kGoodHead + "1019 = user\n",
                u"product.ini:15: unknown string id 1019 (configuration ids are 1001-1005 and 1009-1018)"},
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
        BadCase{"scope", kGoodHead + "Scope = everyone\n",
                u"product.ini:15: Scope must be machine or user, not \"everyone\""},
        BadCase{"scope_numeric", kGoodHead + "1018 = users\n",
                u"product.ini:15: Scope must be machine or user, not \"users\""},
        BadCase{"scope_twice", kGoodHead + "Scope = user\n1018 = machine\n",
                u"product.ini:16: Scope is given twice (first on line 15)"},
        BadCase{"half_signing", kGoodHead + "SignKey = key.pem\n",
                u"product.ini:15: signing needs both SignKey and SignCertificate"},
        BadCase{"not_utf8", "Version = 2\xE9\n", u"product.ini:1: the file is not UTF-8 text"}),
    [](const auto& item) { return std::string(item.param.label); });

// kGoodHead with the line of `key` replaced by `line`, on the same line number; a key that
// kGoodHead does not hold is added as line 15.
std::string With(const std::string& key, const std::string& line) {
  std::string text = kGoodHead;
  const std::size_t at = text.find("\n" + key + " =");
  if (at == std::string::npos) return text + line + "\n";
  const std::size_t end = text.find('\n', at + 1);
  return text.replace(at + 1, end - at - 1, line);
}

class RefusedValue : public ProductFileTest, public testing::WithParamInterface<BadCase> {};

std::set<std::filesystem::path> FolderContents(const std::filesystem::path& folder) {
  std::set<std::filesystem::path> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) names.insert(entry.path());
  return names;
}

TEST_P(RefusedValue, NamesTheLineAndWritesNothing) {
  const auto before = FolderContents(folder_.Path());
  try {
    (void)Parse(GetParam().text);
    ADD_FAILURE() << "accepted";
  } catch (const EProductError& e) {
    EXPECT_EQ(e.Message(), GetParam().message);
  }
  EXPECT_EQ(FolderContents(folder_.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RefusedValue,
    testing::Values(
        BadCase{"nul_in_display_name", With("DisplayName", std::string("DisplayName = Velmora\0Other", 27)),
                u"product.ini:5: DisplayName holds the control character U+0000"},
        BadCase{"tab_in_publisher", With("Publisher", "Publisher = Velmora\tSoftware"),
                u"product.ini:15: Publisher holds the control character U+0009"},
        BadCase{"c1_in_title", With("MainWindowTitle", "MainWindowTitle = Gly\xC2\x85phor"),
                u"product.ini:3: MainWindowTitle holds the control character U+0085"},
        BadCase{"delete_in_numeric_form", With("Version", "1011 = 2.30\x7F"),
                u"product.ini:9: Version holds the control character U+007F"},
        BadCase{"control_in_file_name", With("ImageLeft0", "ImageLeft0 = left0\x01.jpg"),
                u"product.ini:12: ImageLeft0 holds the control character U+0001"},
        BadCase{"short_name_traversal", With("ShortName", "ShortName = ..\\..\\..\\Windows\\System32\\cmd"),
                u"product.ini:8: ShortName holds \"\\\""},
        BadCase{"short_name_slash", With("ShortName", "ShortName = sub/Glyphor"),
                u"product.ini:8: ShortName holds \"/\""},
        BadCase{"short_name_colon", With("ShortName", "ShortName = C:Glyphor"),
                u"product.ini:8: ShortName holds \":\""},
        BadCase{"short_name_star", With("ShortName", "ShortName = Gly*"), u"product.ini:8: ShortName holds \"*\""},
        BadCase{"short_name_con", With("ShortName", "1010 = CON"), u"product.ini:8: ShortName is a device name"},
        BadCase{"short_name_com1_ext", With("ShortName", "ShortName = com1.app"),
                u"product.ini:8: ShortName is a device name"},
        BadCase{"short_name_dot_dot", With("ShortName", "ShortName = .."),
                u"product.ini:8: ShortName ends with a dot or a space"},
        BadCase{"short_name_trailing_dot", With("ShortName", "ShortName = Glyphor."),
                u"product.ini:8: ShortName ends with a dot or a space"},
        BadCase{"short_name_too_long", With("ShortName", "ShortName = " + std::string(65, 'g')),
                u"product.ini:8: ShortName is 65 characters long; a short name holds at most 64"},
        BadCase{"display_name_backslash", With("DisplayName", "DisplayName = Velmora\\Glyphor"),
                u"product.ini:5: DisplayName holds \"\\\", which would make nested registry keys"},
        BadCase{"display_name_chinese_id_backslash", With("DisplayNameChinese", "1005 = ..\\澜川绘影"),
                u"product.ini:6: DisplayNameChinese holds \"\\\", which would make nested registry keys"},
        BadCase{"product_id_blank", With("ProductId", "ProductId = Velmora Glyphor"),
                u"product.ini:15: ProductId may hold only letters, digits, \".\", \"-\" and \"_\""},
        BadCase{"product_id_backslash", With("ProductId", "1017 = Velmora\\Glyphor"),
                u"product.ini:15: ProductId may hold only letters, digits, \".\", \"-\" and \"_\""},
        BadCase{"product_id_chinese", With("ProductId", "ProductId = \xE6\xBE\x9C.Glyphor"),
                u"product.ini:15: ProductId may hold only letters, digits, \".\", \"-\" and \"_\""},
        BadCase{"product_id_trailing_dot", With("ProductId", "ProductId = Velmora.Glyphor."),
                u"product.ini:15: ProductId may not begin or end with \".\""},
        BadCase{"product_id_dots", With("ProductId", "ProductId = .."),
                u"product.ini:15: ProductId may not begin or end with \".\""},
        BadCase{"product_id_too_long", With("ProductId", "ProductId = " + std::string(129, 'p')),
                u"product.ini:15: ProductId is 129 characters long; a product identity holds at most 128"},
        BadCase{"display_name_too_long", With("DisplayName", "DisplayName = " + std::string(256, 'v')),
                u"product.ini:5: DisplayName is 256 characters long; a registry key name holds at most 255"},
        BadCase{"publisher_40000", With("Publisher", "Publisher = " + std::string(40000, 'p')),
                u"product.ini:15: Publisher is 40000 characters long; the version information holds at most 16384"},
        BadCase{"version_too_long", With("Version", "Version = 1." + std::string(300, '0')),
                u"product.ini:9: Version is 302 characters long; the version information holds at most 256"},
        BadCase{"window_class_too_long", With("MainWindowClass", "1001 = " + std::string(257, 'w')),
                u"product.ini:2: MainWindowClass is 257 characters long; a window class name holds at most 256"},
        BadCase{"jpeg_header_over_garbage", With("ImageLeft0", "ImageLeft0 = garbage.jpg"),
                u"product.ini:12: ImageLeft0: garbage.jpg is not a picture the wizard can show (JPEG): a marker "
                u"segment is not followed by a marker"},
        BadCase{"bmp_60000_square", With("ImageIcon", "ImageIcon = huge.bmp"),
                u"product.ini:14: ImageIcon: huge.bmp is not a picture the wizard can show (BMP): it is 60000 x "
                u"60000 pixels; the wizard shows pictures of 1 to 16384 pixels a side"},
        BadCase{"bmp_60000_banner", With("ImageLeft2", "ImageLeft2 = huge.bmp"),
                u"product.ini:13: ImageLeft2: huge.bmp is not a picture the wizard can show (BMP): it is 60000 x "
                u"60000 pixels; the wizard shows pictures of 1 to 16384 pixels a side"},
        BadCase{"truncated_png", With("ImageLeft2", "ImageLeft2 = cut.png"),
                u"product.ini:13: ImageLeft2: cut.png is not a picture the wizard can show (PNG): the file ends "
                u"inside a chunk"}),
    [](const auto& item) { return std::string(item.param.label); });

// Values at every bound still make a product, and its version information fits.
TEST_F(ProductFileTest, ValuesAtTheirBoundsAreAccepted) {
  const std::string displayName = std::string(254, 'v') + "\xC3\xA9";  // 255 characters
  std::string text = kGoodHead;
  text.replace(text.find("DisplayName = Velmora Glyphor"), 29, "DisplayName = " + displayName);
  text.replace(text.find("ShortName = Glyphor"), 19, "ShortName = Gly phor.app-" + std::string(51, 's'));
  text.replace(text.find("Version = 2.30"), 14, "Version = 2.30 " + std::string(251, 'b'));
  text += "Publisher = " + std::string(16384, 'p') + "\nPublisherChinese = Velmora/Software (\xE6\xBE\x9C)\n";
  const Product product = Parse(text);
  EXPECT_EQ(product.String(1004).size(), 255u);
  EXPECT_EQ(product.String(1010).size(), 64u);
  EXPECT_EQ(product.String(1011).size(), 256u);
  EXPECT_EQ(product.String(1013).size(), 16384u);
  pe::ResourceTree tree;
  AddUninstallerResources(tree, product, "");  // the longer description of the two
  const pe::Bytes* version = tree.Find(pe::rt::kVersion, 1, pe::kLangEnglishUs);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ((*version)[0] | (*version)[1] << 8, static_cast<int>(version->size()));
}

TEST(VersionInfoLengths, TooMuchTextRaisesInsteadOfWrapping) {
  pe::VersionFields fields;
  fields.productName = u"Velmora Glyphor";
  fields.companyName = std::u16string(40000, u'p');
  EXPECT_THROW((void)pe::BuildVersionInfo(fields), pe::EPeFormatError);
  fields.companyName = std::u16string(30000, u'p');  // fits: 60,000 bytes and the rest
  EXPECT_NO_THROW((void)pe::BuildVersionInfo(fields));
}

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
