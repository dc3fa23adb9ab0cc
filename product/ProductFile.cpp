#include "product/ProductFile.h"

#include <array>
#include <string_view>

#include "base/Convert.h"
#include "base/FileStream.h"
#include "base/Text.h"
#include "pe/IconGroup.h"
#include "product/ImageFormat.h"
#include "product/PictureCheck.h"
#include "product/ProductIds.h"
#include "product/ProductValues.h"

namespace setup::product {

namespace {

enum class Kind {
  Text,          // a configuration string, as it stands
  Boolean,       // a configuration string that must read as true or false
  Folder,        // the files to pack
  Banner,        // any picture the wizard decodes
  Bitmap,        // a .bmp file
  Icon,          // an .ico file
  License,       // UTF-8 text
  Architecture,  // x64 or x86
  Scope,         // a configuration string that must read as machine or user
  SigningFile,   // PEM key or certificate
};

// What a text value becomes besides a configuration string, and so what it must be.
enum class Rule {
  Any,       // shown or stored as it stands
  FileName,  // the install folder's and the program's name
  KeyName,   // a registry key's name
  Identity,  // the Uninstall key's name in every language: letters, digits, ".", "-" and "_"
};

// Lengths some format bounds. The version information holds DisplayName (twice, once with
// " Uninstaller" after it), Version (twice) and Publisher, and its 16-bit lengths must hold the
// whole block: at these bounds it stays under 36,000 of its 65,535 bytes.
constexpr std::uint32_t kStringTableLength = 0xFFFF;  // a string table entry's 16-bit length
constexpr std::uint32_t kWindowClassLength = 256;
constexpr std::uint32_t kKeyNameLength = 255;
constexpr std::uint32_t kShortNameLength = 64;  // leaves room for the install folder's path
constexpr std::uint32_t kVersionLength = 256;
constexpr std::uint32_t kPublisherLength = 16384;
constexpr std::uint32_t kProductIdLength = 128;

constexpr std::u16string_view kInStringTable = u"a string table entry";
constexpr std::u16string_view kInVersionInfo = u"the version information";

struct KeyInfo {
  std::u16string_view name;
  std::uint16_t id;  // the configuration string it fills, 0 for none
  Kind kind;
  bool required;
  Rule rule = Rule::Any;
  std::uint32_t maxLength = kStringTableLength;  // for text values
  std::u16string_view boundBy = kInStringTable;  // what sets maxLength
};

constexpr std::array<KeyInfo, 25> kKeys{{
    {u"MainWindowClass", kMainWindowClassId, Kind::Text, true, Rule::Any, kWindowClassLength, u"a window class name"},
    {u"MainWindowTitle", kMainWindowTitleEnId, Kind::Text, true},
    {u"MainWindowTitleChinese", kMainWindowTitleCnId, Kind::Text, true},
    {u"DisplayName", kDisplayNameEnId, Kind::Text, true, Rule::KeyName, kKeyNameLength, u"a registry key name"},
    {u"DisplayNameChinese", kDisplayNameCnId, Kind::Text, true, Rule::KeyName, kKeyNameLength, u"a registry key name"},
    {u"Freeware", kFreewareId, Kind::Boolean, true},
    {u"ShortName", kShortNameId, Kind::Text, true, Rule::FileName, kShortNameLength, u"a short name"},
    {u"Version", kVersionId, Kind::Text, true, Rule::Any, kVersionLength, kInVersionInfo},
    {u"SpaceText", kSpaceTextId, Kind::Text, true},
    {u"Publisher", kPublisherEnId, Kind::Text, false, Rule::Any, kPublisherLength, kInVersionInfo},
    {u"PublisherChinese", kPublisherCnId, Kind::Text, false},
    {u"WebPage", kWebPageEnId, Kind::Text, false},
    {u"WebPageChinese", kWebPageCnId, Kind::Text, false},
    {u"ProductId", kProductIdId, Kind::Text, false, Rule::Identity, kProductIdLength, u"a product identity"},
    {u"Scope", kScopeId, Kind::Scope, false},
    {u"Files", 0, Kind::Folder, true},
    {u"ImageLeft0", 0, Kind::Banner, true},
    {u"ImageLeft2", 0, Kind::Banner, true},
    {u"ImageIcon", 0, Kind::Bitmap, true},
    {u"Icon", 0, Kind::Icon, false},
    {u"License", 0, Kind::License, false},
    {u"LicenseChinese", 0, Kind::License, false},
    {u"Architecture", 0, Kind::Architecture, false},
    {u"SignKey", 0, Kind::SigningFile, false},
    {u"SignCertificate", 0, Kind::SigningFile, false},
}};

std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t' || text.back() == u'\r')) text.remove_suffix(1);
  return text;
}

std::optional<std::uint16_t> NumericKey(std::u16string_view key) {
  if (key.empty() || key.size() > 5) return std::nullopt;
  std::uint32_t value = 0;
  for (const char16_t c : key) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(c - u'0');
  }
  return static_cast<std::uint16_t>(value);
}

// Malformed UTF-8 widens to U+FFFD, so it does not come back the same.
bool IsUtf8(std::string_view text) { return ToUtf8(FromUtf8(text)) == text; }

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
  FileStream stream(path.u16string(), FileStream::Mode::OpenRead);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Size()));
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

class Reader {
 public:
  Reader(const std::filesystem::path& folder, const std::u16string& displayName)
      : folder_(folder), displayName_(displayName) {}

  Product Read(std::string_view utf8) {
    if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
    if (!IsUtf8(utf8)) Fail(1, u"the file is not UTF-8 text");
    const std::u16string text = FromUtf8(utf8);
    std::size_t lineNumber = 0;
    std::u16string_view rest = text;
    while (!rest.empty() || lineNumber == 0) {
      ++lineNumber;
      const std::size_t end = rest.find(u'\n');
      const std::u16string_view line = Trim(rest.substr(0, end));
      rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);
      if (!line.empty() && line.front() != u'#' && line.front() != u';') Entry(lineNumber, line);
      if (rest.empty()) break;
    }
    Finish(lineNumber);
    return std::move(product_);
  }

 private:
  [[noreturn]] void Fail(std::size_t line, std::u16string_view message) const {
    throw EProductError(displayName_ + u":" + IntToText(static_cast<std::int64_t>(line)) + u": " +
                        std::u16string(message));
  }

  void Entry(std::size_t line, std::u16string_view text) {
    const std::size_t equals = text.find(u'=');
    if (equals == std::u16string_view::npos) Fail(line, u"expected KEY = VALUE");
    const std::u16string_view key = Trim(text.substr(0, equals));
    const std::u16string_view value = Trim(text.substr(equals + 1));
    const KeyInfo* info = Find(line, key);
    const auto [seen, fresh] = lines_.emplace(info->name, line);
    if (!fresh) {
      Fail(line, std::u16string(info->name) + u" is given twice (first on line " +
                     IntToText(static_cast<std::int64_t>(seen->second)) + u")");
    }
    if (value.empty()) Fail(line, std::u16string(info->name) + u" has no value");
    // Every value: file names reach the file system and texts reach Windows functions alike.
    if (const std::u16string problem = ControlCharacterProblem(value); !problem.empty()) {
      Fail(line, std::u16string(info->name) + u" " + problem);
    }
    Apply(line, *info, value, !NumericKey(key).has_value());
  }

  const KeyInfo* Find(std::size_t line, std::u16string_view key) {
    if (const auto id = NumericKey(key)) {
      for (const KeyInfo& info : kKeys)
        if (info.id != 0 && info.id == *id) return &info;
      Fail(line, u"unknown string id " + std::u16string(key) + u" (configuration ids are 1001-1005 and 1009-1018)");
    }
    for (const KeyInfo& info : kKeys)
      if (SameTextIgnoreCase(info.name, key)) return &info;
    Fail(line, u"unknown key \"" + std::u16string(key) + u"\"");
  }

  std::filesystem::path Resolve(std::u16string_view value) const {
    return folder_ / std::filesystem::path(std::u16string(value));
  }

  std::vector<std::uint8_t> ReadFile(std::size_t line, std::u16string_view value) const {
    try {
      return ReadWholeFile(Resolve(value));
    } catch (const Exception& e) {
      Fail(line, u"cannot read " + std::u16string(value) + u": " + e.Message());
    }
  }

  // The wizard decodes the picture when it starts; one it cannot show must stop the build instead.
  void CheckPicture(std::size_t line, const std::u16string& name, std::u16string_view value,
                    std::span<const std::uint8_t> bytes, ImageFormat format) const {
    if (const std::u16string problem = PictureProblem(bytes, format); !problem.empty()) {
      Fail(line, FormatText(u"%s: %s is not a picture the wizard can show (%s): %s",
                            {name, value, ImageFormatName(format), problem}));
    }
  }

  void CheckText(std::size_t line, const KeyInfo& info, std::u16string_view value) const {
    const std::u16string name(info.name);
    if (value.size() > info.maxLength) {
      Fail(line, FormatText(u"%s is %s characters long; %s holds at most %s",
                            {name, IntToText(static_cast<std::int64_t>(value.size())), info.boundBy,
                             IntToText(info.maxLength)}));
    }
    std::u16string problem;
    if (info.rule == Rule::FileName) problem = FileNameProblem(value);
    if (info.rule == Rule::KeyName) problem = KeyNameProblem(value);
    if (info.rule == Rule::Identity) problem = ProductIdProblem(value);
    if (!problem.empty()) Fail(line, name + u" " + problem);
  }

  void Apply(std::size_t line, const KeyInfo& info, std::u16string_view value, bool named) {
    const std::u16string name(info.name);
    switch (info.kind) {
      case Kind::Boolean:
        // The numeric form passes any text through, as the string table always could.
        if (named) {
          try {
            (void)TextToBool(value);
          } catch (const Exception&) {
            Fail(line, name + u" must be true or false, not \"" + std::u16string(value) + u"\"");
          }
        }
        [[fallthrough]];
      case Kind::Text:
        CheckText(line, info, value);
        product_.strings[info.id] = std::u16string(value);
        break;
      case Kind::Folder: {
        const auto folder = Resolve(value);
        std::error_code error;
        if (!std::filesystem::is_directory(folder, error))
          Fail(line, u"the folder " + std::u16string(value) + u" does not exist");
        product_.filesFolder = folder;
        break;
      }
      case Kind::Banner: {
        auto bytes = ReadFile(line, value);
        const ImageFormat format = DetectImageFormat(bytes);
        if (format == ImageFormat::Unknown) {
          Fail(line, name + u": " + std::u16string(value) + u" is not a JPEG, PNG, GIF or BMP picture");
        }
        CheckPicture(line, name, value, bytes, format);
        (name == u"ImageLeft0" ? product_.imageLeftChinese : product_.imageLeftEnglish) = std::move(bytes);
        break;
      }
      case Kind::Bitmap: {
        const auto bytes = ReadFile(line, value);
        product_.imageIconBitmap = BitmapResourceFromBmp(bytes);
        if (product_.imageIconBitmap.empty()) {
          Fail(line, name + u": " + std::u16string(value) + u" is not a BMP picture (found " +
                         std::u16string(ImageFormatName(DetectImageFormat(bytes))) + u")");
        }
        CheckPicture(line, name, value, bytes, ImageFormat::Bmp);
        break;
      }
      case Kind::Icon: {
        auto bytes = ReadFile(line, value);
        if (!pe::IsIconFile(bytes)) Fail(line, name + u": " + std::u16string(value) + u" is not an .ico file");
        product_.icon = std::move(bytes);
        break;
      }
      case Kind::License: {
        const auto bytes = ReadFile(line, value);
        std::string text(bytes.begin(), bytes.end());
        if (!IsUtf8(text)) Fail(line, name + u": " + std::u16string(value) + u" is not UTF-8 text");
        (name == u"License" ? product_.licenseEnglish : product_.licenseChinese) = std::move(text);
        break;
      }
      case Kind::Architecture:
        if (SameTextIgnoreCase(value, u"x64")) {
          product_.architecture = Architecture::X64;
        } else if (SameTextIgnoreCase(value, u"x86")) {
          product_.architecture = Architecture::X86;
        } else {
          Fail(line, u"Architecture must be x64 or x86, not \"" + std::u16string(value) + u"\"");
        }
        break;
      case Kind::Scope:
        // Both forms alike: the programs read the string back and must find one of the two words.
        if (SameTextIgnoreCase(value, u"machine")) {
          product_.scope = Scope::Machine;
        } else if (SameTextIgnoreCase(value, u"user")) {
          product_.scope = Scope::User;
        } else {
          Fail(line, u"Scope must be machine or user, not \"" + std::u16string(value) + u"\"");
        }
        product_.scopeLine = line;
        product_.strings[info.id] = product_.scope == Scope::User ? u"user" : u"machine";
        break;
      case Kind::SigningFile: {
        (void)ReadFile(line, value);
        if (!product_.signing) product_.signing = Signing{};
        (name == u"SignKey" ? product_.signing->key : product_.signing->certificate) = Resolve(value);
        break;
      }
    }
  }

  void Finish(std::size_t lastLine) {
    for (const KeyInfo& info : kKeys) {
      if (info.required && !lines_.contains(info.name)) {
        Fail(lastLine, u"the required key " + std::u16string(info.name) + u" is missing");
      }
    }
    if (product_.signing && (product_.signing->key.empty() || product_.signing->certificate.empty())) {
      Fail(lines_.contains(u"SignKey") ? lines_.at(u"SignKey") : lines_.at(u"SignCertificate"),
           u"signing needs both SignKey and SignCertificate");
    }
  }

  const std::filesystem::path folder_;
  const std::u16string displayName_;
  std::map<std::u16string_view, std::size_t> lines_;  // key name -> line it was given on
  Product product_;
};

}  // namespace

std::u16string Product::String(std::uint16_t id) const {
  const auto found = strings.find(id);
  return found == strings.end() ? std::u16string() : found->second;
}

Product ParseProductText(std::string_view utf8, const std::filesystem::path& folder,
                         const std::u16string& displayName) {
  return Reader(folder, displayName).Read(utf8);
}

Product ReadProductFile(const std::filesystem::path& file, const std::u16string& displayName) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadWholeFile(file);
  } catch (const Exception& e) {
    throw EProductError(displayName + u": " + e.Message());
  }
  return ParseProductText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                          file.parent_path(), displayName);
}

}  // namespace setup::product
