#include "pe/ResourceTree.h"

#include "base/Text.h"
#include "pe/PeErrors.h"

namespace setup::pe {

ResourceKey::ResourceKey(std::u16string_view name) {
  if (name.empty()) throw EPeFormatError(u"A resource name is empty");
  name_.reserve(name.size());
  for (const char16_t unit : name) {
    if (unit < 0x20 || unit > 0x7E)
      throw EPeFormatError(u"The resource name " + std::u16string(name) + u" is not ASCII");
    name_.push_back(unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit);
  }
}

std::u16string ResourceKey::Text() const {
  if (IsName()) return name_;
  std::u16string text(1, u'#');
  return text.append(IntToText(id_));
}

std::strong_ordering ResourceKey::operator<=>(const ResourceKey& other) const {
  if (IsName() != other.IsName()) return IsName() ? std::strong_ordering::less : std::strong_ordering::greater;
  if (IsName()) return name_ <=> other.name_;  // both upper case: an ordinal comparison ignores case
  return id_ <=> other.id_;
}

void ResourceTree::Set(const ResourceKey& type, const ResourceKey& name, std::uint16_t language, Bytes data) {
  types_[type][name][language] = std::move(data);
}

const ResourceTree::Names* ResourceTree::FindType(const ResourceKey& type) const {
  const auto found = types_.find(type);
  return found == types_.end() ? nullptr : &found->second;
}

const ResourceTree::Languages* ResourceTree::FindName(const ResourceKey& type, const ResourceKey& name) const {
  const Names* names = FindType(type);
  if (!names) return nullptr;
  const auto found = names->find(name);
  return found == names->end() ? nullptr : &found->second;
}

const Bytes* ResourceTree::Find(const ResourceKey& type, const ResourceKey& name, std::uint16_t language) const {
  const Languages* languages = FindName(type, name);
  if (!languages) return nullptr;
  const auto found = languages->find(language);
  return found == languages->end() ? nullptr : &found->second;
}

void ResourceTree::RemoveName(const ResourceKey& type, const ResourceKey& name) {
  const auto found = types_.find(type);
  if (found == types_.end()) return;
  found->second.erase(name);
  if (found->second.empty()) types_.erase(found);
}

void ResourceTree::RemoveType(const ResourceKey& type) { types_.erase(type); }

}  // namespace setup::pe
