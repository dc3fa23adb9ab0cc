#include "tools/stpack/Signing.h"

#include <string>
#include <system_error>
#include <vector>

#include "base/Errors.h"
#include "base/Text.h"
#include "tools/stpack/PathText.h"
#include "tools/stpack/RunProgram.h"

namespace setup::stpack {

void SignExecutable(const std::filesystem::path& file, const product::Signing& signing, std::uint32_t time) {
  const auto signedFile = std::filesystem::path(file).concat(".signed");
  const std::vector<std::u16string> arguments{u"sign",
                                              u"-certs",
                                              TextFromPath(signing.certificate),
                                              u"-key",
                                              TextFromPath(signing.key),
                                              u"-time",
                                              IntToText(time),
                                              u"-in",
                                              TextFromPath(file),
                                              u"-out",
                                              TextFromPath(signedFile)};
  const int status = RunProgram(u"osslsigncode", arguments);
  if (status != 0) {
    std::error_code ignored;
    std::filesystem::remove(signedFile, ignored);
    throw Exception(FormatText(u"osslsigncode could not sign %s (exit status %d)",
                               {TextFromPath(file.filename()), IntToText(status)}));
  }
  std::filesystem::rename(signedFile, file);
}

}  // namespace setup::stpack
