// Known answers for the modes of Rijndael and for RC4, in both directions: NIST SP 800-38A,
// RFC 6229, and cross-checks made once with OpenSSL for the key sizes only this suite accepts
// (AES with a 160-bit key). The single blocks of every block cipher are in data/block/.
#include <gtest/gtest.h>

#include <vector>

#include "Hex.h"
#include "crypto/Blowfish.h"
#include "crypto/Rc4.h"
#include "crypto/Rijndael.h"

namespace setup {
namespace {

using testing_support::FromHex;
using testing_support::ToHex;

std::uint32_t Bits(const std::vector<std::uint8_t>& key) { return static_cast<std::uint32_t>(key.size() * 8); }

TEST(Rijndael, RoundsFollowThePaddedKeyLength) {
  const std::vector<std::uint8_t> key(32, 7);
  TRijndael cipher;
  for (auto [bits, rounds] :
       {std::pair{8u, 10}, {128u, 10}, {132u, 10}, {136u, 12}, {160u, 12}, {196u, 12}, {200u, 14}, {256u, 14}}) {
    cipher.Init(key.data(), bits);
    EXPECT_EQ(cipher.Rounds(), rounds) << bits;
  }
}

// NIST SP 800-38A, the mode examples for AES.
struct ModeCase {
  const char* name;
  TCipherMode mode;
  const char* key;
  const char* iv;
  const char* plain;
  const char* cipher;
};

constexpr const char* kPlain4 =
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710";
constexpr const char* kKey128 = "2b7e151628aed2a6abf7158809cf4f3c";
constexpr const char* kKey192 = "8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b";
constexpr const char* kKey256 = "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4";
constexpr const char* kIv = "000102030405060708090a0b0c0d0e0f";

// clang-format off
const ModeCase kModeCases[] = {
    {"Cfb8Aes128", cmCFB8bit, kKey128, kIv, "6bc1bee22e409f96e93d7e117393172aae2d", "3b79424c9c0dd436bace9e0ed4586a4f32b9"},
    {"Cfb8Aes192", cmCFB8bit, kKey192, kIv, "6bc1bee22e409f96e93d7e117393172aae2d", "cda2521ef0a905ca44cd057cbf0d47a0678a"},
    {"Cfb8Aes256", cmCFB8bit, kKey256, kIv, "6bc1bee22e409f96e93d7e117393172aae2d", "dc1f1a8520a64db55fcc8ac554844e889700"},
    {"CbcAes128", cmCBC, kKey128, kIv, kPlain4,
     "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b273bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7"},
    {"Cfb128Aes128", cmCFBblock, kKey128, kIv, kPlain4,
     "3b3fd92eb72dad20333449f8e83cfb4ac8a64537a0b3a93fcde3cdad9f1ce58b26751f67a3cbb140b1808cf187a4f4dfc04b05357c5d1c0eeac4c66f9ff7f2e6"},
    {"OfbAes128", cmOFB, kKey128, kIv, kPlain4,
     "3b3fd92eb72dad20333449f8e83cfb4a7789508d16918f03f53c52dac54ed8259740051e9c5fecf64344f7a82260edcc304c6528f659c77866a510d9c1d6ae5e"},
    {"CtrAes128", cmCTR, kKey128, "f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff", kPlain4,
     "874d6191b620e3261bef6864990db6ce9806f66b7970fdff8617187bb9fffdff5ae4df3edbd5d35e5b4f09020db03eab1e031dda2fbe03d1792170a0f3009cee"},
};
// clang-format on

class RijndaelModes : public ::testing::TestWithParam<ModeCase> {
 protected:
  void SetUp() override {
    key_ = FromHex(GetParam().key);
    iv_ = FromHex(GetParam().iv);
    plain_ = FromHex(GetParam().plain);
    cipherText_ = FromHex(GetParam().cipher);
    cipher_.fCipherMode = GetParam().mode;
  }
  void Init() { cipher_.Init(key_.data(), Bits(key_), iv_.data()); }

  TRijndael cipher_;
  std::vector<std::uint8_t> key_, iv_, plain_, cipherText_;
};

TEST_P(RijndaelModes, EncryptsToTheKnownText) {
  Init();
  std::vector<std::uint8_t> out(plain_.size());
  cipher_.Encrypt(plain_.data(), out.data(), out.size());
  EXPECT_EQ(ToHex(out), GetParam().cipher);
}

TEST_P(RijndaelModes, DecryptsTheKnownText) {
  Init();
  std::vector<std::uint8_t> out(cipherText_.size());
  cipher_.Decrypt(cipherText_.data(), out.data(), out.size());
  EXPECT_EQ(ToHex(out), GetParam().plain);
}

TEST_P(RijndaelModes, WorksInPlaceAndAcrossCallsOfWholeBlocks) {
  Init();
  std::vector<std::uint8_t> data = cipherText_;
  const std::size_t first = GetParam().mode == cmCFB8bit ? 5 : 16;  // the chaining carries over
  cipher_.Decrypt(data.data(), data.data(), first);
  cipher_.Decrypt(data.data() + first, data.data() + first, data.size() - first);
  EXPECT_EQ(ToHex(data), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(Sp800_38a, RijndaelModes, ::testing::ValuesIn(kModeCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(Rijndael, Cfb8WithA160BitKeyIsAes192WithZeroPadding) {
  // OpenSSL aes-192-cfb8 with key 000102...13 00000000.
  const auto key = FromHex("000102030405060708090a0b0c0d0e0f10111213");
  const auto iv = FromHex(kIv);
  const auto plain = FromHex("6bc1bee22e409f96e93d7e117393172aae2d");
  TRijndael cipher;
  cipher.Init(key.data(), 160, iv.data());
  std::vector<std::uint8_t> out(plain.size());
  cipher.EncryptCFB8bit(plain.data(), out.data(), out.size());
  EXPECT_EQ(ToHex(out), "6ce95ac8de61c0e20c8d6b8ce08047e3edb2");
  cipher.Reset();
  cipher.DecryptCFB8bit(out.data(), out.data(), out.size());
  EXPECT_EQ(ToHex(out), "6bc1bee22e409f96e93d7e117393172aae2d");
}

// RFC 6229: keystream at offsets 0, 240 and 4080 (32 bytes each).
struct Rc4Case {
  const char* key;
  const char* at0;
  const char* at240;
  const char* at4080;
};

// clang-format off
const Rc4Case kRc4Cases[] = {
    {"0102030405", "b2396305f03dc027ccc3524a0a1118a86982944f18fc82d589c403a47a0d0919", "28cb1132c96ce286421dcaadb8b69eae1cfcf62b03eddb641d77dfcf7f8d8c93", "068326a2118416d21f9d04b2cd1ca050ff25b58995996707e51fbdf08b34d875"},
    {"01020304050607", "293f02d47f37c9b633f2af5285feb46be620f1390d19bd84e2e0fd752031afc1", "914f02531c9218810df60f67e338154cd0fdb583073ce85ab83917740ec011d5", "f3172ceffc3b3d997c85ccd5af1a950ce74b0b9731227fd37c0ec08a47ddd8b8"},
    {"0102030405060708", "97ab8a1bf0afb96132f2f67258da15a88263efdb45c4a18684ef87e6b19e5b09", "9636ebc9841926f4f7d1f362bddf6e18d0a990ff2c05fef5b90373c9ff4b870a", "d5fa5a3469d29aaaf83d23589db8c85b3fb46e2c8f0f068edce8cdcd7dfc5862"},
    {"0102030405060708090a", "ede3b04643e586cc907dc2185170990203516ba78f413beb223aa5d4d2df6711", "3cfd6cb58ee0fdde640176ad0000044d48532b21fb6079c9114c0ffd9c04a1ad", "1f135ed14ce60a91369d2322bef25e3c08b6be45124a43e2eb77953f84dc8553"},
    {"0102030405060708090a0b0c0d0e0f10", "9ac7cc9a609d1ef7b2932899cde41b975248c4959014126a6e8a84f11d1a9e1c", "065902e4b620f6cc36c8589f66432f2bd39d566bc6bce3010768151549f3873f", "ff38265c1642c1abe8d3c2fe5e572bf8a36a4c301ae8ac13610ccbc12256cacc"},
    {"0102030405060708090a0b0c0d0e0f101112131415161718", "0595e57fe5f0bb3c706edac8a4b2db11dfde31344a1af769c74f070aee9e2326", "b06b9b1e195d13d8f4a7995c4553ac056bd2378ec341c9a42f37ba79f88a32ff", "29a0b8aed54a132324c62e423f54b4c83cb0f3b5020a98b82af9fe154484a168"},
    {"0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20", "eaa6bd25880bf93d3f5d1e4ca2611d91cfa45c9f7e714b54bdfa80027cb14380", "114ae344ded71b35f2e60febad727fd802e1e7056b0f623900496422943e97b6", "a13a7c79c7e119b5ab0296ab28c300b9f3e4c0a2e02d1d01f7f0a74618af2b48"},
};
// clang-format on

class Rc4Stream : public ::testing::TestWithParam<Rc4Case> {};

TEST_P(Rc4Stream, OneCallGivesTheStandardKeystream) {
  const auto key = FromHex(GetParam().key);
  TRc4 cipher;
  cipher.Init(key.data(), Bits(key));
  std::vector<std::uint8_t> stream(4112, 0);
  cipher.Encrypt(stream.data(), stream.data(), stream.size());
  EXPECT_EQ(ToHex(stream.data(), 32), GetParam().at0);
  EXPECT_EQ(ToHex(stream.data() + 240, 32), GetParam().at240);
  EXPECT_EQ(ToHex(stream.data() + 4080, 32), GetParam().at4080);
}

TEST_P(Rc4Stream, DecryptAfterResetUndoesTheStream) {
  const auto key = FromHex(GetParam().key);
  auto data = FromHex(GetParam().at0);  // the keystream XOR zeros
  TRc4 cipher;
  cipher.Init(key.data(), Bits(key));
  std::vector<std::uint8_t> scratch(7);
  cipher.Decrypt(scratch.data(), scratch.data(), scratch.size());  // moves the permutation on
  cipher.Reset();
  cipher.Decrypt(data.data(), data.data(), data.size());
  EXPECT_EQ(ToHex(data), std::string(64, '0'));
}

INSTANTIATE_TEST_SUITE_P(Rfc6229, Rc4Stream, ::testing::ValuesIn(kRc4Cases));

TEST(Rc4, EachCallRestartsTheStreamIndicesOverTheCarriedPermutation) {
  const auto key = FromHex("0102030405");
  TRc4 whole;
  TRc4 split;
  whole.Init(key.data(), 40);
  split.Init(key.data(), 40);
  std::vector<std::uint8_t> a(32, 0);
  std::vector<std::uint8_t> b(32, 0);
  whole.Encrypt(a.data(), a.data(), 32);
  split.Encrypt(b.data(), b.data(), 16);
  split.Encrypt(b.data() + 16, b.data() + 16, 16);
  EXPECT_EQ(ToHex(a.data(), 16), ToHex(b.data(), 16));
  EXPECT_NE(ToHex(a.data() + 16, 16), ToHex(b.data() + 16, 16));
}

// The UTF-16 string operations, with OpenSSL's aes-128-cfb8 / rc4 over the text's
// little-endian bytes as the expected ciphertext.
TEST(CipherStrings, RijndaelEncryptStringIsCfb8OverLittleEndianBytes) {
  const auto key = FromHex(kKey128);
  const auto iv = FromHex(kIv);
  TRijndael cipher;
  cipher.fCipherMode = cmCBC;  // not consulted by the string operations
  cipher.Init(key.data(), 128, iv.data());
  EXPECT_EQ(cipher.EncryptString(std::u16string_view(u"Setup \u5b89\u88c5")), u"A61o3B/SbUBhi5+i32SMOA==");
  cipher.Reset();
  EXPECT_EQ(cipher.DecryptString(std::u16string_view(u"A61o3B/SbUBhi5+i32SMOA==")), u"Setup \u5b89\u88c5");
}

TEST(CipherStrings, Rc4EncryptStringIsTheStreamOverLittleEndianBytes) {
  const auto key = FromHex("0102030405");
  TRc4 cipher;
  cipher.Init(key.data(), 40);
  EXPECT_EQ(cipher.EncryptString(std::u16string_view(u"Setup \u5b89\u88c5")), u"4TkGBYQ9tSe8w3JKg0rdIA==");
  cipher.Reset();
  EXPECT_EQ(cipher.DecryptString(std::u16string_view(u"4TkGBYQ9tSe8w3JKg0rdIA==")), u"Setup \u5b89\u88c5");
}

TEST(CipherStrings, EightBitFormsRoundTripThroughBase64) {
  const auto key = FromHex(kKey128);
  TRijndael cipher;
  cipher.Init(key.data(), 128);
  const std::string encrypted = cipher.EncryptString(std::string_view("plain bytes"));
  EXPECT_EQ(encrypted.size(), 16u);
  cipher.Reset();
  EXPECT_EQ(cipher.DecryptString(std::string_view(encrypted)), "plain bytes");
}

}  // namespace
}  // namespace setup

namespace setup {
namespace {

// Four bits pass the key-size rule but hold no whole key byte. Blowfish and RC4 cycle over the
// key bytes, so they refuse it rather than divide by zero; Rijndael pads it to an all-zero key.
TEST(KeyWithoutWholeBytes, CyclicSchedulesRefuseIt) {
  const std::uint8_t key[1] = {0xAB};
  TBlowfish blowfish;
  TRc4 rc4;
  EXPECT_THROW(blowfish.Init(key, 4), ECipher);
  EXPECT_FALSE(blowfish.Initialized());
  EXPECT_THROW(rc4.Init(key, 4), ECipher);
  EXPECT_FALSE(rc4.Initialized());
}

TEST(KeyWithoutWholeBytes, RijndaelUsesTheAllZeroKey) {
  const std::uint8_t key[1] = {0xAB};
  const std::uint8_t zeroKey[16] = {};
  const std::uint8_t plain[16] = {};
  TRijndael fourBits;
  TRijndael zero;
  fourBits.Init(key, 4);
  zero.Init(zeroKey, 128);
  std::uint8_t a[16];
  std::uint8_t b[16];
  fourBits.EncryptECB(plain, a);
  zero.EncryptECB(plain, b);
  // FIPS 197 / AESAVS: AES-128 with the zero key on the zero block.
  EXPECT_EQ(ToHex(a, 16), "66e94bd4ef8a2c3b884cfa59ca342b2e");
  EXPECT_EQ(ToHex(b, 16), ToHex(a, 16));
}

}  // namespace
}  // namespace setup
