#include <gtest/gtest.h>

#include <optional>

#include "install/InstallScope.h"
#include "install/Versions.h"

namespace setup {
namespace {

struct OrderCase {
  const char16_t* a;
  const char16_t* b;
  std::optional<int> order;
};

TEST(Versions, CompareNumberByNumber) {
  const OrderCase cases[] = {
      {u"1.0", u"2.0", -1},
      {u"2.0", u"1.0", 1},
      {u"2", u"2.0.0", 0},    // a missing number counts as 0
      {u"1.10", u"1.9", 1},   // numbers, not text
      {u"1.02", u"1.2", 0},   // leading zeros do not count
      {u" 3.1 ", u"3.1", 0},  // nor blanks around
      {u"2.0.1", u"2.0", 1},
      {u"99999999999999999999.1", u"99999999999999999998.9", 1},  // beyond any machine number
      {u"2.30 beta", u"2.30", std::nullopt},
      {u"", u"1", std::nullopt},
      {u"1..2", u"1.2", std::nullopt},
      {u"1.2.", u"1.2", std::nullopt},
      {u"-1", u"1", std::nullopt},
      {u"v2", u"2", std::nullopt},
  };
  for (const OrderCase& c : cases) {
    const std::optional<int> order = CompareVersions(c.a, c.b);
    ASSERT_EQ(order.has_value(), c.order.has_value())
        << std::string(c.a, c.a + std::char_traits<char16_t>::length(c.a));
    if (order) {
      EXPECT_EQ(*order, *c.order);
    }
  }
}

TEST(Versions, DecideTheKindOfInstall) {
  EXPECT_EQ(DecideInstallKind(std::nullopt, u"2.0"), InstallKind::Fresh);
  EXPECT_EQ(DecideInstallKind(u"1.0", u"2.0"), InstallKind::Upgrade);
  EXPECT_EQ(DecideInstallKind(u"2.0", u"2.0.0"), InstallKind::Repair);
  EXPECT_EQ(DecideInstallKind(u"3.0", u"2.0"), InstallKind::Downgrade);
  EXPECT_EQ(DecideInstallKind(u"10.0", u"9.9"), InstallKind::Downgrade);
  // Versions that are not numbers: the same text repairs, any other replaces.
  EXPECT_EQ(DecideInstallKind(u"2.30 beta", u"2.30 beta"), InstallKind::Repair);
  EXPECT_EQ(DecideInstallKind(u"2.30 beta", u"2.30"), InstallKind::Upgrade);
  EXPECT_EQ(DecideInstallKind(u"", u"2.0"), InstallKind::Upgrade);
}

TEST(InstallScope, OnlyUserMeansOneUser) {
  EXPECT_EQ(InstallScopeFromText(u"user"), InstallScope::User);
  EXPECT_EQ(InstallScopeFromText(u"USER"), InstallScope::User);
  for (const std::u16string_view text : {u"machine", u"", u"users", u" user"})
    EXPECT_EQ(InstallScopeFromText(text), InstallScope::Machine);
}

}  // namespace
}  // namespace setup
