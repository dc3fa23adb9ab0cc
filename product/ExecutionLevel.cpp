#include "product/ExecutionLevel.h"

#include <string_view>

namespace setup::product {

namespace {

constexpr std::string_view kElevated = R"(level="requireAdministrator")";
constexpr std::string_view kAsInvoker = R"(level="asInvoker")";
// Whatever still names an elevating level after the change: a manifest written another way
// (other quotes, blanks around "=") would otherwise start elevated after all.
constexpr std::string_view kElevatingLevels[] = {"requireAdministrator", "highestAvailable"};

bool Holds(const pe::Bytes& bytes, std::string_view text) {
  return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()).find(text) !=
         std::string_view::npos;
}

// `bytes` with every kElevated replaced; unchanged when there is none.
pe::Bytes AsInvoker(const pe::Bytes& bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::string result;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(kElevated, from)) != std::string_view::npos; from = at + kElevated.size()) {
    result.append(text.substr(from, at - from));
    result.append(kAsInvoker);
  }
  result.append(text.substr(from));
  return pe::Bytes(result.begin(), result.end());
}

}  // namespace

std::u16string RequestNoElevation(pe::ResourceTree& tree) {
  const pe::ResourceTree::Languages* languages = tree.FindName(pe::rt::kManifest, 1);
  if (!languages || languages->empty()) return u"it has no manifest (RT_MANIFEST 1)";
  pe::ResourceTree::Languages changed;
  for (const auto& [language, bytes] : *languages) {
    if (!Holds(bytes, kElevated))
      return u"its manifest does not hold level=\"requireAdministrator\" to turn into level=\"asInvoker\"";
    pe::Bytes lowered = AsInvoker(bytes);
    for (const std::string_view level : kElevatingLevels) {
      if (Holds(lowered, level)) {
        return u"its manifest still names the level \"" + std::u16string(level.begin(), level.end()) +
               u"\" once level=\"requireAdministrator\" is level=\"asInvoker\"";
      }
    }
    changed.emplace(language, std::move(lowered));
  }
  for (auto& [language, bytes] : changed) tree.Set(pe::rt::kManifest, 1, language, std::move(bytes));
  return {};
}

}  // namespace setup::product
