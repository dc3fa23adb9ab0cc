#include "crypto/Cast128.h"

#include <algorithm>
#include <cstring>

#include "crypto/Bytes.h"
#include "crypto/CastSBoxes.h"

namespace setup {
namespace {

using bytes::ByteOf;
using cast::kSBox;

constexpr int kShortKeyBytes = 10;  // up to this many key bytes, 12 rounds suffice

// The key schedule works on the key as 16 bytes x0..xF and a scratch copy z0..zF; each step
// replaces one word of one of them with the other's word mixed through S5..S8. Both hold key
// material and are wiped when the schedule is done.
struct ScheduleState {
  std::uint8_t x[16] = {};
  std::uint8_t z[16] = {};

  ScheduleState() = default;
  ~ScheduleState() { SecureWipe(this, sizeof *this); }
  ScheduleState(const ScheduleState&) = delete;
  ScheduleState& operator=(const ScheduleState&) = delete;
};

const auto& S5 = kSBox[4];
const auto& S6 = kSBox[5];
const auto& S7 = kSBox[6];
const auto& S8 = kSBox[7];

// z from x, the first half of each of the four blocks of the schedule.
void MixXIntoZ(ScheduleState& s) noexcept {
  const std::uint8_t* x = s.x;
  std::uint8_t* z = s.z;
  bytes::StoreBE32(z, bytes::LoadBE32(x) ^ S5[x[0xD]] ^ S6[x[0xF]] ^ S7[x[0xC]] ^ S8[x[0xE]] ^ S7[x[0x8]]);
  bytes::StoreBE32(z + 4, bytes::LoadBE32(x + 8) ^ S5[z[0x0]] ^ S6[z[0x2]] ^ S7[z[0x1]] ^ S8[z[0x3]] ^ S8[x[0xA]]);
  bytes::StoreBE32(z + 8, bytes::LoadBE32(x + 12) ^ S5[z[0x7]] ^ S6[z[0x6]] ^ S7[z[0x5]] ^ S8[z[0x4]] ^ S5[x[0x9]]);
  bytes::StoreBE32(z + 12, bytes::LoadBE32(x + 4) ^ S5[z[0xA]] ^ S6[z[0x9]] ^ S7[z[0xB]] ^ S8[z[0x8]] ^ S6[x[0xB]]);
}

// x from z, the second half.
void MixZIntoX(ScheduleState& s) noexcept {
  std::uint8_t* x = s.x;
  const std::uint8_t* z = s.z;
  bytes::StoreBE32(x, bytes::LoadBE32(z + 8) ^ S5[z[0x5]] ^ S6[z[0x7]] ^ S7[z[0x4]] ^ S8[z[0x6]] ^ S7[z[0x0]]);
  bytes::StoreBE32(x + 4, bytes::LoadBE32(z) ^ S5[x[0x0]] ^ S6[x[0x2]] ^ S7[x[0x1]] ^ S8[x[0x3]] ^ S8[z[0x2]]);
  bytes::StoreBE32(x + 8, bytes::LoadBE32(z + 4) ^ S5[x[0x7]] ^ S6[x[0x6]] ^ S7[x[0x5]] ^ S8[x[0x4]] ^ S5[z[0x1]]);
  bytes::StoreBE32(x + 12, bytes::LoadBE32(z + 12) ^ S5[x[0xA]] ^ S6[x[0x9]] ^ S7[x[0xB]] ^ S8[x[0x8]] ^ S6[z[0x3]]);
}

// Four subkeys from the 16 bytes b: four index pairs into S5..S8 and one extra index each.
struct SubkeyPick {
  std::uint8_t a, b, c, d, extra;
};

std::uint32_t Subkey(const std::uint8_t* b, SubkeyPick pick, int box) noexcept {
  return S5[b[pick.a]] ^ S6[b[pick.b]] ^ S7[b[pick.c]] ^ S8[b[pick.d]] ^ kSBox[4 + box][b[pick.extra]];
}

// clang-format off
constexpr SubkeyPick kFromZFirst[4]  = {{0x8, 0x9, 0x7, 0x6, 0x2}, {0xA, 0xB, 0x5, 0x4, 0x6},
                                        {0xC, 0xD, 0x3, 0x2, 0x9}, {0xE, 0xF, 0x1, 0x0, 0xC}};
constexpr SubkeyPick kFromXSecond[4] = {{0x3, 0x2, 0xC, 0xD, 0x8}, {0x1, 0x0, 0xE, 0xF, 0xD},
                                        {0x7, 0x6, 0x8, 0x9, 0x3}, {0x5, 0x4, 0xA, 0xB, 0x7}};
constexpr SubkeyPick kFromZThird[4]  = {{0x3, 0x2, 0xC, 0xD, 0x9}, {0x1, 0x0, 0xE, 0xF, 0xC},
                                        {0x7, 0x6, 0x8, 0x9, 0x2}, {0x5, 0x4, 0xA, 0xB, 0x6}};
constexpr SubkeyPick kFromXFourth[4] = {{0x8, 0x9, 0x7, 0x6, 0x3}, {0xA, 0xB, 0x5, 0x4, 0x7},
                                        {0xC, 0xD, 0x3, 0x2, 0x8}, {0xE, 0xF, 0x1, 0x0, 0xD}};
// clang-format on

// Sixteen 32-bit subkeys; the schedule runs twice, for the masking and the rotation keys.
void SixteenSubkeys(ScheduleState& s, std::uint32_t* out) noexcept {
  MixXIntoZ(s);
  for (int i = 0; i < 4; ++i) out[i] = Subkey(s.z, kFromZFirst[i], i);
  MixZIntoX(s);
  for (int i = 0; i < 4; ++i) out[4 + i] = Subkey(s.x, kFromXSecond[i], i);
  MixXIntoZ(s);
  for (int i = 0; i < 4; ++i) out[8 + i] = Subkey(s.z, kFromZThird[i], i);
  MixZIntoX(s);
  for (int i = 0; i < 4; ++i) out[12 + i] = Subkey(s.x, kFromXFourth[i], i);
}

}  // namespace

// The three round function types cycle 1, 2, 3 by round number, in both directions.
std::uint32_t TCast128::Round(int i, std::uint32_t data) const noexcept {
  const auto& s1 = kSBox[0];
  const auto& s2 = kSBox[1];
  const auto& s3 = kSBox[2];
  const auto& s4 = kSBox[3];
  std::uint32_t t;
  switch (i % 3) {
    case 0:
      t = bytes::Rotl32(Km[i] + data, Kr[i]);
      return ((s1[ByteOf(t, 3)] ^ s2[ByteOf(t, 2)]) - s3[ByteOf(t, 1)]) + s4[ByteOf(t, 0)];
    case 1:
      t = bytes::Rotl32(Km[i] ^ data, Kr[i]);
      return ((s1[ByteOf(t, 3)] - s2[ByteOf(t, 2)]) + s3[ByteOf(t, 1)]) ^ s4[ByteOf(t, 0)];
    default:
      t = bytes::Rotl32(Km[i] - data, Kr[i]);
      return ((s1[ByteOf(t, 3)] + s2[ByteOf(t, 2)]) ^ s3[ByteOf(t, 1)]) - s4[ByteOf(t, 0)];
  }
}

void TCast128::EncryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  std::uint32_t left = bytes::LoadBE32(inData);
  std::uint32_t right = bytes::LoadBE32(inData + 4);
  for (int i = 0; i < rounds_; ++i) {
    const std::uint32_t next = left ^ Round(i, right);
    left = right;
    right = next;
  }
  bytes::StoreBE32(outData, right);
  bytes::StoreBE32(outData + 4, left);
}

void TCast128::DecryptECB(const std::uint8_t* inData, std::uint8_t* outData) {
  RequireInitialized();
  std::uint32_t left = bytes::LoadBE32(inData);
  std::uint32_t right = bytes::LoadBE32(inData + 4);
  for (int i = rounds_ - 1; i >= 0; --i) {
    const std::uint32_t next = left ^ Round(i, right);
    left = right;
    right = next;
  }
  bytes::StoreBE32(outData, right);
  bytes::StoreBE32(outData + 4, left);
}

void TCast128::ScheduleKey(const std::uint8_t* key, std::uint32_t size) {
  const std::size_t keyBytes = std::min<std::size_t>(size / 8, kKeyBytes);
  ScheduleState state;
  std::copy_n(key, keyBytes, state.x);  // the rest stays zero: the padding

  SecureArray<std::uint32_t, 2 * kMaxRounds> subkeys;
  SixteenSubkeys(state, subkeys.data());
  SixteenSubkeys(state, subkeys.data() + kMaxRounds);
  for (int i = 0; i < kMaxRounds; ++i) {
    Km[i] = subkeys[i];
    Kr[i] = static_cast<std::uint8_t>(subkeys[kMaxRounds + i] & 31);
  }
  rounds_ = keyBytes <= kShortKeyBytes ? 12 : kMaxRounds;
}

void TCast128::Burn() {
  Km.Wipe();
  Kr.Wipe();
  rounds_ = 0;
  TBlockCipher::Burn();
}

bool TCast128::SelfTest() {
  // RFC 2144 B.1, the 128-bit key.
  static constexpr std::uint8_t key[16] = {0x01, 0x23, 0x45, 0x67, 0x12, 0x34, 0x56, 0x78,
                                           0x23, 0x45, 0x67, 0x89, 0x34, 0x56, 0x78, 0x9A};
  static constexpr std::uint8_t plain[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  static constexpr std::uint8_t expected[8] = {0x23, 0x8B, 0x4F, 0xE5, 0x84, 0x7E, 0x44, 0xB2};
  TCast128 cipher;
  return KnownAnswerHolds(cipher, key, 128, plain, expected);
}

}  // namespace setup
