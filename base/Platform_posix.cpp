#include <langinfo.h>
#include <locale.h>

#include <cstring>

#include "base/Platform.h"
#include "base/Text.h"

namespace setup::platform {

char16_t ReadUserDecimalSeparator() {
  locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return u'.';
  const char* radix = nl_langinfo_l(RADIXCHAR, user);
  const std::u16string separator = FromUtf8(radix ? radix : ".");
  freelocale(user);
  return separator.size() == 1 ? separator[0] : u'.';
}

std::u16string SystemErrorText(unsigned long code) { return FromUtf8(std::strerror(static_cast<int>(code))); }

}  // namespace setup::platform
