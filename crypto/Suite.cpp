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

}  // namespace

std::unique_ptr<THash> CreateHashByIndex(int index) {
  switch (index) {
    case 0:
      return std::make_unique<THaval>();
    case 1:
      return std::make_unique<TMd5>();
    case 2:
      return std::make_unique<TSha1>();
    case 3:
      return std::make_unique<TSha256>();
    case 4:
      return std::make_unique<TSha512>();
    default:
      return nullptr;
  }
}

std::unique_ptr<TCipher> CreateCipherByIndex(int index) {
  switch (index) {
    case 0:
      return std::make_unique<TBlowfish>();
    case 1:
      return std::make_unique<TCast128>();
    case 2:
      return std::make_unique<TCast256>();
    case 3:
      return std::make_unique<TDes>();
    case 4:
      return std::make_unique<T3Des>();
    case 5:
      return std::make_unique<TRijndael>();
    case 6:
      return std::make_unique<TRc4>();
    case 7:
      return std::make_unique<TTwofish>();
    case 8:
      return std::make_unique<TIdea>();
    default:
      return nullptr;
  }
}

// Switches of their own rather than a column beside the factories: a program that never runs a
// self test (the setup program) links none of them.
bool HashSelfTest(int index) {
  switch (index) {
    case 0:
      return THaval::SelfTest();
    case 1:
      return TMd5::SelfTest();
    case 2:
      return TSha1::SelfTest();
    case 3:
      return TSha256::SelfTest();
    case 4:
      return TSha512::SelfTest();
    default:
      return false;
  }
}

bool CipherSelfTest(int index) {
  switch (index) {
    case 0:
      return TBlowfish::SelfTest();
    case 1:
      return TCast128::SelfTest();
    case 2:
      return TCast256::SelfTest();
    case 3:
      return TDes::SelfTest();
    case 4:
      return T3Des::SelfTest();
    case 5:
      return TRijndael::SelfTest();
    case 6:
      return TRc4::SelfTest();
    case 7:
      return TTwofish::SelfTest();
    case 8:
      return TIdea::SelfTest();
    default:
      return false;
  }
}

int HashIndexByName(std::u16string_view name) { return IndexByName(name, kHashNames, kHashAliases); }
int CipherIndexByName(std::u16string_view name) { return IndexByName(name, kCipherNames, kCipherAliases); }

std::u16string_view HashName(int index) {
  return index >= 0 && index < kHashCount ? kHashNames[index] : std::u16string_view();
}
std::u16string_view CipherName(int index) {
  return index >= 0 && index < kCipherCount ? kCipherNames[index] : std::u16string_view();
}

}  // namespace setup
