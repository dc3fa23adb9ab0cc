#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Hex.h"
#include "Tsv.h"
#include "base/CodePage.h"
#include "crypto/BlockCipher.h"
#include "crypto/Envelope.h"
#include "crypto/Random.h"

extern const char kEnvelopeVectorsTsv[];

namespace setup {
namespace {

using testing_support::FromHex;

std::u16string FromHexUtf16(const std::string& hex) {
  const auto bytes = FromHex(hex);
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return text;
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

struct VectorRow {
  int cipherIndex = 0;
  int hashIndex = 0;
  std::u16string password;
  std::u16string envelope;
  std::u16string plainText;
};

std::vector<VectorRow> LoadVectors() {
  std::vector<VectorRow> rows;
  for (const auto& fields : testing_support::TsvRows(kEnvelopeVectorsTsv)) {
    if (fields.size() != 5) continue;
    rows.push_back({std::stoi(fields[0]), std::stoi(fields[1]), FromHexUtf16(fields[2]), Widen(fields[3]),
                    FromHexUtf16(fields[4])});
  }
  return rows;
}

std::size_t IvLength(int cipherIndex) {
  auto cipher = CreateCipherByIndex(cipherIndex);
  auto* block = cipher ? cipher->AsBlockCipher() : nullptr;
  return block ? block->BlockBytes() : 0;
}

class EnvelopeVectors : public ::testing::TestWithParam<VectorRow> {
 protected:
  void SetUp() override {
    if (!CreateCipherByIndex(GetParam().cipherIndex)) {
      GTEST_SKIP() << "cipher " << GetParam().cipherIndex << " is not part of this build yet";
    }
  }
};

TEST_P(EnvelopeVectors, HeaderNamesTheRowsHashAndCipher) {
  const std::u16string& e = GetParam().envelope;
  EXPECT_EQ(int{e[3]} - int{e[8]}, GetParam().cipherIndex);
  EXPECT_EQ(int{e[4]} - int{e[9]}, GetParam().hashIndex);
}

TEST_P(EnvelopeVectors, DecryptsToThePlainText) {
  EXPECT_EQ(DecryptEnvelope(GetParam().envelope, GetParam().password), GetParam().plainText);
}

TEST_P(EnvelopeVectors, WriterWithTheSameSaltAndVectorGivesTheSameEnvelope) {
  const VectorRow& row = GetParam();
  const std::size_t ivLength = IvLength(row.cipherIndex);
  const std::u16string written = EncryptEnvelope(row.hashIndex, row.cipherIndex, row.password, row.plainText,
                                                 row.envelope.substr(0, 8), row.envelope.substr(10, ivLength));
  EXPECT_EQ(written, row.envelope);
}

TEST_P(EnvelopeVectors, WrongPasswordGivesMeaninglessTextOfTheSameLength) {
  const std::u16string wrong = DecryptEnvelope(GetParam().envelope, GetParam().password + u"x");
  EXPECT_EQ(wrong.size(), GetParam().plainText.size());
  EXPECT_NE(wrong, GetParam().plainText);
}

INSTANTIATE_TEST_SUITE_P(Tsv, EnvelopeVectors, ::testing::ValuesIn(LoadVectors()),
                         [](const auto& testInfo) { return "Cipher" + std::to_string(testInfo.param.cipherIndex); });

TEST(EnvelopeVectorFile, HasOneRowPerCipher) { EXPECT_EQ(LoadVectors().size(), 9u); }

// Every pair of hash and cipher, through the writer and back.
struct Pair {
  int hash;
  int cipher;
};

std::vector<Pair> AllPairs() {
  std::vector<Pair> pairs;
  for (int c = 0; c < kCipherCount; ++c) {
    for (int h = 0; h < kHashCount; ++h) pairs.push_back({h, c});
  }
  return pairs;
}

class EnvelopePairs : public ::testing::TestWithParam<Pair> {
 protected:
  void SetUp() override {
    if (!CreateCipherByIndex(GetParam().cipher)) {
      GTEST_SKIP() << CipherName(GetParam().cipher).size() << "-letter cipher " << GetParam().cipher
                   << " is not part of this build yet";
    }
  }
};

bool IsPrintableAscii(const std::u16string& text) {
  for (char16_t c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

TEST_P(EnvelopePairs, WriterOutputDecryptsBack) {
  const std::u16string plain = u"Files|sub\\,\u5b89\u88c5.txt,1024,2048|";
  const std::u16string password = u"pa\u00dfwort";
  const std::u16string envelope = EncryptEnvelope(GetParam().hash, GetParam().cipher, password, plain);
  EXPECT_TRUE(IsPrintableAscii(envelope));
  EXPECT_EQ(int{envelope[3]} - int{envelope[8]}, GetParam().cipher);
  EXPECT_EQ(int{envelope[4]} - int{envelope[9]}, GetParam().hash);
  EXPECT_EQ(DecryptEnvelope(envelope, password), plain);
  EXPECT_EQ(DecryptEnvelope(envelope, password), plain);  // nothing carries over between calls
  EXPECT_EQ(DecryptEnvelope(envelope, u"").size(), plain.size());
}

TEST_P(EnvelopePairs, DeterministicWriterMatchesTheRandomOnesLayout) {
  const std::u16string salt = u"Zx~~~9aQ";
  const std::u16string iv = u"0123456789abcdef";
  const std::size_t ivLength = IvLength(GetParam().cipher);
  const std::u16string envelope =
      EncryptEnvelope(GetParam().hash, GetParam().cipher, u"", u"plain", salt, iv.substr(0, ivLength));
  EXPECT_EQ(envelope.substr(0, 8), salt);
  EXPECT_EQ(envelope.substr(10, ivLength), iv.substr(0, ivLength));
  // 10 bytes of text give 16 Base64 characters.
  EXPECT_EQ(envelope.size(), 10 + ivLength + 16);
  EXPECT_EQ(DecryptEnvelope(envelope, u""), u"plain");
}

INSTANTIATE_TEST_SUITE_P(All45, EnvelopePairs, ::testing::ValuesIn(AllPairs()), [](const auto& testInfo) {
  return "Hash" + std::to_string(testInfo.param.hash) + "Cipher" + std::to_string(testInfo.param.cipher);
});

// The edge cases of the reader, on envelopes the writer makes.
constexpr int kMd5 = 1, kSha1 = 2, kSha512 = 4;
constexpr int kBlowfish = 0, kRijndael = 5, kRc4 = 6;

TEST(EnvelopeEdges, TooShortEnvelopesGiveEmptyText) {
  const std::u16string rc4 = EncryptEnvelope(kMd5, kRc4, u"", u"text", u"ABCDEFGH", u"");
  EXPECT_EQ(DecryptEnvelope(rc4.substr(0, 10), u""), u"");
  EXPECT_EQ(DecryptEnvelope(u"", u""), u"");
  // Eleven code units for RC4: one Base64 character decodes to nothing.
  EXPECT_EQ(DecryptEnvelope(rc4.substr(0, 11), u""), u"");
  // A 64-bit block cipher needs 8 vector characters from position 11: 17 units have only 7.
  const std::u16string blowfish = EncryptEnvelope(kMd5, kBlowfish, u"", u"text", u"ABCDEFGH", u"12345678");
  EXPECT_EQ(DecryptEnvelope(blowfish.substr(0, 17), u""), u"");
  EXPECT_EQ(DecryptEnvelope(blowfish.substr(0, 18), u""), u"");  // vector, but no ciphertext
  EXPECT_EQ(DecryptEnvelope(blowfish, u""), u"text");
}

TEST(EnvelopeEdges, IndexDifferencesOutsideTheTablesGiveEmptyText) {
  // Salt position 4 = 'L' (cipher selector), 5 = 'M' (hash selector); positions 9 and 10 vary.
  const std::u16string body = u"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA";
  struct Case {
    int hashDifference;
    int cipherDifference;
    bool accepted;
  };
  const Case cases[] = {
      {-1, 6, false}, {4, 6, true}, {5, 6, false}, {0, 6, true}, {0, 8, true}, {0, 9, false}, {0, -1, false},
  };
  for (const Case& c : cases) {
    if (c.accepted && !CreateCipherByIndex(c.cipherDifference)) continue;  // cipher not built yet
    std::u16string envelope = u"SalLMtxy";
    envelope += static_cast<char16_t>(u'L' - c.cipherDifference);
    envelope += static_cast<char16_t>(u'M' - c.hashDifference);
    envelope += body;
    EXPECT_EQ(DecryptEnvelope(envelope, u"").empty(), !c.accepted) << c.hashDifference << " " << c.cipherDifference;
  }
}

TEST(EnvelopeEdges, RecognisesSha512AndRc4FromTheirDifferences) {
  const std::u16string envelope = EncryptEnvelope(kSha512, kRc4, u"pw", u"rc4 text", u"qwertyui", u"");
  EXPECT_EQ(envelope[3] - envelope[8], 6);
  EXPECT_EQ(envelope[4] - envelope[9], 4);
  // RC4 reads no vector: the Base64 text starts at position 11.
  EXPECT_EQ(envelope.size(), 10u + 24u);
  EXPECT_EQ(DecryptEnvelope(envelope, u"pw"), u"rc4 text");
}

TEST(EnvelopeEdges, AVectorCharacterOfTwoBytesInADoubleByteCodePageGivesEmptyText) {
  std::u16string envelope = EncryptEnvelope(kSha1, kRijndael, u"", u"code page", u"ABCDEFGH", u"0123456789abcdef");
  envelope[12] = u'\u4e2d';  // one byte ("?") in code page 1252, two bytes in 936
  SetAnsiCodePage(936);
  const std::u16string in936 = DecryptEnvelope(envelope, u"");
  SetAnsiCodePage(1252);
  const std::u16string in1252 = DecryptEnvelope(envelope, u"");
  SetAnsiCodePage(0);
  EXPECT_EQ(in936, u"");
  EXPECT_EQ(in1252.size(), 9u);  // a changed vector garbles the text but keeps its length
  EXPECT_NE(in1252, u"code page");
}

TEST(EnvelopeEdges, AnOddDecodedLengthLosesItsLastByte) {
  const std::u16string envelope = EncryptEnvelope(kMd5, kRc4, u"", u"abc", u"ABCDEFGH", u"");
  ASSERT_EQ(envelope.size(), 18u);                                 // six bytes: eight Base64 characters, no padding
  EXPECT_EQ(DecryptEnvelope(envelope + u"QQ==", u""), u"abc");     // seven bytes
  EXPECT_EQ(DecryptEnvelope(envelope + u"QUI=", u"").size(), 4u);  // eight bytes
}

TEST(EnvelopeEdges, Sha1WithRijndaelIsAes192OverTheDigestAndFourZeroBytes) {
  const std::u16string salt = u"Sha1+Aes";
  const std::u16string password = u"secret";
  const std::u16string iv = u"ivIVivIVivIVivIV";
  const std::u16string envelope = EncryptEnvelope(kSha1, kRijndael, password, u"twenty bytes", salt, iv);

  auto hash = CreateHashByIndex(kSha1);
  std::uint8_t key[24] = {};  // the digest's 20 bytes, then zeros
  hash->Init();
  hash->UpdateStr(salt + password);
  hash->Final(key);
  std::uint8_t ivBytes[16];
  for (std::size_t i = 0; i < 16; ++i) ivBytes[i] = static_cast<std::uint8_t>(iv[i]);
  auto aes192 = CreateCipherByIndex(kRijndael);
  static_cast<TBlockCipher&>(*aes192).Init(key, 192, ivBytes);
  EXPECT_EQ(envelope.substr(26), aes192->EncryptString(std::u16string_view(u"twenty bytes")));
}

TEST(EnvelopeEdges, EmptyPasswordHashesTheSaltAlone) {
  const std::u16string withEmpty =
      EncryptEnvelope(kMd5, kRijndael, u"", u"salt only", u"ABCDEFGH", u"0123456789abcdef");
  EXPECT_EQ(DecryptEnvelope(withEmpty, u""), u"salt only");
  EXPECT_NE(DecryptEnvelope(withEmpty, std::u16string(1, u'\0')), u"salt only");  // a NUL code unit is two more bytes
}

TEST(EnvelopeEdges, RandomSaltsAndVectorsDiffer) {
  const std::u16string a = EncryptEnvelope(kSha512, kRijndael, u"pw", u"same");
  const std::u16string b = EncryptEnvelope(kSha512, kRijndael, u"pw", u"same");
  EXPECT_NE(a.substr(0, 8), b.substr(0, 8));
  EXPECT_NE(a.substr(10, 16), b.substr(10, 16));
  EXPECT_EQ(DecryptEnvelope(a, u"pw"), u"same");
  EXPECT_EQ(DecryptEnvelope(b, u"pw"), u"same");
}

TEST(EnvelopeWriter, RefusesSaltsAndVectorsThatBreakTheRules) {
  struct Case {
    const char* why;
    int hash;
    int cipher;
    std::u16string salt;
    std::u16string iv;
  };
  const Case cases[] = {
      {"short salt", 0, kRijndael, u"ABCDEFG", u"0123456789abcdef"},
      {"long salt", 0, kRijndael, u"ABCDEFGHI", u"0123456789abcdef"},
      {"non-ASCII salt", 0, kRijndael, u"ABCDEFG\u00e9", u"0123456789abcdef"},
      {"control character", 0, kRijndael, u"ABC\tEFGH", u"0123456789abcdef"},
      {"cipher partner below printable", 0, kRc4, u"ABC#EFGH", u""},
      {"hash partner below printable", kSha512, kBlowfish, u"ABCD!FGH", u"01234567"},
      {"short vector", 0, kRijndael, u"ABCDEFGH", u"0123456789abcde"},
      {"vector for a 64-bit block", 0, kBlowfish, u"ABCDEFGH", u"0123456789abcdef"},
      {"non-ASCII vector", 0, kBlowfish, u"ABCDEFGH", u"0123456\u4e2d"},
      {"hash index", 5, kRijndael, u"ABCDEFGH", u"0123456789abcdef"},
      {"cipher index", 0, 9, u"ABCDEFGH", u"0123456789abcdef"},
  };
  for (const Case& c : cases) {
    EXPECT_THROW(EncryptEnvelope(c.hash, c.cipher, u"", u"x", c.salt, c.iv), ECipher) << c.why;
  }
  EXPECT_NO_THROW(EncryptEnvelope(0, kRc4, u"", u"x", u"ABC&EFGH", u"ignored for RC4"));
}

TEST(SecureRandom, FillsEveryByte) {
  // 64 random bytes are all zero with probability 2^-512.
  std::vector<std::uint8_t> bytes(64, 0);
  FillSecureRandom(bytes.data(), bytes.size());
  EXPECT_NE(bytes, std::vector<std::uint8_t>(64, 0));
}

}  // namespace
}  // namespace setup
