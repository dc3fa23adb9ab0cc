// Throughput of every cipher of the suite in 8-bit CFB (RC4: its stream) and of every hash,
// over 1 MiB, through the same interfaces the envelope uses.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Text.h"
#include "crypto/BlockCipher.h"
#include "crypto/Suite.h"

namespace {

constexpr std::size_t kBufferBytes = 1 << 20;

void EncryptCipher(benchmark::State& state, int index) {
  auto cipher = setup::CreateCipherByIndex(index);
  std::vector<std::uint8_t> key(64, 0x5C);
  const auto bits = static_cast<std::uint32_t>(std::min(cipher->GetMaxKeySize(), 256));
  std::vector<std::uint8_t> buffer(kBufferBytes, 0xA7);
  auto* block = cipher->AsBlockCipher();
  cipher->Init(key.data(), bits);
  for (auto _ : state) {
    cipher->Reset();
    if (block) {
      block->EncryptCFB8bit(buffer.data(), buffer.data(), buffer.size());
    } else {
      cipher->Encrypt(buffer.data(), buffer.data(), buffer.size());
    }
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kBufferBytes));
}

void HashBuffer(benchmark::State& state, int index) {
  auto hash = setup::CreateHashByIndex(index);
  std::vector<std::uint8_t> buffer(kBufferBytes, 0xA7);
  std::vector<std::uint8_t> digest(64);
  for (auto _ : state) {
    hash->Init();
    hash->Update(buffer.data(), buffer.size());
    hash->Final(digest.data());
    benchmark::DoNotOptimize(digest.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kBufferBytes));
}

const int kRegistered = [] {
  for (int i = 0; i < setup::kCipherCount; ++i) {
    if (!setup::CreateCipherByIndex(i)) continue;  // not part of this build
    const std::string name = "cipher/" + setup::ToUtf8(setup::CipherName(i));
    benchmark::RegisterBenchmark(name.c_str(), EncryptCipher, i)->Unit(benchmark::kMillisecond);
  }
  for (int i = 0; i < setup::kHashCount; ++i) {
    const std::string name = "hash/" + setup::ToUtf8(setup::HashName(i));
    benchmark::RegisterBenchmark(name.c_str(), HashBuffer, i)->Unit(benchmark::kMillisecond);
  }
  return 0;
}();

}  // namespace

BENCHMARK_MAIN();
