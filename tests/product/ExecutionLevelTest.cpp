// A per-user product's programs: the manifest's execution level lowered to asInvoker, or a reason
// why the stub cannot be trusted to start without elevation.
#include <gtest/gtest.h>

#include <string>

#include "pe/ResourceTree.h"
#include "product/ExecutionLevel.h"

namespace setup::product {
namespace {

pe::Bytes BytesOf(const std::string& text) { return pe::Bytes(text.begin(), text.end()); }

const std::string kHead = R"(<?xml version="1.0"?><assembly><trustInfo><security><requestedPrivileges>)";
const std::string kTail = R"(</requestedPrivileges></security></trustInfo></assembly>)";

std::string Manifest(const std::string& level) {
  return kHead + R"(<requestedExecutionLevel level=")" + level + R"(" uiAccess="false"/>)" + kTail;
}

TEST(ExecutionLevel, RequireAdministratorBecomesAsInvokerInEveryLanguage) {
  pe::ResourceTree tree;
  tree.Set(pe::rt::kManifest, 1, pe::kLangNeutral, BytesOf(Manifest("requireAdministrator")));
  tree.Set(pe::rt::kManifest, 1, pe::kLangEnglishUs, BytesOf(Manifest("requireAdministrator")));
  tree.Set(pe::rt::kRcData, 1, pe::kLangNeutral, BytesOf(R"(level="requireAdministrator")"));
  EXPECT_EQ(RequestNoElevation(tree), u"");
  const std::string lowered = kHead + R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)" + kTail;
  EXPECT_EQ(*tree.Find(pe::rt::kManifest, 1, pe::kLangNeutral), BytesOf(lowered));
  EXPECT_EQ(*tree.Find(pe::rt::kManifest, 1, pe::kLangEnglishUs), BytesOf(lowered));
  // Only the manifest is touched.
  EXPECT_EQ(*tree.Find(pe::rt::kRcData, 1, pe::kLangNeutral), BytesOf(R"(level="requireAdministrator")"));
}

struct RefusedCase {
  const char* label;
  std::string manifest;  // empty: the tree has no manifest
  std::u16string problem;
};

class RefusedManifest : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedManifest, SaysWhyAndLeavesTheTreeAsItWas) {
  pe::ResourceTree tree;
  if (!GetParam().manifest.empty()) {
    tree.Set(pe::rt::kManifest, 1, pe::kLangNeutral, BytesOf(Manifest("requireAdministrator")));
    tree.Set(pe::rt::kManifest, 1, pe::kLangEnglishUs, BytesOf(GetParam().manifest));
  }
  tree.Set(pe::rt::kManifest, 2, pe::kLangNeutral, BytesOf(Manifest("requireAdministrator")));
  const pe::ResourceTree before = tree;
  EXPECT_EQ(RequestNoElevation(tree), GetParam().problem);
  EXPECT_TRUE(tree == before);
}

INSTANTIATE_TEST_SUITE_P(
    Manifests, RefusedManifest,
    testing::Values(
        RefusedCase{"no_manifest", "", u"it has no manifest (RT_MANIFEST 1)"},
        RefusedCase{"already_as_invoker", Manifest("asInvoker"),
                    u"its manifest does not hold level=\"requireAdministrator\" to turn into level=\"asInvoker\""},
        RefusedCase{"highest_available", Manifest("highestAvailable"),
                    u"its manifest does not hold level=\"requireAdministrator\" to turn into level=\"asInvoker\""},
        RefusedCase{"single_quotes", kHead + "<requestedExecutionLevel level='requireAdministrator'/>" + kTail,
                    u"its manifest does not hold level=\"requireAdministrator\" to turn into level=\"asInvoker\""},
        RefusedCase{"a_second_request_written_otherwise",
                    Manifest("requireAdministrator") + "<requestedExecutionLevel level = \"requireAdministrator\"/>",
                    u"its manifest still names the level \"requireAdministrator\" once "
                    u"level=\"requireAdministrator\" is level=\"asInvoker\""}),
    [](const auto& item) { return std::string(item.param.label); });

}  // namespace
}  // namespace setup::product
