// One conformance suite for every cipher of the suite, through the base interface: the class
// queries, the life cycle, the key-size rule, the modes; and every block cipher's known answers
// from data/block/<cipher>.tsv, in both directions.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "BlockVectors.h"
#include "Hex.h"
#include "Tsv.h"
#include "crypto/BlockCipher.h"
#include "crypto/Suite.h"

namespace setup {
namespace {

using testing_support::FromHex;
using testing_support::ToHex;

// What each cipher must answer: the one table of the ciphers' facts in the tests.
struct CipherFacts {
  int index;
  const char* name;
  int id;
  const char16_t* algorithm;
  int blockBits;  // 0: stream cipher
  int maxKeyBits;
  int smallestKeyBits;  // 8 where the schedule cycles over whole key bytes and so refuses 4 bits
};

const CipherFacts kCiphers[] = {
    {0, "Blowfish", 5, u"Blowfish", 64, 448, 8}, {1, "Cast128", 7, u"Cast128", 64, 128, 4},
    {2, "Cast256", 15, u"Cast256", 128, 256, 4}, {3, "DES", 23, u"DES", 64, 64, 4},
    {4, "TripleDES", 24, u"3DES", 64, 192, 4},   {5, "Rijndael", 9, u"Rijndael", 128, 256, 4},
    {6, "RC4", 19, u"RC4", 0, 2048, 8},          {7, "Twofish", 6, u"Twofish", 128, 256, 4},
    {8, "IDEA", 12, u"IDEA", 64, 128, 4},
};

// Distinct bytes (131 is odd), so no two key positions are alike.
std::vector<std::uint8_t> Pattern(std::size_t size, int seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 131 + static_cast<std::size_t>(seed) * 7 + 1);
  return bytes;
}

// One block of fill bytes through the bare block cipher, or 16 of them through a stream cipher's
// keystream from its start.
std::string Encipher(TCipher& cipher) {
  if (auto* block = cipher.AsBlockCipher()) {
    const std::vector<std::uint8_t> plain(block->BlockBytes(), 0x6B);
    std::vector<std::uint8_t> out(block->BlockBytes());
    block->EncryptECB(plain.data(), out.data());
    return ToHex(out);
  }
  std::vector<std::uint8_t> data(16, 0x6B);
  cipher.Reset();
  cipher.Encrypt(data.data(), data.data(), data.size());
  return ToHex(data);
}

template <typename Action>
void ExpectCipherError(Action action, const std::u16string& message, const std::string& what) {
  try {
    action();
    ADD_FAILURE() << what << ": no exception";
  } catch (const ECipher& e) {
    EXPECT_EQ(e.Message(), message) << what;
  }
}

class CipherConformance : public ::testing::TestWithParam<CipherFacts> {
 protected:
  void SetUp() override {
    cipher_ = CreateCipherByIndex(GetParam().index);
    if (!cipher_) GTEST_SKIP() << GetParam().name << " is not part of this build yet";
    block_ = cipher_->AsBlockCipher();
  }
  std::size_t BlockBytes() const { return static_cast<std::size_t>(GetParam().blockBits / 8); }
  std::uint32_t MaxBits() const { return static_cast<std::uint32_t>(GetParam().maxKeyBits); }
  std::uint32_t SomeBits() const { return 64 <= MaxBits() ? 64 : MaxBits(); }

  std::string EncipherWithFreshCipher(const std::vector<std::uint8_t>& key, std::uint32_t bits) const {
    auto fresh = CreateCipherByIndex(GetParam().index);
    fresh->Init(key.data(), bits);
    return Encipher(*fresh);
  }

  std::unique_ptr<TCipher> cipher_;
  TBlockCipher* block_ = nullptr;                    // not owned: cipher_ seen as a block cipher
  std::vector<std::uint8_t> key_ = Pattern(257, 1);  // longer than any cipher reads
};

TEST_P(CipherConformance, AnswersItsClassQueries) {
  EXPECT_EQ(cipher_->GetId(), GetParam().id);
  EXPECT_EQ(cipher_->GetAlgorithm(), GetParam().algorithm);
  EXPECT_EQ(cipher_->GetMaxKeySize(), GetParam().maxKeyBits);
  EXPECT_EQ(block_ != nullptr, GetParam().blockBits != 0);
  if (block_) {
    EXPECT_EQ(block_->GetBlockSize(), GetParam().blockBits);
    EXPECT_EQ(block_->BlockBytes(), BlockBytes());
  }
}

TEST_P(CipherConformance, SelfTestPasses) { EXPECT_TRUE(CipherSelfTest(GetParam().index)); }

TEST_P(CipherConformance, RefusesToWorkWhenNotInitialized) {
  std::uint8_t data[16] = {};
  const auto expectRefusal = [&](auto&& operation, const char* what) {
    try {
      operation();
      ADD_FAILURE() << what << " ran uninitialised";
    } catch (const EBlockCipher& e) {
      EXPECT_EQ(e.Message(), u"Cipher not initialized") << what;
    } catch (const ECipher& e) {
      EXPECT_EQ(e.Message(), u"Cipher not initialized") << what;
      EXPECT_EQ(block_, nullptr) << what << ": a block cipher must raise EBlockCipher";
    }
  };
  for (int round = 0; round < 2; ++round) {  // new, then burnt
    EXPECT_FALSE(cipher_->Initialized());
    expectRefusal([&] { cipher_->Encrypt(data, data, 16); }, "Encrypt");
    expectRefusal([&] { cipher_->Decrypt(data, data, 16); }, "Decrypt");
    if (block_) {
      expectRefusal([&] { block_->EncryptECB(data, data); }, "EncryptECB");
      expectRefusal([&] { block_->DecryptECB(data, data); }, "DecryptECB");
      expectRefusal([&] { block_->Reset(); }, "Reset");
      expectRefusal([&] { block_->SetIV(data); }, "SetIV");
      expectRefusal([&] { block_->GetIV(data); }, "GetIV");
      expectRefusal([&] { block_->DecryptCFB8bit(data, data, 1); }, "DecryptCFB8bit");
      expectRefusal([&] { block_->EncryptCFB8bit(data, data, 1); }, "EncryptCFB8bit");
    }
    cipher_->Init(key_.data(), SomeBits());
    EXPECT_TRUE(cipher_->Initialized());
    cipher_->Burn();
  }
}

TEST_P(CipherConformance, RejectsKeySizesOutsideTheRule) {
  for (std::uint32_t bits : {0u, 2u, 6u, 62u, 130u, MaxBits() + 4, MaxBits() + 8, 0xFFFFFFFCu}) {
    cipher_->Init(key_.data(), SomeBits());
    ExpectCipherError([&] { cipher_->Init(key_.data(), bits); }, u"Invalid key size", std::to_string(bits));
    // The old key is burnt before the size is checked.
    EXPECT_FALSE(cipher_->Initialized()) << bits;
    if (block_) {
      std::vector<std::uint8_t> block(BlockBytes(), 0);
      EXPECT_THROW(block_->EncryptECB(block.data(), block.data()), EBlockCipher) << bits;
    }
  }
}

TEST_P(CipherConformance, EverySizeOfTheRuleDeciphersWhatItEnciphers) {
  const auto smallest = static_cast<std::uint32_t>(GetParam().smallestKeyBits);
  for (std::uint32_t bits = smallest; bits <= MaxBits(); bits += 4) {
    cipher_->Init(key_.data(), bits);
    ASSERT_TRUE(cipher_->Initialized()) << bits;
    const std::u16string text = u"conformance";
    const std::u16string encrypted = cipher_->EncryptString(std::u16string_view(text));
    cipher_->Reset();
    ASSERT_EQ(cipher_->DecryptString(std::u16string_view(encrypted)), text) << bits;
    if (block_) {
      const std::vector<std::uint8_t> plain(BlockBytes(), 0xA5);
      std::vector<std::uint8_t> block(BlockBytes());
      block_->EncryptECB(plain.data(), block.data());
      EXPECT_NE(block, plain) << bits;
      block_->DecryptECB(block.data(), block.data());
      EXPECT_EQ(block, plain) << bits;
    }
  }
}

// Exactly size / 8 bytes are read: changing the first unread byte changes nothing, changing the
// last read byte (its top bit: DES ignores the low one) changes the cipher.
TEST_P(CipherConformance, ReadsExactlyTheWholeKeyBytesOfTheSize) {
  for (std::uint32_t bytes = 1; bytes * 8 <= MaxBits(); ++bytes) {
    const std::uint32_t bits = bytes * 8;
    const std::string reference = EncipherWithFreshCipher(key_, bits);

    auto unread = key_;
    unread[bytes] ^= 0xFF;
    EXPECT_EQ(EncipherWithFreshCipher(unread, bits), reference) << bits;

    auto lastRead = key_;
    lastRead[bytes - 1] ^= 0x80;
    EXPECT_NE(EncipherWithFreshCipher(lastRead, bits), reference) << bits;
  }
  // 12 bits read one byte: whatever follows it in the buffer makes no difference.
  auto other = key_;
  other[1] ^= 0xFF;
  cipher_->Init(key_.data(), 12);
  const std::u16string first = cipher_->EncryptString(std::u16string_view(u"twelve bits"));
  cipher_->Init(other.data(), 12);
  EXPECT_EQ(cipher_->EncryptString(std::u16string_view(u"twelve bits")), first);
  cipher_->Init(other.data(), 16);
  EXPECT_NE(cipher_->EncryptString(std::u16string_view(u"twelve bits")), first);
}

TEST_P(CipherConformance, InitWithoutVectorUsesTheEncipheredZeroBlock) {
  if (!block_) GTEST_SKIP() << "stream cipher";
  const std::size_t b = BlockBytes();
  std::vector<std::uint8_t> iv(b);
  std::vector<std::uint8_t> zeroEnciphered(b);
  for (std::uint32_t bits : {SomeBits(), MaxBits()}) {
    block_->Init(key_.data(), bits);
    block_->GetIV(iv.data());
    const std::vector<std::uint8_t> zero(b, 0);
    block_->EncryptECB(zero.data(), zeroEnciphered.data());
    EXPECT_EQ(ToHex(iv), ToHex(zeroEnciphered)) << bits;
  }
  // And the same IV given explicitly gives the same stream.
  const auto plain = Pattern(33, 3);
  std::vector<std::uint8_t> implicitOut(plain.size());
  std::vector<std::uint8_t> explicitOut(plain.size());
  block_->EncryptCFB8bit(plain.data(), implicitOut.data(), plain.size());
  block_->Init(key_.data(), MaxBits(), zeroEnciphered.data());
  block_->EncryptCFB8bit(plain.data(), explicitOut.data(), plain.size());
  EXPECT_EQ(implicitOut, explicitOut);
}

TEST_P(CipherConformance, GetIVReturnsTheAdvancedChainingRegister) {
  if (!block_) GTEST_SKIP() << "stream cipher";
  const std::size_t b = BlockBytes();
  const auto iv = Pattern(b, 4);
  const auto cipherText = Pattern(b + 3, 5);
  block_->Init(key_.data(), MaxBits(), iv.data());
  std::vector<std::uint8_t> out(cipherText.size());
  block_->DecryptCFB8bit(cipherText.data(), out.data(), out.size());
  std::vector<std::uint8_t> cv(b);
  block_->GetIV(cv.data());
  // In 8-bit CFB the register holds the last block-size ciphertext bytes.
  EXPECT_EQ(cv, std::vector<std::uint8_t>(cipherText.end() - static_cast<long>(b), cipherText.end()));
  block_->SetIV(iv.data());
  block_->GetIV(cv.data());
  EXPECT_EQ(cv, iv);
}

TEST_P(CipherConformance, DecipheringABlockInPlaceMatchesSeparateBuffers) {
  if (!block_) GTEST_SKIP() << "stream cipher";
  block_->Init(key_.data(), SomeBits());
  std::vector<std::uint8_t> block(BlockBytes(), 0x3C);
  std::vector<std::uint8_t> separate(BlockBytes());
  block_->DecryptECB(block.data(), separate.data());
  block_->DecryptECB(block.data(), block.data());
  EXPECT_EQ(block, separate);
}

TEST_P(CipherConformance, Cfb8InPlaceMatchesSeparateBuffersAndInverts) {
  if (!block_) GTEST_SKIP() << "stream cipher";
  const auto iv = Pattern(BlockBytes(), 6);
  const auto plain = Pattern(77, 7);
  block_->Init(key_.data(), MaxBits(), iv.data());
  std::vector<std::uint8_t> separate(plain.size());
  block_->EncryptCFB8bit(plain.data(), separate.data(), plain.size());
  block_->Reset();
  std::vector<std::uint8_t> inPlace = plain;
  block_->EncryptCFB8bit(inPlace.data(), inPlace.data(), inPlace.size());
  EXPECT_EQ(inPlace, separate);
  EXPECT_NE(inPlace, plain);
  block_->Reset();
  block_->DecryptCFB8bit(inPlace.data(), inPlace.data(), 10);  // the register carries over calls
  block_->DecryptCFB8bit(inPlace.data() + 10, inPlace.data() + 10, inPlace.size() - 10);
  EXPECT_EQ(inPlace, plain);
}

TEST_P(CipherConformance, StringOperationsUse8BitCfbWhateverTheMode) {
  if (!block_) GTEST_SKIP() << "stream cipher";
  const auto iv = Pattern(BlockBytes(), 8);
  const std::u16string text = u"Mode \u4e0d\u5173\u5fc3";
  block_->Init(key_.data(), MaxBits(), iv.data());
  block_->fCipherMode = cmCFB8bit;
  const std::u16string inCfb8 = block_->EncryptString(std::u16string_view(text));
  for (TCipherMode mode : {cmCBC, cmCFBblock, cmOFB, cmCTR}) {
    block_->fCipherMode = mode;
    block_->Reset();
    EXPECT_EQ(block_->EncryptString(std::u16string_view(text)), inCfb8) << mode;
    block_->Reset();
    EXPECT_EQ(block_->DecryptString(std::u16string_view(inCfb8)), text) << mode;
  }
}

TEST_P(CipherConformance, EveryModeInvertsItselfWithPartialBlocks) {
  if (!block_) GTEST_SKIP() << "stream cipher";
  const auto iv = Pattern(BlockBytes(), 9);
  const auto plain = Pattern(5 * BlockBytes() + 3, 10);
  for (TCipherMode mode : {cmCBC, cmCFB8bit, cmCFBblock, cmOFB, cmCTR}) {
    block_->fCipherMode = mode;
    block_->Init(key_.data(), MaxBits(), iv.data());
    std::vector<std::uint8_t> data = plain;
    block_->Encrypt(data.data(), data.data(), data.size());
    EXPECT_NE(data, plain) << mode;
    block_->Reset();
    block_->Decrypt(data.data(), data.data(), data.size());
    EXPECT_EQ(data, plain) << mode;
  }
}

// A second Init leaves nothing of the first: with the same length, and with a shorter key of
// another length class.
TEST_P(CipherConformance, SecondInitStartsFromTheNewKeyOnly) {
  const std::u16string text = u"again";
  const auto iv = Pattern(16, 11);
  const auto other = Pattern(257, 12);
  cipher_->Init(key_.data(), MaxBits(), iv.data());
  const std::u16string fresh = cipher_->EncryptString(std::u16string_view(text));
  cipher_->Init(other.data(), MaxBits(), iv.data());
  (void)cipher_->EncryptString(std::u16string_view(text));
  cipher_->Init(key_.data(), MaxBits(), iv.data());
  EXPECT_EQ(cipher_->EncryptString(std::u16string_view(text)), fresh);

  cipher_->Init(other.data(), MaxBits());
  cipher_->Init(key_.data(), 40);
  EXPECT_EQ(Encipher(*cipher_), EncipherWithFreshCipher(key_, 40));
}

TEST_P(CipherConformance, BurnUninitialisesAndTheKeyCanBeSetAgain) {
  cipher_->Init(key_.data(), SomeBits());
  const std::string before = Encipher(*cipher_);
  cipher_->Burn();
  EXPECT_FALSE(cipher_->Initialized());
  std::vector<std::uint8_t> block(16, 0);
  if (block_) {
    EXPECT_THROW(block_->EncryptECB(block.data(), block.data()), EBlockCipher);
    EXPECT_THROW(block_->GetIV(block.data()), EBlockCipher);
  } else {
    EXPECT_THROW(cipher_->Encrypt(block.data(), block.data(), block.size()), ECipher);
  }
  cipher_->Init(key_.data(), SomeBits());
  EXPECT_EQ(Encipher(*cipher_), before);
}

INSTANTIATE_TEST_SUITE_P(Suite, CipherConformance, ::testing::ValuesIn(kCiphers),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

// One row of a cipher's known answers.
struct KnownBlock {
  std::string cipher;  // suite name, as the data file is named
  std::string name;
  std::uint32_t keyBits = 0;  // the Init size; the key may hold more bytes, which stay unread
  std::string key;
  std::string plain;
  std::string enciphered;
};

void PrintTo(const KnownBlock& row, std::ostream* os) { *os << row.cipher << ".tsv " << row.name; }

std::vector<KnownBlock> LoadKnownBlocks() {
  std::vector<KnownBlock> rows;
  for (std::size_t f = 0; f < testing_support::kBlockVectorFileCount; ++f) {
    const auto& file = testing_support::kBlockVectorFiles[f];
    for (const auto& fields : testing_support::TsvRows(file.tsv)) {
      KnownBlock row{file.cipher, "", 0, "", "", ""};
      if (fields.size() == 5) {
        row.name = fields[0];
        row.keyBits = static_cast<std::uint32_t>(std::stoul(fields[1]));
        row.key = fields[2];
        row.plain = fields[3];
        row.enciphered = fields[4];
      } else {
        row.name = "MalformedRow" + std::to_string(rows.size());  // fails below, by its name
      }
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

class BlockCipherKnownAnswers : public ::testing::TestWithParam<KnownBlock> {};

TEST_P(BlockCipherKnownAnswers, BothWays) {
  const KnownBlock& row = GetParam();
  ASSERT_FALSE(row.key.empty()) << "a row of " << row.cipher << ".tsv needs five columns";
  const std::u16string cipherName(row.cipher.begin(), row.cipher.end());
  auto owner = CreateCipherByIndex(CipherIndexByName(cipherName));
  auto* cipher = owner ? owner->AsBlockCipher() : nullptr;
  ASSERT_NE(cipher, nullptr) << row.cipher << " names no block cipher of the suite";
  const auto key = FromHex(row.key);
  const auto plain = FromHex(row.plain);
  const auto expected = FromHex(row.enciphered);
  cipher->Init(key.data(), row.keyBits);
  ASSERT_EQ(plain.size(), cipher->BlockBytes());
  std::vector<std::uint8_t> block(plain.size());
  cipher->EncryptECB(plain.data(), block.data());
  EXPECT_EQ(ToHex(block), row.enciphered);
  cipher->DecryptECB(expected.data(), block.data());
  EXPECT_EQ(ToHex(block), row.plain);
}

INSTANTIATE_TEST_SUITE_P(Vectors, BlockCipherKnownAnswers, ::testing::ValuesIn(LoadKnownBlocks()),
                         [](const auto& testInfo) { return testInfo.param.cipher + "_" + testInfo.param.name; });

// Every block cipher of the facts table has its known answers in a data file.
TEST(BlockCipherKnownAnswers, EveryBlockCipherHasADataFile) {
  const auto rows = LoadKnownBlocks();
  for (const CipherFacts& facts : kCiphers) {
    if (facts.blockBits == 0) continue;
    std::size_t count = 0;
    for (const KnownBlock& row : rows) {
      if (CipherIndexByName(std::u16string(row.cipher.begin(), row.cipher.end())) == facts.index) ++count;
    }
    EXPECT_GE(count, 5u) << facts.name;
  }
}

}  // namespace
}  // namespace setup
