#include "shell/ComErrors.h"

#include <objbase.h>

#include "base/Platform.h"
#include "base/Text.h"

namespace setup {

std::u16string OleErrorText(HRESULT result) {
  std::u16string text = platform::SystemErrorText(static_cast<unsigned long>(result));
  if (!text.empty()) return text;
  constexpr char16_t kDigits[] = u"0123456789abcdef";
  auto code = static_cast<std::uint32_t>(result);
  std::u16string hex(8, u'0');
  for (auto digit = hex.rbegin(); digit != hex.rend(); ++digit, code >>= 4) *digit = kDigits[code & 0xF];
  return u"OLE error " + hex;
}

std::u16string GuidText(REFGUID guid) {
  wchar_t buffer[40] = {};
  const int length = StringFromGUID2(guid, buffer, 40);
  // The count includes the terminating NUL.
  return length > 0 ? FromWide(buffer, static_cast<std::size_t>(length - 1)) : std::u16string();
}

EOleSysError OleSysError(HRESULT result) { return EOleSysError(OleErrorText(result), result); }

EOleSysError OleClassError(HRESULT result, REFCLSID classId) {
  return EOleSysError(FormatText(u"%s, ClassID: %s", {OleErrorText(result), GuidText(classId)}), result);
}

}  // namespace setup
