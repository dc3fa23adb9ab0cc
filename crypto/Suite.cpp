#include "crypto/Suite.h"

#include "base/Text.h"
#include "crypto/Blowfish.h"
#include "crypto/Cast128.h"
#include "crypto/Cast256.h"
#include "crypto/Des.h"
#include "crypto/Haval.h"
#include "crypto/Idea.h"
#include "crypto/Md5.h"
#include "crypto/Rc4.h"
#include "crypto/Rijndael.h"
#include "crypto/Sha1.h"
#include "crypto/Sha256.h"
#include "crypto/Sha512.h"
#include "crypto/Twofish.h"

namespace setup {
namespace {

struct Alias {
  std::u16string_view name;
  int index;
};

constexpr std::u16string_view kHashNames[kHashCount] = {u"Haval", u"MD5", u"SHA1", u"SHA256", u"SHA512"};
constexpr std::u16string_view kCipherNames[kCipherCount] = {u"Blowfish", u"Cast128", u"Cast256", u"DES", u"3DES",
                                                            u"Rijndael", u"RC4",     u"Twofish", u"IDEA"};
constexpr Alias kHashAliases[] = {{u"SHA-1", 2}, {u"SHA-256", 3}, {u"SHA-512", 4}};
constexpr Alias kCipherAliases[] = {{u"AES", 5}, {u"CAST-128", 1}, {u"CAST-256", 2}};

template <std::size_t N, std::size_t M>
int IndexByName(std::u16string_view name, const std::u16string_view (&names)[N], const Alias (&aliases)[M]) {
  for (std::size_t i = 0; i < N; ++i) {
    if (SameTextIgnoreCase(name, names[i])) return static_cast<int>(i);
  }
  for (const Alias& alias : aliases) {
    if (SameTextIgnoreCase(name, alias.name)) return alias.index;
  }
  return -1;
}

// The classes of a suite in envelope index order, written once for the factory and the self
// tests. Each is a function template of its own, so a program that never runs a self test (the
// setup program) links none of them.
template <class... Members>
struct SuiteOrder {
  static constexpr int kCount = static_cast<int>(sizeof...(Members));

  template <class Base>
  static std::unique_ptr<Base> Create(int index) {
    std::unique_ptr<Base> made;
    int at = 0;
    (void)((at++ == index && (made = std::make_unique<Members>(), true)) || ...);
    return made;
  }
  static bool SelfTest(int index) {
    bool passed = false;
    int at = 0;
    (void)((at++ == index && (passed = Members::SelfTest(), true)) || ...);
    return passed;
  }
};

using HashOrder = SuiteOrder<THaval, TMd5, TSha1, TSha256, TSha512>;
using CipherOrder = SuiteOrder<TBlowfish, TCast128, TCast256, TDes, T3Des, TRijndael, TRc4, TTwofish, TIdea>;
static_assert(HashOrder::kCount == kHashCount && CipherOrder::kCount == kCipherCount);

}  // namespace

std::unique_ptr<THash> CreateHashByIndex(int index) { return HashOrder::Create<THash>(index); }
std::unique_ptr<TCipher> CreateCipherByIndex(int index) { return CipherOrder::Create<TCipher>(index); }
bool HashSelfTest(int index) { return HashOrder::SelfTest(index); }
bool CipherSelfTest(int index) { return CipherOrder::SelfTest(index); }

int HashIndexByName(std::u16string_view name) { return IndexByName(name, kHashNames, kHashAliases); }
int CipherIndexByName(std::u16string_view name) { return IndexByName(name, kCipherNames, kCipherAliases); }

std::u16string_view HashName(int index) {
  return index >= 0 && index < kHashCount ? kHashNames[index] : std::u16string_view();
}
std::u16string_view CipherName(int index) {
  return index >= 0 && index < kCipherCount ? kCipherNames[index] : std::u16string_view();
}

}  // namespace setup
