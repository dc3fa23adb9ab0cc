// Listing and verifying a package without writing files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/PackageReader.h"
#include "tests/package/PackageTestSupport.h"

namespace setup {
namespace {

using namespace testing_support;

class Reader : public ::testing::Test {
 protected:
  std::u16string Save(const std::string& package) {
    WriteBytes(packageFile_, package);
    return Text(packageFile_);
  }

  TempFolder work_;
  fs::path packageFile_ = work_.Path() / "p.stp";
};

std::u16string Size(const std::string& stream) { return IntToText(static_cast<std::int64_t>(stream.size())); }

TEST_F(Reader, ListsRowsWithOffsetsAndFlags) {
  const std::string a = Zlib("alpha"), b = Zlib("beta!!");
  const std::u16string file =
      Save(HandBuiltPackage(a + b, u"sub\\,a\u001Ax.txt," + Size(a) + u",5|$System$,b.dll," + Size(b) + u",6,True"));
  const PackageTable table = ReadPackageTable(file, u"");
  ASSERT_TRUE(table.present);
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.rows[0].folder, u"sub\\");
  EXPECT_EQ(table.rows[0].name, u"a,x.txt");
  EXPECT_EQ(table.rows[0].packedSize, static_cast<std::int32_t>(a.size()));
  EXPECT_EQ(table.rows[0].unpackedSize, 5);
  EXPECT_EQ(table.rows[0].inDestination, std::nullopt);
  EXPECT_EQ(table.rows[0].offset, 0);
  EXPECT_EQ(table.rows[1].folder, u"$System$");
  EXPECT_EQ(table.rows[1].inDestination, std::optional<bool>(true));
  EXPECT_EQ(table.rows[1].offset, static_cast<std::int64_t>(a.size()));
  EXPECT_EQ(table.totalUnpacked, 11);
  EXPECT_EQ(table.payloadSize, static_cast<std::int64_t>(a.size() + b.size()));
}

TEST_F(Reader, LengthFieldAtTheFileSizeHoldsNothing) {
  const PackageTable table = ReadPackageTable(Save("abc" + LittleEndian32(10) + kStandardTail), u"");
  EXPECT_FALSE(table.present);
  EXPECT_TRUE(table.rows.empty());
}

TEST_F(Reader, VerifyFindsEveryBadStream) {
  const std::string good = Zlib("good"), bad = Zlib("bad checksum"), longer = Zlib("longer");
  std::string broken = bad;
  broken.back() = static_cast<char>(broken.back() ^ 0x40);
  const std::u16string file =
      Save(HandBuiltPackage(good + broken + longer + good, u",g1," + Size(good) + u",4|,b," + Size(bad) + u",12|,l," +
                                                               Size(longer) + u",5|,g2," + Size(good) + u",4"));
  std::vector<std::size_t> rows;
  const std::vector<StreamFault> faults = VerifyPackage(file, u"", [&](std::size_t row) { rows.push_back(row); });
  ASSERT_EQ(faults.size(), 2u);
  EXPECT_EQ(faults[0].row, 1u);
  EXPECT_EQ(faults[0].message, u"data error");
  EXPECT_EQ(faults[1].row, 2u);
  EXPECT_EQ(faults[1].message, u"buffer error");
  EXPECT_EQ(rows, (std::vector<std::size_t>{0, 1, 2, 3}));
}

TEST_F(Reader, VerifyAcceptsAGoodPackage) {
  const std::string a = Zlib(std::string(600000, 'z')), b = Zlib("");
  const std::u16string file = Save(HandBuiltPackage(a + b, u",a," + Size(a) + u",600000|,b," + Size(b) + u",0"));
  EXPECT_TRUE(VerifyPackage(file, u"").empty());
}

TEST_F(Reader, TableErrorsRaiseAsInExtraction) {
  const std::string a = Zlib("a");
  const std::u16string file = Save(HandBuiltPackage(a, u"..\\,a," + Size(a) + u",1"));
  EXPECT_EQ(MessageOf([&] { ReadPackageTable(file, u""); }), "Invalid target folder \"..\\\"");
  EXPECT_EQ(MessageOf([&] { VerifyPackage(file, u""); }), "Invalid target folder \"..\\\"");
}

}  // namespace
}  // namespace setup
