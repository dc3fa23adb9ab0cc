#include <gtest/gtest.h>

#include <string>

#include "RegistryTestSupport.h"
#include "base/Text.h"
#include "shell/Registry.h"

namespace setup {
namespace {

using testing_support::KeyExists;
using testing_support::RawValue;
using testing_support::ReadRawValue;
using testing_support::TestRegistryKey;
using testing_support::TextValue;
using testing_support::Utf16Bytes;
using testing_support::WriteRawValue;

std::u16string LeadingBackslash(const std::u16string& path) {
  std::u16string withBackslash(1, u'\\');
  return withBackslash += path;
}

class RegistryTest : public ::testing::Test {
 protected:
  std::u16string Below(std::u16string_view relative) const { return key_.Path() + u"\\" + std::u16string(relative); }
  TestRegistryKey key_;
};

TEST_F(RegistryTest, CreateRegistryKeyCreatesMissingParents) {
  const std::u16string path = Below(u"One\\Two\\Three");
  ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, Below(u"One")));
  EXPECT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, path));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, path));
}

TEST_F(RegistryTest, CreateRegistryKeyKeepsAnExistingKeyUnchanged) {
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, key_.Path(), u"Kept", TextValue(u"value")));
  EXPECT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, key_.Path()));
  const auto kept = ReadRawValue(HKEY_CURRENT_USER, key_.Path(), u"Kept");
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->bytes, TextValue(u"value").bytes);
}

TEST_F(RegistryTest, LeadingBackslashNamesTheSameKey) {
  EXPECT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, LeadingBackslash(Below(u"Created"))));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Below(u"Created")));

  EXPECT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, LeadingBackslash(Below(u"Written")), u"Name", u"with"));
  EXPECT_EQ(ToUtf8(ReadRegistryString(HKEY_CURRENT_USER, Below(u"Written"), u"Name")), "with");
  EXPECT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, Below(u"Written"), u"Other", u"without"));
  EXPECT_EQ(ToUtf8(ReadRegistryString(HKEY_CURRENT_USER, LeadingBackslash(Below(u"Written")), u"Other")), "without");
}

// Known answers for the write direction: the exact bytes and type the registry holds afterwards.
struct WriteCase {
  const char* name;
  std::u16string text;
};

class WriteRegistryStringTest : public RegistryTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteRegistryStringTest, StoresRegSzWithItsNul) {
  const std::u16string path = Below(u"Parent\\Child");  // both missing: created on the way
  EXPECT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, path, u"Value", GetParam().text));
  const auto stored = ReadRawValue(HKEY_CURRENT_USER, path, u"Value");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
  std::vector<std::uint8_t> expected = Utf16Bytes(GetParam().text);
  expected.insert(expected.end(), {0, 0});
  EXPECT_EQ(stored->bytes, expected);
  EXPECT_EQ(stored->bytes.size(), (GetParam().text.size() + 1) * 2);
}

INSTANTIATE_TEST_SUITE_P(Texts, WriteRegistryStringTest,
                         ::testing::Values(WriteCase{"Empty", u""}, WriteCase{"Ascii", u"Glyphor"},
                                           WriteCase{"Path", u"C:\\Program Files\\Glyphor\\Uninst.exe"},
                                           WriteCase{"Chinese", u"\u6F9C\u5DDD\u7ED8\u5F71"}),
                         [](const ::testing::TestParamInfo<WriteCase>& writeCase) { return writeCase.param.name; });

TEST_F(RegistryTest, EmptyTextIsTwoBytes) {
  EXPECT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, key_.Path(), u"Empty", u""));
  const auto stored = ReadRawValue(HKEY_CURRENT_USER, key_.Path(), u"Empty");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(stored->bytes, (std::vector<std::uint8_t>{0, 0}));
}

TEST_F(RegistryTest, WriteReplacesAValueOfAnotherType) {
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, key_.Path(), u"Mixed", RawValue{REG_DWORD, {1, 0, 0, 0}}));
  EXPECT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, key_.Path(), u"Mixed", u"text"));
  const auto stored = ReadRawValue(HKEY_CURRENT_USER, key_.Path(), u"Mixed");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(stored->bytes, TextValue(u"text").bytes);
}

TEST_F(RegistryTest, DwordIsFourLittleEndianBytesAndReplacesAText) {
  const std::u16string path = Below(u"Sizes");  // missing: created on the way
  EXPECT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, path, u"EstimatedSize", 0x01020304));
  auto stored = ReadRawValue(HKEY_CURRENT_USER, path, u"EstimatedSize");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(stored->bytes, (std::vector<std::uint8_t>{4, 3, 2, 1}));

  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, path, u"NoModify", TextValue(u"text")));
  EXPECT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, path, u"NoModify", 1));
  stored = ReadRawValue(HKEY_CURRENT_USER, path, u"NoModify");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(stored->bytes, (std::vector<std::uint8_t>{1, 0, 0, 0}));
}

TEST_F(RegistryTest, WriteWithEmptyKeyPathWritesIntoTheRootItself) {
  ASSERT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, key_.Path()));
  UniqueRegistryKey root;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, WidePtr(key_.Path()), 0, KEY_ALL_ACCESS, root.Put()), ERROR_SUCCESS);
  EXPECT_TRUE(WriteRegistryString(root.Get(), u"", u"AtRoot", u"here"));
  EXPECT_EQ(ToUtf8(ReadRegistryString(HKEY_CURRENT_USER, key_.Path(), u"AtRoot")), "here");
}

// A volatile key cannot have non-volatile sub-keys, so keys below it cannot be created.
class VolatileParentTest : public RegistryTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, key_.Path()));
    UniqueRegistryKey parent;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, WidePtr(Below(u"Volatile")), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, parent.Put(), nullptr),
              ERROR_SUCCESS);
  }
};

TEST_F(VolatileParentTest, CreateFailureNamesTheKeyAsGiven) {
  const std::u16string path = LeadingBackslash(Below(u"Volatile\\Child"));
  try {
    (void)CreateRegistryKey(HKEY_CURRENT_USER, path);
    FAIL() << "no error raised";
  } catch (const ERegistryException& error) {
    EXPECT_EQ(error.Message(), u"Failed to create key " + path);
  }
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Below(u"Volatile\\Child")));
}

TEST_F(VolatileParentTest, WriteReturnsFalseWhenTheKeyCannotBeCreated) {
  EXPECT_FALSE(WriteRegistryString(HKEY_CURRENT_USER, Below(u"Volatile\\Child"), u"Value", u"text"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Below(u"Volatile\\Child")));
}

TEST(RegistryRootTest, InvalidRootHandle) {
  const auto invalid = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x0BAD0000));
  try {
    (void)CreateRegistryKey(invalid, u"Key");
    FAIL() << "no error raised";
  } catch (const ERegistryException& error) {
    EXPECT_EQ(ToUtf8(error.Message()), "Failed to create key Key");
  }
  EXPECT_FALSE(WriteRegistryString(invalid, u"Key", u"Value", u"text"));
  EXPECT_FALSE(WriteRegistryString(invalid, u"", u"Value", u"text"));
  EXPECT_EQ(ReadRegistryString(invalid, u"Key", u"Value"), u"");
}

// Known answers for the read direction: raw values put in place behind the helper's back.
struct ReadCase {
  const char* name;
  RawValue stored;
  const char* expected;  // the text read, or the error's message
  bool raises;
};

class ReadRegistryStringTest : public RegistryTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadRegistryStringTest, ReadsTextOrRaises) {
  const ReadCase& readCase = GetParam();
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, key_.Path(), u"Probe", readCase.stored));
  if (readCase.raises) {
    try {
      ReadRegistryString(HKEY_CURRENT_USER, key_.Path(), u"Probe");
      FAIL() << "no error raised";
    } catch (const ERegistryException& error) {
      EXPECT_EQ(ToUtf8(error.Message()), readCase.expected);
    }
  } else {
    EXPECT_EQ(ToUtf8(ReadRegistryString(HKEY_CURRENT_USER, key_.Path(), u"Probe")), readCase.expected);
  }
}

std::vector<std::uint8_t> Bytes(std::u16string_view units) { return testing_support::Utf16Bytes(units); }

const ReadCase kReadCases[] = {
    {"Text", TextValue(u"Glyphor"), "Glyphor", false},
    {"Chinese", TextValue(u"\u6F9C\u5DDD"), "\xE6\xBE\x9C\xE5\xB7\x9D", false},
    {"ExpandUnexpanded", TextValue(u"%SystemRoot%\\system32", REG_EXPAND_SZ), "%SystemRoot%\\system32", false},
    {"EmptyText", TextValue(u""), "", false},
    {"NoBytes", RawValue{REG_SZ, {}}, "", false},
    {"EndsAtFirstNul", RawValue{REG_SZ, Bytes(std::u16string(u"ab\0cd\0", 6))}, "ab", false},
    {"NoTerminator", RawValue{REG_SZ, Bytes(u"abc")}, "abc", false},
    {"OddByteCount", RawValue{REG_SZ, {'a', 0, 'b', 0, 'c'}}, "ab", false},
    {"Dword", RawValue{REG_DWORD, {1, 0, 0, 0}}, "Invalid data type for 'Probe'", true},
    {"Binary", RawValue{REG_BINARY, {'a', 0, 0, 0}}, "Invalid data type for 'Probe'", true},
    {"MultiText", RawValue{REG_MULTI_SZ, Bytes(std::u16string(u"a\0b\0\0", 5))}, "Invalid data type for 'Probe'", true},
};

INSTANTIATE_TEST_SUITE_P(Values, ReadRegistryStringTest, ::testing::ValuesIn(kReadCases),
                         [](const ::testing::TestParamInfo<ReadCase>& readCase) { return readCase.param.name; });

TEST_F(RegistryTest, MissingKeyOrValueReadsEmpty) {
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, Below(u"Nowhere"), u"Value"), u"");
  ASSERT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, key_.Path()));
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key_.Path(), u"Missing"), u"");
}

TEST_F(RegistryTest, ValueThatCannotBeSetRaises) {
  // Value names are limited to 16,383 characters; a longer one cannot be set.
  const std::u16string longName(20000, u'n');
  try {
    (void)WriteRegistryString(HKEY_CURRENT_USER, key_.Path(), longName, u"text");
    FAIL() << "no error raised";
  } catch (const ERegistryException& error) {
    EXPECT_EQ(error.Message(), u"Failed to set data for '" + longName + u"'");
  }
}

TEST_F(RegistryTest, LocalMachineRoundTrip) {
  // The install sequence registers the product under HKEY_LOCAL_MACHINE with full access.
  struct MachineKey {
    std::u16string path = u"SOFTWARE\\SetupToolkitTests\\" + IntToText(GetCurrentProcessId());
    ~MachineKey() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, WidePtr(path)); }
  } key;
  EXPECT_TRUE(CreateRegistryKey(HKEY_LOCAL_MACHINE, key.path));
  EXPECT_TRUE(WriteRegistryString(HKEY_LOCAL_MACHINE, key.path, u"DisplayName", u"Glyphor"));
  EXPECT_EQ(ToUtf8(ReadRegistryString(HKEY_LOCAL_MACHINE, key.path, u"DisplayName")), "Glyphor");
  const auto stored = ReadRawValue(HKEY_LOCAL_MACHINE, key.path, u"DisplayName");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->bytes, TextValue(u"Glyphor").bytes);
}

}  // namespace
}  // namespace setup
