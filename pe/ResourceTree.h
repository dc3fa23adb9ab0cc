// A module's resources as a tree: type, then name, then language, then the bytes.
//
// Types and names are either numbers or names. Names are kept in upper case, as Windows upper-cases
// a name before it looks one up, and must be ASCII so that case is the same everywhere. Every
// level is kept in the order the resource directory requires: names first, compared without case,
// then numbers ascending.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "pe/Bytes.h"

namespace setup::pe {

class ResourceKey {
 public:
  ResourceKey(std::uint16_t id) : id_(id) {}  // NOLINT: numbers stand for themselves
  // Raises EPeFormatError for an empty or non-ASCII name.
  ResourceKey(std::u16string_view name);                                         // NOLINT
  ResourceKey(const char16_t* name) : ResourceKey(std::u16string_view(name)) {}  // NOLINT

  bool IsName() const { return !name_.empty(); }
  std::uint16_t Id() const { return id_; }
  const std::u16string& Name() const { return name_; }
  std::u16string Text() const;  // "NAME" or "#123", for messages

  std::strong_ordering operator<=>(const ResourceKey& other) const;
  bool operator==(const ResourceKey& other) const = default;

 private:
  std::u16string name_;  // upper case; empty for a number
  std::uint16_t id_ = 0;
};

// Standard resource types and languages the toolkit writes.
namespace rt {
inline constexpr std::uint16_t kCursor = 1, kBitmap = 2, kIcon = 3, kString = 6, kRcData = 10, kGroupIcon = 14,
                               kVersion = 16, kManifest = 24;
}
inline constexpr std::uint16_t kLangNeutral = 0x0000;
inline constexpr std::uint16_t kLangEnglishUs = 0x0409;
inline constexpr std::uint16_t kLangChineseSimplified = 0x0804;

class ResourceTree {
 public:
  using Languages = std::map<std::uint16_t, Bytes>;
  using Names = std::map<ResourceKey, Languages>;
  using Types = std::map<ResourceKey, Names>;

  void Set(const ResourceKey& type, const ResourceKey& name, std::uint16_t language, Bytes data);
  // The bytes of one resource, or nullptr.
  const Bytes* Find(const ResourceKey& type, const ResourceKey& name, std::uint16_t language) const;
  // Every language of one name: nullptr when the name is absent.
  const Languages* FindName(const ResourceKey& type, const ResourceKey& name) const;
  const Names* FindType(const ResourceKey& type) const;
  void RemoveName(const ResourceKey& type, const ResourceKey& name);
  void RemoveType(const ResourceKey& type);

  const Types& AllTypes() const { return types_; }
  bool operator==(const ResourceTree& other) const = default;

 private:
  Types types_;
};

}  // namespace setup::pe
