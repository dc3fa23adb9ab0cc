#include <gtest/gtest.h>
#include <shlobj.h>

#include "base/Platform.h"
#include "base/Text.h"
#include "shell/ComErrors.h"

namespace setup {
namespace {

TEST(ComErrorsTest, GuidTextIsBracedUpperCase) {
  EXPECT_EQ(ToUtf8(GuidText(CLSID_ShellLink)), "{00021401-0000-0000-C000-000000000046}");
  EXPECT_EQ(ToUtf8(GuidText(IID_IShellLinkW)), "{000214F9-0000-0000-C000-000000000046}");
  EXPECT_EQ(ToUtf8(GuidText(IID_IPersistFile)), "{0000010B-0000-0000-C000-000000000046}");
}

TEST(ComErrorsTest, CodeWithoutSystemTextIsShownInHex) {
  // No system message exists for this code (a customer-defined facility).
  const auto code = static_cast<HRESULT>(0xA0FF12ABu);
  ASSERT_EQ(platform::SystemErrorText(static_cast<unsigned long>(code)), u"");
  EXPECT_EQ(ToUtf8(OleErrorText(code)), "OLE error a0ff12ab");
  const EOleSysError error = OleClassError(code, CLSID_ShellLink);
  EXPECT_EQ(ToUtf8(error.Message()), "OLE error a0ff12ab, ClassID: {00021401-0000-0000-C000-000000000046}");
  EXPECT_EQ(error.ErrorCode(), code);
  EXPECT_EQ(ToUtf8(OleErrorText(static_cast<HRESULT>(0x20000001u))), "OLE error 20000001");
}

TEST(ComErrorsTest, CodeWithSystemTextUsesIt) {
  const std::u16string systemText = platform::SystemErrorText(static_cast<unsigned long>(E_NOTIMPL));
  ASSERT_FALSE(systemText.empty());
  const EOleSysError error = OleSysError(E_NOTIMPL);
  EXPECT_EQ(error.Message(), systemText);
  EXPECT_EQ(error.ErrorCode(), E_NOTIMPL);
  EXPECT_EQ(OleClassError(E_NOTIMPL, CLSID_ShellLink).Message(),
            systemText + u", ClassID: {00021401-0000-0000-C000-000000000046}");
}

TEST(ComErrorsTest, InterfaceErrorText) { EXPECT_EQ(ToUtf8(EIntfCastError().Message()), "Interface not supported"); }

}  // namespace
}  // namespace setup
