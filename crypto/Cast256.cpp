#include "crypto/Cast256.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "crypto/Bytes.h"
#include "crypto/CastSBoxes.h"

namespace setup {
namespace {

using bytes::ByteOf;
using cast::kSBox;

// The three round function types, shared with CAST-128.
std::uint32_t F1(std::uint32_t data, std::uint32_t mask, int rotate) noexcept {
  const std::uint32_t t = bytes::Rotl32(mask + data, rotate);
  return ((kSBox[0][ByteOf(t, 3)] ^ kSBox[1][ByteOf(t, 2)]) - kSBox[2][ByteOf(t, 1)]) + kSBox[3][ByteOf(t, 0)];
}
std::uint32_t F2(std::uint32_t data, std::uint32_t mask, int rotate) noexcept {
  const std::uint32_t t = bytes::Rotl32(mask ^ data, rotate);
  return ((kSBox[0][ByteOf(t, 3)] - kSBox[1][ByteOf(t, 2)]) + kSBox[2][ByteOf(t, 1)]) ^ kSBox[3][ByteOf(t, 0)];
}
std::uint32_t F3(std::uint32_t data, std::uint32_t mask, int rotate) noexcept {
  const std::uint32_t t = bytes::Rotl32(mask - data, rotate);
  return ((kSBox[0][ByteOf(t, 3)] + kSBox[1][ByteOf(t, 2)]) ^ kSBox[2][ByteOf(t, 1)]) - kSBox[3][ByteOf(t, 0)];
}

// The key schedule's own masking and rotation constants: arithmetic progressions from
// 2^30 * sqrt(2) in steps of 2^30 * sqrt(3), and from 19 in steps of 17 modulo 32.
constexpr int kOctaves = 24;
struct ScheduleConstants {
  std::array<std::array<std::uint32_t, 8>, kOctaves> mask{};
  std::array<std::array<std::uint8_t, 8>, kOctaves> rotate{};
};

constexpr ScheduleConstants MakeScheduleConstants() {
  ScheduleConstants c;
  std::uint32_t mask = 0x5A827999;
  std::uint32_t rotate = 19;
  for (int i = 0; i < kOctaves; ++i) {
    for (int j = 0; j < 8; ++j) {
      c.mask[i][j] = mask;
      mask += 0x6ED9EBA1;
      c.rotate[i][j] = static_cast<std::uint8_t>(rotate);
      rotate = (rotate + 17) % 32;
    }
  }
  return c;
}

constexpr ScheduleConstants kSchedule = MakeScheduleConstants();

// The forward octave W(i) on the key words A..H (kappa[0..7]).
void Octave(std::uint32_t* kappa, int i) noexcept {
  const auto& tm = kSchedule.mask[i];
  const auto& tr = kSchedule.rotate[i];
  kappa[6] ^= F1(kappa[7], tm[0], tr[0]);  // G ^= f1(H)
  kappa[5] ^= F2(kappa[6], tm[1], tr[1]);  // F ^= f2(G)
  kappa[4] ^= F3(kappa[5], tm[2], tr[2]);  // E ^= f3(F)
  kappa[3] ^= F1(kappa[4], tm[3], tr[3]);  // D ^= f1(E)
  kappa[2] ^= F2(kappa[3], tm[4], tr[4]);  // C ^= f2(D)
  kappa[1] ^= F3(kappa[2], tm[5], tr[5]);  // B ^= f3(C)
  kappa[0] ^= F1(kappa[1], tm[6], tr[6]);  // A ^= f1(B)
  kappa[7] ^= F2(kappa[0], tm[7], tr[7]);  // H ^= f2(A)
}

// The forward quad-round Q and its mirror QBAR on the block words A..D (beta[0..3]).
void Quad(std::uint32_t* beta, const std::uint32_t* km, const std::uint8_t* kr) noexcept {
  beta[2] ^= F1(beta[3], km[0], kr[0]);  // C ^= f1(D)
  beta[1] ^= F2(beta[2], km[1], kr[1]);  // B ^= f2(C)
  beta[0] ^= F3(beta[1], km[2], kr[2]);  // A ^= f3(B)
  beta[3] ^= F1(beta[0], km[3], kr[3]);  // D ^= f1(A)
}

void QuadBar(std::uint32_t* beta, const std::uint32_t* km, const std::uint8_t* kr) noexcept {
  beta[3] ^= F1(beta[0], km[3], kr[3]);
  beta[0] ^= F3(beta[1], km[2], kr[2]);
  beta[1] ^= F2(beta[2], km[1], kr[1]);
  beta[2] ^= F1(beta[3], km[0], kr[0]);
}

}  // namespace

// Six forward quad-rounds, then six mirrored ones; deciphering runs the subkeys backwards
// with the two kinds exchanged.
void TCast256::EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  std::uint32_t beta[4];
  for (int i = 0; i < 4; ++i) beta[i] = bytes::LoadBE32(inData + 4 * i);
  for (int i = 0; i < kQuadRounds; ++i) {
    if (i < kQuadRounds / 2)
      Quad(beta, &Km[4 * i], &Kr[4 * i]);
    else
      QuadBar(beta, &Km[4 * i], &Kr[4 * i]);
  }
  for (int i = 0; i < 4; ++i) bytes::StoreBE32(outData + 4 * i, beta[i]);
}

void TCast256::DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  std::uint32_t beta[4];
  for (int i = 0; i < 4; ++i) beta[i] = bytes::LoadBE32(inData + 4 * i);
  for (int i = kQuadRounds - 1; i >= 0; --i) {
    if (i >= kQuadRounds / 2)
      Quad(beta, &Km[4 * i], &Kr[4 * i]);
    else
      QuadBar(beta, &Km[4 * i], &Kr[4 * i]);
  }
  for (int i = 0; i < 4; ++i) bytes::StoreBE32(outData + 4 * i, beta[i]);
}

void TCast256::ScheduleKey(const std::uint8_t* key, std::uint32_t size) {
  SecureArray<std::uint8_t, kKeyBytes> padded;
  std::copy_n(key, std::min<std::size_t>(size / 8, kKeyBytes), padded.begin());
  SecureArray<std::uint32_t, 8> kappa;
  for (std::size_t i = 0; i < 8; ++i) kappa[i] = bytes::LoadBE32(&padded[4 * i]);

  for (int i = 0; i < kQuadRounds; ++i) {
    Octave(kappa.data(), 2 * i);
    Octave(kappa.data(), 2 * i + 1);
    // Kr(i) = low five bits of A, C, E, G; Km(i) = H, F, D, B.
    for (int j = 0; j < 4; ++j) {
      Kr[4 * i + j] = static_cast<std::uint8_t>(kappa[2 * j] & 31);
      Km[4 * i + j] = kappa[7 - 2 * j];
    }
  }
}

void TCast256::Burn() {
  Km.Wipe();
  Kr.Wipe();
  TBlockCipher::Burn();
}

bool TCast256::SelfTest() {
  // RFC 2612 appendix A, the 128-bit key.
  static constexpr std::uint8_t key[16] = {0x23, 0x42, 0xBB, 0x9E, 0xFA, 0x38, 0x54, 0x2C,
                                           0x0A, 0xF7, 0x56, 0x47, 0xF2, 0x9F, 0x61, 0x5D};
  static constexpr std::uint8_t plain[16] = {};
  static constexpr std::uint8_t expected[16] = {0xC8, 0x42, 0xA0, 0x89, 0x72, 0xB4, 0x3D, 0x20,
                                                0x83, 0x6C, 0x91, 0xD1, 0xB7, 0x53, 0x0F, 0x6B};
  TCast256 cipher;
  return KnownAnswerHolds(cipher, key, 128, plain, expected);
}

}  // namespace setup
