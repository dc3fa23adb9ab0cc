// pack, then list, verify and extract through the tool, for every cipher and every hash; the
// package itself is taken apart here and checked against the format.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "PackageBytes.h"
#include "StpackFixture.h"
#include "base/CodePage.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "crypto/Envelope.h"

namespace setup::testing_support {
namespace {

namespace fs = std::filesystem;

// A deterministic pseudo-random byte run (a 32-bit LCG), so a failure can be reproduced.
std::string NoiseBytes(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& b : bytes) {
    seed = seed * 1664525u + 1013904223u;
    b = static_cast<char>(seed >> 24);
  }
  return bytes;
}

std::string RepeatedText(std::size_t size) {
  std::string text;
  for (int line = 0; text.size() < size; ++line)
    text += "line " + std::to_string(line % 977) + " of the sample text\r\n";
  text.resize(size);
  return text;
}

struct SourceItem {
  std::u16string relative;  // with "/" between parts
  std::u16string folder;    // column 0 expected in the table
  std::u16string name;      // column 1
  std::string content;
};

// Listed in the order the package must hold them: code-unit order of the package path.
std::vector<SourceItem> SampleTree() {
  return {
      {u"$System$/drivers/d.sys", u"$System$drivers\\", u"d.sys", "driver"},
      {u"$System$/sys.dll", u"$System$", u"sys.dll", NoiseBytes(3000, 7)},
      {u"B.txt", u"", u"B.txt", "upper case sorts first"},
#ifdef _WIN32
      {u"a,b.txt", u"", u"a,b.txt", "comma"},
#else
      {u"a,b|c.txt", u"", u"a,b|c.txt", "comma and bar"},
#endif
      {u"empty.dat", u"", u"empty.dat", ""},
      {u"readme.txt", u"", u"readme.txt", RepeatedText(700000)},
      {u"sub/deeper/\u6570\u636E.bin", u"sub\\deeper\\", u"\u6570\u636E.bin", NoiseBytes(200000, 42)},
      {u"sub/x.txt", u"sub\\", u"x.txt", "x"},
      {u"\u4E2D\u6587\u76EE\u5F55/\u4E2D\u6587\u540D.txt", u"\u4E2D\u6587\u76EE\u5F55\\", u"\u4E2D\u6587\u540D.txt",
       RepeatedText(5000)},
  };
}

struct SuiteCase {
  const char* cipher;  // as given on the command line
  const char* hash;
  int cipherIndex;
  int hashIndex;
  const char16_t* password;
};

class PackRoundTrip : public StpackTest, public ::testing::WithParamInterface<SuiteCase> {
 protected:
  void SetUp() override {
    for (const SourceItem& item : SampleTree()) WriteFileBytes(Temp(u"src") / fs::path(item.relative), item.content);
  }
  std::u16string Package() const { return Text(Temp(u"out.stp")); }
};

TEST_P(PackRoundTrip, PackListVerifyExtract) {
  const SuiteCase& suite = GetParam();
  const std::u16string password = suite.password;
  const std::vector<SourceItem> tree = SampleTree();
  const ToolResult packed =
      Expect(0, {u"pack", Text(Temp(u"src")), u"-o", Package(), u"--cipher", FromUtf8(suite.cipher), u"--hash",
                 FromUtf8(suite.hash), u"--password", password, u"--jobs", u"2"});
  EXPECT_EQ(packed.err, "");
  EXPECT_EQ(packed.out.rfind("Packed 9 files (", 0), 0u) << packed.out;

  // The package, read by the format alone: selectors, rows in order, one stream per row.
  const PackageParts parts = SplitPackage(ReadFileBytes(Temp(u"out.stp")));
  const std::u16string envelope = AnsiToWide(parts.tableBytes);
  ASSERT_GE(envelope.size(), 11u);
  EXPECT_EQ(envelope[3] - envelope[8], suite.cipherIndex);
  EXPECT_EQ(envelope[4] - envelope[9], suite.hashIndex);
  const auto rows = TableRows(DecryptEnvelope(envelope, password));
  ASSERT_EQ(rows.size(), tree.size());
  std::size_t offset = 0;
  std::string expectedTsv = "folder\tname\tpacked\tunpacked\tdestination\n";
  for (std::size_t i = 0; i < tree.size(); ++i) {
    SCOPED_TRACE(ToUtf8(tree[i].relative));
    ASSERT_EQ(rows[i].size(), 4u);
    EXPECT_EQ(rows[i][0], tree[i].folder);
    EXPECT_EQ(rows[i][1], tree[i].name);
    EXPECT_EQ(rows[i][3], IntToText(static_cast<std::int64_t>(tree[i].content.size())));
    const auto packedSize = static_cast<std::size_t>(std::stoul(ToUtf8(rows[i][2])));
    ASSERT_LE(offset + packedSize, parts.payload.size());
    EXPECT_EQ(Inflate(parts.payload.substr(offset, packedSize), tree[i].content.size()), tree[i].content);
    offset += packedSize;
    expectedTsv += ToUtf8(tree[i].folder + u"\t" + tree[i].name + u"\t" + rows[i][2] + u"\t" + rows[i][3] + u"\t\n");
  }
  EXPECT_EQ(offset, parts.payload.size());

  std::vector<std::u16string> withPassword{u"--password", password};
  auto command = [&](std::vector<std::u16string> arguments) {
    arguments.insert(arguments.end(), withPassword.begin(), withPassword.end());
    return arguments;
  };
  EXPECT_EQ(Expect(0, command({u"list", Package(), u"--tsv"})).out, expectedTsv);
  std::size_t total = 0;
  for (const SourceItem& item : tree) total += item.content.size();
  EXPECT_EQ(Expect(0, command({u"verify", Package()})).out,
            "9 streams verified, " + std::to_string(total) + " bytes unpacked\n");
  const ToolResult extracted =
      Expect(0, command({u"extract", Package(), Text(Temp(u"dest")), u"--system-dir", Text(Temp(u"sys"))}));
  EXPECT_EQ(extracted.err, "");
  for (const SourceItem& item : tree) {
    const bool system = item.relative.starts_with(u"$System$/");
    const fs::path target =
        system ? Temp(u"sys") / fs::path(item.relative.substr(9)) : Temp(u"dest") / fs::path(item.relative);
    EXPECT_EQ(ReadFileBytes(target), item.content) << ToUtf8(item.relative);
  }
  std::size_t written = 0;
  for (const auto& folder : {Temp(u"dest"), Temp(u"sys")}) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) written += entry.is_regular_file() ? 1 : 0;
  }
  EXPECT_EQ(written, tree.size()) << "no other files (temporaries) are left behind";

  if (!password.empty()) {
    Expect(1, {u"list", Package()});
    Expect(1, {u"extract", Package(), Text(Temp(u"dest2")), u"--system-dir", Text(Temp(u"sys2"))});
  }
}

// Every cipher once and every hash at least once, by the names and spellings the tool takes.
INSTANTIATE_TEST_SUITE_P(
    Suites, PackRoundTrip,
    ::testing::Values(SuiteCase{"Blowfish", "Haval", 0, 0, u""}, SuiteCase{"Cast128", "MD5", 1, 1, u"pw"},
                      SuiteCase{"CAST-256", "SHA1", 2, 2, u""}, SuiteCase{"DES", "SHA-256", 3, 3, u"\u5BC6\u7801"},
                      SuiteCase{"3DES", "SHA512", 4, 4, u""}, SuiteCase{"aes", "sha256", 5, 3, u"secret"},
                      SuiteCase{"RC4", "haval", 6, 0, u""}, SuiteCase{"Twofish", "SHA-512", 7, 4, u"p w"},
                      SuiteCase{"IDEA", "md5", 8, 1, u""}),
    [](const auto& testInfo) {
      std::string name = std::string(testInfo.param.cipher) + "_" + testInfo.param.hash;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

// Chinese folder and package names on the command line, too (the wide command line on Windows).
TEST_F(StpackTest, DefaultsAreRijndaelWithSha256AndAnEmptyPassword) {
  const fs::path source = Temp(u"\u6E90\u6587\u4EF6");
  const fs::path package = Temp(u"\u5305.stp");
  WriteFileBytes(source / "a.txt", "a");
  Expect(0, {u"pack", Text(source), u"-o", Text(package)});
  const std::u16string envelope = AnsiToWide(SplitPackage(ReadFileBytes(package)).tableBytes);
  ASSERT_GE(envelope.size(), 11u);
  EXPECT_EQ(envelope[3] - envelope[8], 5);
  EXPECT_EQ(envelope[4] - envelope[9], 3);
  EXPECT_EQ(TableRows(DecryptEnvelope(envelope, u"")).at(0).at(1), u"a.txt");
  Expect(0, {u"extract", Text(package), Text(Temp(u"\u76EE\u6807"))});
  EXPECT_EQ(ReadFileBytes(Temp(u"\u76EE\u6807") / "a.txt"), "a");
}

TEST_F(StpackTest, ReproducibleOutputDoesNotDependOnJobs) {
  // One file spans several compression blocks (of 1 MiB), so a large file is split between jobs.
  WriteFileBytes(Temp(u"src") / "large.bin", RepeatedText(1500000) + NoiseBytes(1200000, 5));
  for (int i = 0; i < 40; ++i)
    WriteFileBytes(Temp(u"src") / std::string("f").append(std::to_string(i)).append(".bin"),
                   NoiseBytes(9000 + i * 100, 1000u + i) + RepeatedText(20000));
  std::vector<std::string> packages;
  fs::create_directories(Temp(u"out"));
  for (const char16_t* jobs : {u"1", u"3", u"8", u"1"}) {
    const std::u16string out =
        Text(Temp(u"out") /
             fs::path(std::u16string(u"p") + jobs + IntToText(static_cast<std::int64_t>(packages.size())) + u".stp"));
    Expect(0, {u"pack", Text(Temp(u"src")), u"-o", out, u"--reproducible", u"--jobs", jobs, u"--password", u"pw"});
    packages.push_back(ReadFileBytes(fs::path(out)));
  }
  for (const std::string& package : packages) EXPECT_TRUE(package == packages.front());
  WriteFileBytes(Temp(u"check.stp"), packages.front());
  EXPECT_EQ(Expect(0, {u"verify", Text(Temp(u"check.stp")), u"--password", u"pw"}).out.rfind("41 streams verified", 0),
            0u);
  EXPECT_GT(packages.front().size(), 40u * 9000);

  // Without the option the salt is fresh each time.
  Expect(0, {u"pack", Text(Temp(u"src")), u"-o", Text(Temp(u"r1.stp")), u"--jobs", u"2"});
  Expect(0, {u"pack", Text(Temp(u"src")), u"-o", Text(Temp(u"r2.stp")), u"--jobs", u"2"});
  EXPECT_NE(ReadFileBytes(Temp(u"r1.stp")), ReadFileBytes(Temp(u"r2.stp")));
}

TEST_F(StpackTest, LevelChangesTheStreamsButNotTheFiles) {
  WriteFileBytes(Temp(u"src") / "text.txt", RepeatedText(300000));
  Expect(0, {u"pack", Text(Temp(u"src")), u"-o", Text(Temp(u"stored.stp")), u"--level", u"0"});
  Expect(0, {u"pack", Text(Temp(u"src")), u"-o", Text(Temp(u"best.stp")), u"--level=9"});
  EXPECT_GT(fs::file_size(Temp(u"stored.stp")), 300000u);
  EXPECT_LT(fs::file_size(Temp(u"best.stp")), 30000u);
  Expect(0, {u"extract", Text(Temp(u"stored.stp")), Text(Temp(u"dest"))});
  EXPECT_EQ(ReadFileBytes(Temp(u"dest") / "text.txt"), RepeatedText(300000));
}

TEST_F(StpackTest, PackageInsideTheSourceFolderIsNotPackedIntoItself) {
  WriteFileBytes(Temp(u"src") / "a.txt", "a");
  // The second run finds the first run's package in the folder; the folder is given with a
  // trailing separator once.
  const std::u16string source = Text(Temp(u"src"));
  for (const std::u16string& given : {source, source + std::u16string(1, kPathDelimiter)}) {
    Expect(0, {u"pack", given, u"-o", Text(Temp(u"src") / "self.stp")});
  }
  EXPECT_EQ(Expect(0, {u"list", Text(Temp(u"src") / "self.stp"), u"--tsv"}).out,
            "folder\tname\tpacked\tunpacked\tdestination\n\ta.txt\t9\t1\t\n");
}

struct RejectedCase {
  const char* label;
  std::u16string relative;  // written beside "fine.txt" and "sub/a.txt"
  const char* reason;
  const char* rejected = nullptr;  // the package path named, when not `relative`
};

class PackRejects : public StpackTest, public ::testing::WithParamInterface<RejectedCase> {};

TEST_P(PackRejects, NamesThePackageCannotCarry) {
  WriteFileBytes(Temp(u"src") / "fine.txt", "fine");
  WriteFileBytes(Temp(u"src") / "sub" / "a.txt", "fine");
  WriteFileBytes(Temp(u"src") / fs::path(GetParam().relative), "x");
  const ToolResult result = Expect(1, {u"pack", Text(Temp(u"src")), u"-o", Text(Temp(u"out.stp"))});
  std::u16string packagePath = GetParam().relative;
  for (char16_t& c : packagePath) c = c == u'/' ? u'\\' : c;
  const std::string named = GetParam().rejected ? GetParam().rejected : ToUtf8(packagePath);
  EXPECT_EQ(result.LastErrorLine(), "cannot pack \"" + named + "\": " + GetParam().reason);
  EXPECT_FALSE(fs::exists(Temp(u"out.stp")));
}

std::vector<RejectedCase> RejectedNames() {
  return {
#ifndef _WIN32
      RejectedCase{"colon", u"a:b.txt", "the name holds \"\\\" or \":\""},
      RejectedCase{"backslash", u"a\\b.txt", "the name holds \"\\\" or \":\""},
      // The message prints the tab escaped, as every message prints control characters.
      RejectedCase{"tab", u"a\tb.txt", "the name holds a control character", "a\\x09b.txt"},
      RejectedCase{"barInFolder", u"x|y/a.txt", "a folder name holds \",\" or \"|\""},
      RejectedCase{"caseTwin", u"Fine.txt", "it differs from \"Fine.txt\" only in letter case", "fine.txt"},
      RejectedCase{"caseTwinFolder", u"SUB/a.txt", "it differs from \"SUB\\a.txt\" only in letter case", "sub\\a.txt"},
#endif
      RejectedCase{"commaInFolder", u"x,y/a.txt", "a folder name holds \",\" or \"|\""},
      RejectedCase{"otherMacro", u"$Third$/a.txt", "only the top-level folder \"$System$\" may start with \"$\""},
      RejectedCase{"dollarFolder", u"$temp/a.txt", "only the top-level folder \"$System$\" may start with \"$\""},
  };
}

INSTANTIATE_TEST_SUITE_P(Names, PackRejects, ::testing::ValuesIn(RejectedNames()),
                         [](const auto& testInfo) { return std::string(testInfo.param.label); });

}  // namespace
}  // namespace setup::testing_support
