// One conformance suite for CAST-128, CAST-256, DES, triple DES, Twofish and IDEA, run through
// the block-cipher base: the class queries, the life cycle and the key-size rule.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Hex.h"
#include "crypto/Cast128.h"
#include "crypto/Cast256.h"
#include "crypto/Des.h"
#include "crypto/Idea.h"
#include "crypto/Twofish.h"

namespace setup {
namespace {

using testing_support::ToHex;

struct LeafCase {
  const char* name;
  std::function<std::unique_ptr<TCipher>()> make;
  int id;
  const char16_t* algorithm;
  int maxKeyBits;
  int blockBits;
};

// Owned through the root, whose destructor is public; used through the block-cipher base.
template <typename Cipher>
std::unique_ptr<TCipher> Make() {
  return std::make_unique<Cipher>();
}

const LeafCase kLeaves[] = {
    {"Cast128", Make<TCast128>, 7, u"Cast128", 128, 64},
    {"Cast256", Make<TCast256>, 15, u"Cast256", 256, 128},
    {"Des", Make<TDes>, 23, u"DES", 64, 64},
    {"TripleDes", Make<T3Des>, 24, u"3DES", 192, 64},
    {"Twofish", Make<TTwofish>, 6, u"Twofish", 256, 128},
    {"Idea", Make<TIdea>, 12, u"IDEA", 128, 64},
};

// A key longer than any cipher reads, with no two bytes alike.
std::vector<std::uint8_t> DistinctKey() {
  std::vector<std::uint8_t> key(33);
  for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(0x31 + 7 * i);
  return key;
}

class BlockCipherLeaf : public ::testing::TestWithParam<LeafCase> {
 protected:
  std::unique_ptr<TCipher> owner_ = GetParam().make();
  TBlockCipher* cipher_ = dynamic_cast<TBlockCipher*>(owner_.get());
  std::vector<std::uint8_t> key_ = DistinctKey();

  std::size_t BlockBytes() const { return static_cast<std::size_t>(GetParam().blockBits / 8); }

  std::string Encipher(TBlockCipher& cipher, std::uint8_t fill = 0x6B) const {
    const std::vector<std::uint8_t> plain(BlockBytes(), fill);
    std::vector<std::uint8_t> out(BlockBytes());
    cipher.EncryptECB(plain.data(), out.data());
    return ToHex(out);
  }

  std::string EncipherWithFreshCipher(const std::vector<std::uint8_t>& key, std::uint32_t bits) const {
    auto fresh = GetParam().make();
    fresh->Init(key.data(), bits);
    return Encipher(dynamic_cast<TBlockCipher&>(*fresh));
  }
};

template <typename Action>
void ExpectCipherError(Action action, const std::u16string& message) {
  try {
    action();
    ADD_FAILURE() << "no exception";
  } catch (const ECipher& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

TEST_P(BlockCipherLeaf, AnswersTheClassQueries) {
  EXPECT_EQ(cipher_->GetId(), GetParam().id);
  EXPECT_EQ(cipher_->GetAlgorithm(), GetParam().algorithm);
  EXPECT_EQ(cipher_->GetMaxKeySize(), GetParam().maxKeyBits);
  EXPECT_EQ(cipher_->GetBlockSize(), GetParam().blockBits);
  EXPECT_EQ(cipher_->BlockBytes(), BlockBytes());
}

TEST_P(BlockCipherLeaf, RefusesTheBareBlockUntilInitialised) {
  std::vector<std::uint8_t> block(BlockBytes(), 0);
  EXPECT_FALSE(cipher_->Initialized());
  EXPECT_THROW(cipher_->EncryptECB(block.data(), block.data()), EBlockCipher);
  ExpectCipherError([&] { cipher_->DecryptECB(block.data(), block.data()); }, u"Cipher not initialized");
}

TEST_P(BlockCipherLeaf, RejectsKeySizesOutsideTheRule) {
  const auto max = static_cast<std::uint32_t>(GetParam().maxKeyBits);
  for (std::uint32_t bits : {0u, 6u, 62u, max + 4, max + 8}) {
    cipher_->Init(key_.data(), 40);
    ExpectCipherError([&] { cipher_->Init(key_.data(), bits); }, u"Invalid key size");
    // The old key is burnt before the size is checked.
    EXPECT_FALSE(cipher_->Initialized()) << bits;
    std::vector<std::uint8_t> block(BlockBytes(), 0);
    EXPECT_THROW(cipher_->EncryptECB(block.data(), block.data()), EBlockCipher) << bits;
  }
}

TEST_P(BlockCipherLeaf, EverySizeOfTheRuleDeciphersWhatItEnciphers) {
  const std::vector<std::uint8_t> plain(BlockBytes(), 0xA5);
  for (std::uint32_t bits = 4; bits <= static_cast<std::uint32_t>(GetParam().maxKeyBits); bits += 4) {
    cipher_->Init(key_.data(), bits);
    std::vector<std::uint8_t> block(BlockBytes());
    cipher_->EncryptECB(plain.data(), block.data());
    EXPECT_NE(block, plain) << bits;
    cipher_->DecryptECB(block.data(), block.data());
    EXPECT_EQ(block, plain) << bits;
  }
}

// Setup reads exactly size / 8 bytes: changing the first unread byte changes nothing, changing
// the last read byte (its top bit: DES ignores the low one) changes the cipher.
TEST_P(BlockCipherLeaf, ReadsExactlyTheWholeKeyBytesOfTheSize) {
  for (std::uint32_t bytes = 1; bytes * 8 <= static_cast<std::uint32_t>(GetParam().maxKeyBits); ++bytes) {
    const std::uint32_t bits = bytes * 8;
    const std::string reference = EncipherWithFreshCipher(key_, bits);

    auto unread = key_;
    unread[bytes] ^= 0xFF;
    EXPECT_EQ(EncipherWithFreshCipher(unread, bits), reference) << bits;

    auto lastRead = key_;
    lastRead[bytes - 1] ^= 0x80;
    EXPECT_NE(EncipherWithFreshCipher(lastRead, bits), reference) << bits;
  }
}

TEST_P(BlockCipherLeaf, InitWithoutVectorStartsFromTheEncipheredZeroBlock) {
  cipher_->Init(key_.data(), 64);
  const std::vector<std::uint8_t> zero(BlockBytes(), 0);
  std::vector<std::uint8_t> expected(BlockBytes());
  cipher_->EncryptECB(zero.data(), expected.data());
  std::vector<std::uint8_t> iv(BlockBytes());
  cipher_->GetIV(iv.data());
  EXPECT_EQ(ToHex(iv), ToHex(expected));
}

// A second Init, with a shorter key of another length class, leaves nothing of the first.
TEST_P(BlockCipherLeaf, ReinitialisingMatchesAFreshCipher) {
  auto otherKey = key_;
  for (auto& b : otherKey) b = static_cast<std::uint8_t>(b ^ 0x5C);
  cipher_->Init(otherKey.data(), static_cast<std::uint32_t>(GetParam().maxKeyBits));
  cipher_->Init(key_.data(), 40);
  EXPECT_EQ(Encipher(*cipher_), EncipherWithFreshCipher(key_, 40));
}

TEST_P(BlockCipherLeaf, BurnUninitialisesAndTheKeyCanBeSetAgain) {
  cipher_->Init(key_.data(), 64);
  const std::string before = Encipher(*cipher_);
  cipher_->Burn();
  EXPECT_FALSE(cipher_->Initialized());
  std::vector<std::uint8_t> block(BlockBytes(), 0);
  EXPECT_THROW(cipher_->EncryptECB(block.data(), block.data()), EBlockCipher);
  EXPECT_THROW(cipher_->GetIV(block.data()), EBlockCipher);
  cipher_->Init(key_.data(), 64);
  EXPECT_EQ(Encipher(*cipher_), before);
}

TEST_P(BlockCipherLeaf, DecipheringInPlaceMatchesSeparateBuffers) {
  cipher_->Init(key_.data(), 64);
  std::vector<std::uint8_t> block(BlockBytes(), 0x3C);
  std::vector<std::uint8_t> separate(BlockBytes());
  cipher_->DecryptECB(block.data(), separate.data());
  cipher_->DecryptECB(block.data(), block.data());
  EXPECT_EQ(block, separate);
}

TEST_P(BlockCipherLeaf, SelfTestPasses) { EXPECT_TRUE(cipher_->SelfTest()); }

INSTANTIATE_TEST_SUITE_P(Leaves, BlockCipherLeaf, ::testing::ValuesIn(kLeaves),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
}  // namespace setup
