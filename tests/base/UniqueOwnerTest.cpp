// The one owner template, with a stand-in handle kind that records every close.
#include <gtest/gtest.h>

#include <type_traits>
#include <utility>
#include <vector>

#include "base/UniqueOwner.h"

namespace setup {
namespace {

std::vector<int> closed;  // the handles closed, in order

struct CountedTraits {
  using Handle = int;
  static constexpr Handle Invalid() noexcept { return -1; }
  static void Close(Handle handle) noexcept { closed.push_back(handle); }
};
using Counted = UniqueOwner<CountedTraits>;

// A second "no handle" value that the owner takes as empty.
struct AdoptingTraits : CountedTraits {
  static Handle Adopt(Handle handle) noexcept { return handle == -2 ? -1 : handle; }
};
using Adopting = UniqueOwner<AdoptingTraits>;

static_assert(!std::is_copy_constructible_v<Counted> && !std::is_copy_assignable_v<Counted>);
static_assert(std::is_nothrow_move_constructible_v<Counted> && std::is_nothrow_move_assignable_v<Counted>);

class UniqueOwnerTest : public ::testing::Test {
 protected:
  void SetUp() override { closed.clear(); }
};

TEST_F(UniqueOwnerTest, ClosesOnceWhenItGoes) {
  {
    const Counted owner(7);
    EXPECT_TRUE(owner);
    EXPECT_EQ(owner.Get(), 7);
  }
  EXPECT_EQ(closed, std::vector<int>{7});
  { const Counted empty; }
  EXPECT_EQ(closed, std::vector<int>{7});
}

TEST_F(UniqueOwnerTest, MoveAssignmentClosesWhatItOverwritesAndEmptiesTheSource) {
  Counted target(1);
  Counted source(2);
  target = std::move(source);
  EXPECT_EQ(closed, std::vector<int>{1});
  EXPECT_EQ(target.Get(), 2);
  EXPECT_FALSE(source);  // NOLINT(bugprone-use-after-move): a moved-from owner is empty
  Counted& alias = target;
  target = std::move(alias);  // moving onto itself keeps the handle open
  EXPECT_EQ(target.Get(), 2);
  EXPECT_EQ(closed, std::vector<int>{1});
}

TEST_F(UniqueOwnerTest, MoveConstructionHandsTheHandleOver) {
  Counted source(3);
  {
    const Counted target(std::move(source));
    EXPECT_EQ(target.Get(), 3);
    EXPECT_FALSE(source);  // NOLINT(bugprone-use-after-move)
  }
  EXPECT_EQ(closed, std::vector<int>{3});
}

TEST_F(UniqueOwnerTest, ResetPutAndRelease) {
  Counted owner(4);
  owner.Reset(5);
  EXPECT_EQ(closed, std::vector<int>{4});
  *owner.Put() = 6;  // Put closes 5 first
  EXPECT_EQ(closed, (std::vector<int>{4, 5}));
  EXPECT_EQ(owner.Release(), 6);
  EXPECT_FALSE(owner);
  owner.Reset();
  EXPECT_EQ(closed, (std::vector<int>{4, 5}));  // 6 belongs to whoever released it
}

TEST_F(UniqueOwnerTest, AdoptTurnsASecondEmptyValueIntoNoHandle) {
  {
    const Adopting failed(-2);
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.Get(), -1);
  }
  EXPECT_TRUE(closed.empty());
}

}  // namespace
}  // namespace setup
