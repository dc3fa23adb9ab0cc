// Rules for the text values of a product file that later steps use as names: the install folder
// and program name, the Uninstall key. Each returns why a value is refused, or empty text.
#pragma once

#include <string>
#include <string_view>

namespace setup::product {

// A value holding a control character (U+0000-U+001F, U+007F, U+0080-U+009F): the string table
// keeps it, but the Windows functions that take the text stop at a NUL or show the rest garbled.
std::u16string ControlCharacterProblem(std::u16string_view value);

// A plain file name component: ShortName names the install folder and <ShortName>.exe, so it
// must not climb out of the folder, reach a drive or stream, or name a device.
std::u16string FileNameProblem(std::u16string_view value);

// One registry key name: the Uninstall key is "...\Uninstall\" + the display name, so "\" would
// make nested keys (and reach the keys of other products).
std::u16string KeyNameProblem(std::u16string_view value);

// The product's identity (ProductId): the Uninstall key's name in every language and the product
// code deployment tools match, so only ASCII letters, digits, ".", "-" and "_", and neither a
// leading nor a trailing ".".
std::u16string ProductIdProblem(std::u16string_view value);

}  // namespace setup::product
