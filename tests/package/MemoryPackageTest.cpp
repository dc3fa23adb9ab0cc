// ExtractPackage on a package held in memory, as the setup program reads its own resource: the
// same files, checks and errors as from a file, without a package file anywhere.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "package/Extract.h"
#include "tests/package/PackageTestSupport.h"

namespace setup {
namespace {

using namespace testing_support;

std::span<const std::byte> Span(const std::string& bytes) {
  return std::as_bytes(std::span<const char>(bytes.data(), bytes.size()));
}

class MemoryPackage : public ::testing::Test {
 protected:
  void Run(const std::string& package, const ExtractProgressHandler& progress = {}) {
    ExtractPackage(Span(package), destination_.Text(), u"", progress, [this] { return system_.Text(); });
  }

  NestedFolder destination_;
  TempFolder system_;
};

std::u16string Size(const std::string& stream) { return IntToText(static_cast<std::int64_t>(stream.size())); }

TEST_F(MemoryPackage, ExtractsEveryFileAndReportsProgress) {
  const std::string a = Zlib("A"), b = Zlib("BB"), c = Zlib("CCCCC");
  const std::u16string table =
      u",a.txt," + Size(a) + u",1|sub\\deeper\\,b.txt," + Size(b) + u",2|$System$,c.dll," + Size(c) + u",5";
  std::vector<std::int64_t> seen;
  Run(HandBuiltPackage(a + b + c, table), [&](std::int64_t p) { seen.push_back(p); });
  EXPECT_EQ(ListFiles(destination_.Path()), (std::vector<std::string>{"a.txt", "sub/deeper/b.txt"}));
  EXPECT_EQ(ReadBytes(destination_.Path() / "a.txt"), "A");
  EXPECT_EQ(ReadBytes(destination_.Path() / "sub/deeper/b.txt"), "BB");
  EXPECT_EQ(ReadBytes(system_.Path() / "c.dll"), "CCCCC");
  // 1 of 8 bytes is 12.5 %, rounded to the even 12; 3 of 8 is 37.5 %, rounded to 38.
  EXPECT_EQ(seen, (std::vector<std::int64_t>{12, 38, 100}));
  // Only what the package names: nothing beside the destination, no package copy.
  EXPECT_EQ(ListFiles(destination_.Sandbox()),
            (std::vector<std::string>{"inner/folder/a.txt", "inner/folder/sub/deeper/b.txt"}));
}

enum class Raises { PackageError, ReadError };

struct FaultCase {
  const char* name;
  std::string package;
  Raises raises;
};

class MemoryPackageFault : public MemoryPackage, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(MemoryPackageFault, RaisesAndLeavesNoTemporaryFile) {
  const FaultCase& c = GetParam();
  if (c.raises == Raises::PackageError)
    EXPECT_THROW(Run(c.package), EPackageError);
  else
    EXPECT_THROW(Run(c.package), EReadError);
  EXPECT_FALSE(HoldsTemporaryFile(destination_.Sandbox()));
}

std::string DamagedLastStream() {
  const std::string good = Zlib("good"), bad = Zlib("damaged!");
  std::string broken = bad;
  broken[broken.size() / 2] ^= 0x5A;
  return HandBuiltPackage(good + broken, u",good.txt," + Size(good) + u",4|,bad.txt," + Size(bad) + u",8");
}

INSTANTIATE_TEST_SUITE_P(Cases, MemoryPackageFault,
                         ::testing::Values(FaultCase{"Empty", "", Raises::PackageError},
                                           FaultCase{"StreamPastThePayload", HandBuiltPackage("xy", u",f.txt,3,3"),
                                                     Raises::ReadError},
                                           FaultCase{"EscapingFolder", HandBuiltPackage(Zlib("x"), u"..\\,f.txt,9,1"),
                                                     Raises::PackageError}),
                         [](const auto& item) { return std::string(item.param.name); });

TEST_F(MemoryPackage, DamagedLastStreamRaisesAfterTheGoodFile) {
  EXPECT_THROW(Run(DamagedLastStream()), EDecompressionError);
  EXPECT_FALSE(HoldsTemporaryFile(destination_.Sandbox()));
  EXPECT_FALSE(fs::exists(destination_.Path() / "bad.txt"));
}

}  // namespace
}  // namespace setup
