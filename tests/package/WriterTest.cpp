// The package writer: the bytes it writes, and round trips through ExtractPackage.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "crypto/Envelope.h"
#include "crypto/Suite.h"
#include "package/BlockDeflater.h"
#include "package/Extract.h"
#include "package/PackageReader.h"
#include "package/PackageWriter.h"
#include "tests/package/PackageTestSupport.h"

namespace setup {
namespace {

using namespace testing_support;

struct SourceFile {
  std::u16string folder;
  std::u16string name;
  std::string content;
  std::optional<bool> inDestination;
};

class Writer : public ::testing::Test {
 protected:
  std::vector<PackageEntry> Sources(const std::vector<SourceFile>& files) {
    std::vector<PackageEntry> entries;
    for (std::size_t i = 0; i < files.size(); ++i) {
      const fs::path source = sources_.Path() / ("source" + std::to_string(i));
      WriteBytes(source, files[i].content);
      entries.push_back({files[i].folder, files[i].name, source.u16string(), files[i].inDestination});
    }
    return entries;
  }

  std::string Write(const std::vector<SourceFile>& files, const PackageWriterOptions& options) {
    WritePackage(Sources(files), Text(packageFile_), options);
    return ReadBytes(packageFile_);
  }

  void Extract(std::u16string_view password = u"") {
    ExtractPackage(Text(packageFile_), destination_.Text(), password, {}, [this] { return system_.Text(); });
  }

  TempFolder sources_;
  TempFolder work_;
  TempFolder destination_;
  TempFolder system_;
  fs::path packageFile_ = work_.Path() / "out.stp";
};

// A package path ("\\" between folders) as a path of this system.
fs::path Relative(std::u16string text) {
  for (char16_t& c : text) c = c == u'\\' ? u'/' : c;
  return fs::path(text);
}

std::string Pattern(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned state = seed;
  for (std::size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    // Half text-like, half noise, so the streams are neither trivial nor incompressible.
    bytes[i] = (i / 4096) % 2 ? static_cast<char>(state >> 24) : static_cast<char>('a' + (i * 7 + i / 13) % 26);
  }
  return bytes;
}

// Lines of words from a vocabulary of 3,000, the common ones far more often, like prose.
std::string Words(std::size_t size, unsigned seed) {
  unsigned state = seed;
  const auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return state >> 16;  // 16 bits
  };
  std::vector<std::string> vocabulary(3000);
  for (std::string& word : vocabulary) {
    for (unsigned letters = 2 + next() % 10; letters != 0; --letters) word += static_cast<char>('a' + next() % 26);
  }
  std::string text;
  while (text.size() < size) {
    // Word k is chosen about as often as 1 / (k + 1) says (Zipf's law).
    const double u = next() / 65536.0;
    text += vocabulary[static_cast<std::size_t>(std::exp(u * std::log(3001.0))) - 1];
    text += next() % 9 == 0 ? "\n" : " ";
  }
  text.resize(size);
  return text;
}

// Four-byte codes drawn from a set of 64 random ones: nearly every match is exactly one code long.
std::string Codes(std::size_t size) {
  unsigned state = 5;
  const auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return state >> 16;
  };
  std::vector<std::string> codes(64);
  for (std::string& code : codes) {
    for (int k = 0; k < 4; ++k) code += static_cast<char>(next());
  }
  std::string bytes;
  while (bytes.size() < size) bytes += codes[next() % 64];
  bytes.resize(size);
  return bytes;
}

TEST_F(Writer, EachStreamIsTheSmallerOfTwoStrategies) {
  constexpr int kLevel = 6;  // zlib's own search bounds: level 9's are the writer's own
  struct Case {
    const char* name;
    std::string content;
    int strategy;  // the one whose stream a file of this size is expected to carry
  };
  // Words compress better with short matches left as literals; short codes with every match.
  const std::vector<Case> cases = {{"words", Words(6000, 1), Z_FILTERED}, {"codes", Codes(6000), Z_DEFAULT_STRATEGY}};
  for (const Case& item : cases) {
    const std::string other =
        ZlibWithStrategy(item.content, kLevel, item.strategy == Z_FILTERED ? Z_DEFAULT_STRATEGY : Z_FILTERED);
    const std::string expected = ZlibWithStrategy(item.content, kLevel, item.strategy);
    ASSERT_LT(expected.size(), other.size()) << item.name;
    PackageWriterOptions options;
    options.level = kLevel;
    const std::string bytes = Write({{u"", u"f", item.content, {}}}, options);
    EXPECT_TRUE(bytes.substr(0, expected.size()) == expected) << item.name;
    EXPECT_EQ(ReadPackageTable(Text(packageFile_), u"").rows.at(0).packedSize,
              static_cast<std::int32_t>(expected.size()))
        << item.name;
  }
}

TEST_F(Writer, LargeTextUsesTheStrategyItsSampleChose) {
  // Two blocks of words, one of short codes, then words again: each block takes the strategy
  // that suits it.
  const std::string content = Words(2 << 20, 2) + Codes(1 << 20) + Words(300000, 3);
  PackageWriterOptions options;
  options.level = 9;
  options.jobs = 2;
  const std::string bytes = Write({{u"", u"big.txt", content, {}}}, options);
  const std::int32_t packed = ReadPackageTable(Text(packageFile_), u"").rows.at(0).packedSize;
  // Smaller than either strategy for the whole file: by more than 1% than zlib's default one
  // (the words' blocks are about 2% smaller filtered, the codes' block much larger).
  EXPECT_LT(packed, static_cast<std::int32_t>(Zlib(content, 9).size()) * 99 / 100);
  EXPECT_LT(packed, static_cast<std::int32_t>(ZlibWithStrategy(content, 9, Z_FILTERED).size()));
  Extract();
  EXPECT_TRUE(ReadBytes(destination_.Path() / "big.txt") == content);
}

TEST_F(Writer, BytesAreZlibStreamsThenTheEnvelopeThenTheTrailer) {
  PackageWriterOptions options;
  options.hashIndex = 1;
  options.cipherIndex = 6;
  options.level = 9;
  options.password = u"pw";
  const std::string one = "first file", two = Pattern(5000, 3);
  const std::string bytes =
      Write({{u"", u"a.txt", one, {}}, {u"sub\\deeper\\", u"b,c.txt", two, {}}, {u"$System$", u"lib.dll", "", true}},
            options);

  // Each stream is the smaller of zlib's default and filtered ones (the default when equal).
  const auto smaller = [](const std::string& data) {
    const std::string every = Zlib(data, 9), filtered = ZlibWithStrategy(data, 9, Z_FILTERED);
    return filtered.size() < every.size() ? filtered : every;
  };
  const std::string s1 = smaller(one), s2 = smaller(two), s3 = smaller("");
  const std::string payload = s1 + s2 + s3;
  ASSERT_GT(bytes.size(), payload.size() + 7);
  EXPECT_EQ(bytes.substr(0, payload.size()), payload);
  EXPECT_EQ(bytes.substr(bytes.size() - 3), std::string("\x0A\x14\x02", 3));
  const std::string length = bytes.substr(bytes.size() - 7, 4);
  const std::string envelope = bytes.substr(payload.size(), bytes.size() - 7 - payload.size());
  EXPECT_EQ(length, LittleEndian32(static_cast<std::int32_t>(envelope.size())));

  std::u16string wide;
  for (const char c : envelope) {
    ASSERT_LT(static_cast<unsigned char>(c), 0x80u);
    wide += static_cast<char16_t>(c);
  }
  // Positions 4 and 9 name the cipher, 5 and 10 the hash.
  EXPECT_EQ(wide[3] - wide[8], 6);
  EXPECT_EQ(wide[4] - wide[9], 1);
  const auto size = [](const std::string& s) { return IntToText(static_cast<std::int64_t>(s.size())); };
  EXPECT_EQ(DecryptEnvelope(wide, u"pw"), u",a.txt," + size(s1) + u",10|sub\\deeper\\,b\u001Ac.txt," + size(s2) +
                                              u",5000|$System$,lib.dll," + size(s3) + u",0,-1");
}

TEST_F(Writer, RoundTripWithAwkwardNames) {
  const std::vector<SourceFile> files = {
      {u"", u"\u8BF4\u660E.txt", "\xE4\xB8\xAD Chinese name", {}},
      {u"\u6587\u4EF6\u5939\\\u5B50\\", u"\u6570\u636E.bin", Pattern(70000, 1), {}},
      {u"sub\\", u"a,b.txt", "comma", {}},
      {u"sub\\deeper\\deepest\\", u"empty.dat", "", {}},
      {u"ignored\\", u"flagged.txt", "into the destination", true},
      {u"kept\\", u"unflagged.txt", "into its folder", false},
      {u"$System$", u"sys.dll", "system file", {}},
      {u"$Third$extra\\", u"third.dll", "third party", {}},
  };
  PackageWriterOptions options;
  options.jobs = 3;
  Write(files, options);
  Extract();
  EXPECT_EQ(
      ListFiles(destination_.Path()),
      (std::vector<std::string>{"flagged.txt", "kept/unflagged.txt", "sub/a,b.txt", "sub/deeper/deepest/empty.dat",
                                "\xE6\x96\x87\xE4\xBB\xB6\xE5\xA4\xB9/\xE5\xAD\x90/\xE6\x95\xB0\xE6\x8D\xAE.bin",
                                "\xE8\xAF\xB4\xE6\x98\x8E.txt"}));
  EXPECT_EQ(ListFiles(system_.Path()), (std::vector<std::string>{"extra/third.dll", "sys.dll"}));
  for (const SourceFile& file : files) {
    fs::path target;
    if (file.inDestination.value_or(false)) {
      target = destination_.Path() / Relative(file.name);
    } else if (!file.folder.empty() && file.folder[0] == u'$') {
      target = system_.Path() / Relative(file.folder.substr(file.folder.find(u'$', 1) + 1) + file.name);
    } else {
      target = destination_.Path() / Relative(file.folder + file.name);
    }
    EXPECT_TRUE(ReadBytes(target) == file.content) << ToUtf8(file.name);
  }
}

#ifndef _WIN32
// "|" cannot be in a Windows file name; elsewhere it is extracted like any other character.
TEST_F(Writer, RoundTripWithBarInTheName) {
  Write({{u"", u"x|y.txt", "bar", {}}}, {});
  Extract();
  EXPECT_EQ(ReadBytes(destination_.Path() / "x|y.txt"), "bar");
}
#endif

#ifdef _WIN32
// Windows drops the dots and spaces that end a name; the extracted file is the one that its
// whole path reaches, which the install journal and a rollback name.
TEST_F(Writer, NamesEndingInDotsOrSpacesAreWrittenAsTheSystemReadsThem) {
  Write({{u"", u"dot.", "d", {}}, {u"sub\\", u"space ", "s", {}}, {u"", u"plain.txt", "p", {}}}, {});
  Extract();
  EXPECT_EQ(ListFiles(destination_.Path()), (std::vector<std::string>{"dot", "plain.txt", "sub/space"}));
  EXPECT_EQ(ReadBytes(destination_.Path() / "dot"), "d");
}
#endif

TEST_F(Writer, TableCarriesCommaAndBarInNames) {
  Write({{u"", u"x|y,z.txt", "bar", {}}, {u"a\\", u"p,q", "", true}}, {});
  const PackageTable table = ReadPackageTable(Text(packageFile_), u"");
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.rows[0].name, u"x|y,z.txt");
  EXPECT_EQ(table.rows[1].name, u"p,q");
  EXPECT_EQ(table.rows[1].folder, u"a\\");
  EXPECT_EQ(table.rows[1].inDestination, std::optional<bool>(true));
}

TEST_F(Writer, BytesDoNotDependOnTheNumberOfJobs) {
  std::vector<SourceFile> files;
  for (unsigned i = 0; i < 9; ++i) {
    files.push_back({u"d" + IntToText(i % 3) + u"\\", u"f" + IntToText(i), Pattern(30000 * i + 1, i), {}});
  }
  // Three blocks, so the block boundaries are covered too.
  files.push_back({u"", u"large", Pattern(2 * 1024 * 1024 + 5, 99), {}});
  PackageWriterOptions options;
  options.reproducible = true;
  options.password = u"same";
  std::vector<std::string> packages;
  for (const unsigned jobs : {1u, 2u, 4u, 0u}) {
    options.jobs = jobs;
    packages.push_back(Write(files, options));
  }
  for (const std::string& package : packages) EXPECT_TRUE(package == packages[0]);
  options.password = u"other";
  EXPECT_FALSE(Write(files, options) == packages[0]);
  Extract(u"other");
  EXPECT_EQ(ListFiles(destination_.Path()).size(), 10u);
}

TEST_F(Writer, RandomSaltDiffersButExtracts) {
  const std::vector<SourceFile> files = {{u"", u"r.txt", "random salt", {}}};
  const std::string first = Write(files, {});
  const std::string second = Write(files, {});
  EXPECT_FALSE(first == second);
  Extract();
  EXPECT_EQ(ReadBytes(destination_.Path() / "r.txt"), "random salt");
}

TEST_F(Writer, ProgressCountsUnpackedBytes) {
  std::vector<std::pair<std::int64_t, std::int64_t>> seen;
  PackageWriterOptions options;
  options.onProgress = [&](std::int64_t done, std::int64_t total) { seen.emplace_back(done, total); };
  Write({{u"", u"a", "12345", {}}, {u"", u"b", "", {}}, {u"", u"c", "123", {}}}, options);
  EXPECT_EQ(seen, (std::vector<std::pair<std::int64_t, std::int64_t>>{{5, 8}, {5, 8}, {8, 8}}));
}

TEST_F(Writer, NoEntriesMakesAPackageThatHoldsNothing) {
  Write({}, {});
  const PackageTable table = ReadPackageTable(Text(packageFile_), u"");
  EXPECT_TRUE(table.present);
  EXPECT_TRUE(table.rows.empty());
  std::vector<std::int64_t> seen;
  ExtractPackage(Text(packageFile_), destination_.Text(), u"", [&](std::int64_t p) { seen.push_back(p); });
  EXPECT_TRUE(seen.empty());
  EXPECT_TRUE(ListFiles(destination_.Path()).empty());
}

TEST_F(Writer, LargeFilesInParallel) {
  std::vector<SourceFile> files;
  for (unsigned i = 0; i < 4; ++i) files.push_back({u"big\\", u"part" + IntToText(i), Pattern(1500000 + i, i + 7), {}});
  PackageWriterOptions options;
  options.jobs = 2;
  options.level = 1;
  Write(files, options);
  EXPECT_TRUE(VerifyPackage(Text(packageFile_), u"").empty());
  Extract();
  for (unsigned i = 0; i < 4; ++i) {
    EXPECT_TRUE(ReadBytes(destination_.Path() / "big" / ("part" + std::to_string(i))) == files[i].content) << i;
  }
}

TEST(ZlibHeaderBytes, MatchZlibsOwnForEveryLevel) {
  for (int level = -1; level <= 9; ++level) {
    const std::array<std::uint8_t, 2> header = ZlibHeader(level);
    EXPECT_EQ(std::string(header.begin(), header.end()), Zlib("x", level).substr(0, 2)) << level;
  }
}

TEST_F(Writer, MultiBlockStreamIsOneZlibStream) {
  const std::string content = Pattern(3 * 1024 * 1024 + 12345, 5);
  PackageWriterOptions options;
  options.level = 9;
  options.jobs = 2;
  const std::string bytes = Write({{u"", u"big", content, {}}}, options);
  const PackageTable table = ReadPackageTable(Text(packageFile_), u"");
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\x78\xDA", 2));
  // zlib's own one-shot inflater reads it back whole, checksum included.
  std::string out(content.size(), '\0');
  uLongf outSize = static_cast<uLongf>(out.size());
  uLong inSize = static_cast<uLong>(table.rows[0].packedSize);
  ASSERT_EQ(uncompress2(reinterpret_cast<Bytef*>(out.data()), &outSize, reinterpret_cast<const Bytef*>(bytes.data()),
                        &inSize),
            Z_OK);
  EXPECT_EQ(inSize, static_cast<uLong>(table.rows[0].packedSize));
  EXPECT_TRUE(out == content);
  EXPECT_EQ(table.rows[0].unpackedSize, static_cast<std::int32_t>(content.size()));
}

struct RejectCase {
  const char* name;
  SourceFile file;
  std::string message;
};

class WriterRejects : public Writer, public ::testing::WithParamInterface<RejectCase> {};

TEST_P(WriterRejects, WhatTheReaderWouldRejectAndLeavesNothing) {
  WriteBytes(packageFile_, "previous package");
  EXPECT_EQ(MessageOf([&] { Write({{u"", u"good.txt", "good", {}}, GetParam().file}, {}); }), GetParam().message);
  EXPECT_EQ(ReadBytes(packageFile_), "previous package");
  EXPECT_EQ(ListFiles(work_.Path()), std::vector<std::string>{"out.stp"});
}

INSTANTIATE_TEST_SUITE_P(
    Entries, WriterRejects,
    ::testing::Values(RejectCase{"ParentFolder", {u"..\\", u"x", "", {}}, "Invalid target folder \"..\\\""},
                      RejectCase{"AbsoluteFolder", {u"/etc/", u"x", "", {}}, "Invalid target folder \"/etc/\""},
                      RejectCase{"CommaInFolder", {u"a,b\\", u"x", "", {}}, "Invalid target folder \"a,b\\\""},
                      RejectCase{"UnknownMacro", {u"$Temp$", u"x", "", {}}, "Invalid target folder \"$Temp$\""},
                      RejectCase{"DeviceName", {u"", u"aux.txt", "", {}}, "Invalid file name \"aux.txt\""},
                      RejectCase{"EmptyName", {u"sub\\", u"", "", {}}, "Invalid file name \"\""},
                      RejectCase{
                          "ControlCharacter", {u"", u"sub\tdir\\x", "", {}}, "Invalid file name \"sub\tdir\\x\""}),
    [](const auto& item) { return std::string(item.param.name); });

TEST_F(Writer, MissingSourceAndBadOptionsLeaveNothing) {
  std::vector<PackageEntry> entries = Sources({{u"", u"a", "a", {}}});
  entries.push_back({u"", u"b", (sources_.Path() / "missing").u16string(), {}});
  const std::string start = "Cannot open file \"" + ToUtf8((sources_.Path() / "missing").u16string()) + "\". ";
  EXPECT_EQ(MessageOf([&] { WritePackage(entries, Text(packageFile_), {}); }).substr(0, start.size()), start);
  entries.pop_back();

  PackageWriterOptions options;
  options.level = 10;
  EXPECT_EQ(MessageOf([&] { WritePackage(entries, Text(packageFile_), options); }), "Invalid compression level (10)");
  options.level = 6;
  options.cipherIndex = 9;
  EXPECT_EQ(MessageOf([&] { WritePackage(entries, Text(packageFile_), options); }), "Invalid hash or cipher index");
  EXPECT_TRUE(ListFiles(work_.Path()).empty());
}

#ifndef _WIN32
TEST_F(Writer, WriteFailureKeepsThePreviousPackage) {
  WriteBytes(packageFile_, "previous package");
  const std::vector<PackageEntry> entries = Sources({{u"", u"big", Pattern(3 * 1024 * 1024, 11), {}}});
  PackageWriterOptions options;
  options.level = 0;
  std::string message;
  {
    const FileSizeLimit limit(1024 * 1024);
    message = MessageOf([&] { WritePackage(entries, Text(packageFile_), options); });
  }
  EXPECT_EQ(message, "Stream write error");
  EXPECT_EQ(ReadBytes(packageFile_), "previous package");
  EXPECT_EQ(ListFiles(work_.Path()), std::vector<std::string>{"out.stp"});
}
#endif

struct SuiteCase {
  int hash;
  int cipher;
};

class EverySuite : public Writer, public ::testing::WithParamInterface<SuiteCase> {};

TEST_P(EverySuite, RoundTrips) {
  if (!CreateCipherByIndex(GetParam().cipher)) GTEST_SKIP() << "cipher not in this build";
  PackageWriterOptions options;
  options.hashIndex = GetParam().hash;
  options.cipherIndex = GetParam().cipher;
  options.password = u"\u5BC6\u7801";
  const std::string content = Pattern(3000, static_cast<unsigned>(GetParam().hash * 9 + GetParam().cipher));
  Write({{u"s\\", u"\u6587.bin", content, {}}, {u"", u"two", "2", {}}}, options);
  ExtractPackage(Text(packageFile_), destination_.Text(), options.password);
  EXPECT_TRUE(ReadBytes(destination_.Path() / "s" / fs::path(u"\u6587.bin")) == content);
  EXPECT_EQ(ReadBytes(destination_.Path() / "two"), "2");
}

std::vector<SuiteCase> AllSuites() {
  std::vector<SuiteCase> cases;
  for (int hash = 0; hash < kHashCount; ++hash) {
    for (int cipher = 0; cipher < kCipherCount; ++cipher) cases.push_back({hash, cipher});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Suites, EverySuite, ::testing::ValuesIn(AllSuites()), [](const auto& item) {
  return ToUtf8(HashName(item.param.hash)) + "_" + ToUtf8(CipherName(item.param.cipher));
});

}  // namespace
}  // namespace setup
