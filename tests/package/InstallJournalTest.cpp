// The install journal: an extraction under a journal is all or nothing. A failure, a cancel and a
// process killed in the middle (then recovered) each leave the folders exactly as they were; a
// commit keeps the new files and leaves no trace; recovery touches only what its filter allows.
#include <gtest/gtest.h>

#include <map>
#include <span>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "package/Extract.h"
#include "package/InstallJournal.h"
#include "package/ReplacingFile.h"
#include "tests/package/PackageTestSupport.h"

namespace setup {
namespace {

using namespace testing_support;

std::span<const std::byte> Span(const std::string& bytes) {
  return std::as_bytes(std::span<const char>(bytes.data(), bytes.size()));
}

std::u16string Size(const std::string& stream) { return IntToText(static_cast<std::int64_t>(stream.size())); }

// Every file with its bytes and every folder (as "name/"), below root.
using Snapshot = std::map<std::string, std::string>;
Snapshot Take(const fs::path& root) {
  Snapshot snapshot;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    const std::string name = ToUtf8(fs::relative(item.path(), root).generic_u16string());
    if (item.is_directory())
      snapshot[name + "/"] = "";
    else
      snapshot[name] = ReadBytes(item.path());
  }
  return snapshot;
}

// The names that were added, removed or changed (the bytes can be large).
std::string Differences(const Snapshot& before, const Snapshot& after) {
  std::string text;
  for (const auto& [name, bytes] : after) {
    const auto it = before.find(name);
    if (it == before.end())
      text += "added " + name + "; ";
    else if (it->second != bytes)
      text += "changed " + name + "; ";
  }
  for (const auto& [name, bytes] : before)
    if (!after.count(name)) text += "removed " + name + "; ";
  return text;
}

// A product of four files: one replaces the older version's file, one goes into new folders, one
// goes to the system folder, and the last is large enough to be written in several chunks.
struct Product {
  std::string package;
  std::int64_t total = 0;
};

std::string LargeContent() {
  std::string content;
  for (std::int64_t i = 0; content.size() < 16 * 256 * 1024; ++i) content += std::to_string(i * 7919) + ",";
  return content;
}

Product MakeProduct(bool damageLast = false) {
  const std::string large = LargeContent();
  const std::string a = Zlib("new program"), b = Zlib("deep data"), c = Zlib("library"), d = Zlib(large, 1);
  std::string last = d;
  if (damageLast) last[last.size() - 8] ^= 0x41;
  Product product;
  product.package =
      HandBuiltPackage(a + b + c + last, u",Program.exe," + Size(a) + u",11|sub\\deep\\,data.bin," + Size(b) +
                                             u",9|$System$,lib.dll," + Size(c) + u",7|,large.bin," + Size(d) + u"," +
                                             IntToText(static_cast<std::int64_t>(large.size())));
  product.total = 11 + 9 + 7 + static_cast<std::int64_t>(large.size());
  return product;
}

class Journal : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(destination_ / "Program.exe", "old program");
    WriteBytes(destination_ / "My notes.txt", "the user's own file");
    WriteBytes(system_.Path() / "shared.dll", "shared");
    before_ = Take(sandbox_.Path());
    systemBefore_ = Take(system_.Path());
  }

  std::u16string Destination() const { return destination_.u16string(); }

  // The scope of the product's installs into destination_: its journal in a folder of its own.
  JournalScope Scope() const {
    return {(journals_.Path() / "install.jnl").u16string(),
            IncludeTrailingPathDelimiter(Destination()),
            system_.Text(),
            {system_.Text() + u"lib.dll"}};
  }

  // Extracts under a fresh journal, which commits when `commit` holds.
  void Install(const Product& product, const ExtractControl& base = {}, bool commit = true) {
    InstallJournal journal(Scope(), {});
    ExtractControl control = base;
    control.journal = &journal;
    ExtractPackage(Span(product.package), Destination(), u"", control, [this] { return system_.Text(); });
    if (commit) {
      EXPECT_TRUE(journal.Commit());
    }
  }

  void ExpectAsBefore() {
    EXPECT_TRUE(Take(sandbox_.Path()) == before_) << Differences(before_, Take(sandbox_.Path()));
    EXPECT_TRUE(Take(system_.Path()) == systemBefore_) << Differences(systemBefore_, Take(system_.Path()));
  }

  TempFolder sandbox_;
  fs::path destination_ = sandbox_.Path() / "Product";
  TempFolder system_;
  TempFolder journals_;
  Snapshot before_;
  Snapshot systemBefore_;
};

TEST_F(Journal, CommitKeepsTheNewFilesAndLeavesNoTrace) {
  Install(MakeProduct());
  EXPECT_EQ(ReadBytes(destination_ / "Program.exe"), "new program");
  EXPECT_EQ(ReadBytes(destination_ / "sub/deep/data.bin"), "deep data");
  EXPECT_EQ(ReadBytes(destination_ / "large.bin"), LargeContent());
  EXPECT_EQ(ReadBytes(destination_ / "My notes.txt"), "the user's own file");
  EXPECT_EQ(ReadBytes(system_.Path() / "lib.dll"), "library");
  EXPECT_FALSE(HoldsTemporaryFile(sandbox_.Path()));
  EXPECT_EQ(ListFiles(destination_),
            (std::vector<std::string>{"My notes.txt", "Program.exe", "large.bin", "sub/deep/data.bin"}));
}

// An upgrade drops the files of the version before that the new one does not carry: they go with
// the folders they leave empty at commit and all come back on a rollback. A file the user made
// beside them, a file outside the destination and a file that is already gone are left alone.
TEST_F(Journal, DroppedFilesGoAtCommitAndComeBackOnRollback) {
  const fs::path outside = sandbox_.Path() / "Outside.txt";
  for (const bool commit : {false, true}) {
    WriteBytes(destination_ / "old" / "c.txt", "c");
    WriteBytes(destination_ / "old" / "deeper" / "e.txt", "e");
    WriteBytes(destination_ / "kept" / "f.txt", "f");
    WriteBytes(destination_ / "kept" / "mine.txt", "the user's");
    WriteBytes(outside, "not the product's");
    const Snapshot staged = Take(sandbox_.Path());
    {
      InstallJournal journal(Scope(), {});
      journal.DropFiles({(destination_ / "old" / "c.txt").u16string(),
                         (destination_ / "old" / "deeper" / "e.txt").u16string(),
                         (destination_ / "kept" / "f.txt").u16string(), (destination_ / "gone.txt").u16string(),
                         outside.u16string()});
      EXPECT_FALSE(fs::exists(destination_ / "old" / "c.txt"));
      if (commit) {
        EXPECT_TRUE(journal.Commit());
      } else {
        journal.Rollback();
      }
    }
    if (!commit) {
      EXPECT_TRUE(Take(sandbox_.Path()) == staged) << Differences(staged, Take(sandbox_.Path()));
      continue;
    }
    EXPECT_FALSE(fs::exists(destination_ / "old"));
    EXPECT_FALSE(fs::exists(destination_ / "kept" / "f.txt"));
    EXPECT_EQ(ReadBytes(destination_ / "kept" / "mine.txt"), "the user's");
    EXPECT_EQ(ReadBytes(outside), "not the product's");
    EXPECT_EQ(ListFiles(destination_), (std::vector<std::string>{"My notes.txt", "Program.exe", "kept/mine.txt"}));
    EXPECT_FALSE(fs::exists(fs::path(Scope().journalFile)));
  }
}

TEST_F(Journal, DamagedLastStreamRollsEverythingBack) {
  EXPECT_THROW(Install(MakeProduct(true)), EDecompressionError);
  ExpectAsBefore();
}

TEST_F(Journal, FolderCreatedForTheInstallGoesToo) {
  const fs::path fresh = sandbox_.Path() / "Fresh" / "Product";
  fs::create_directories(fresh);
  {
    JournalScope scope = Scope();
    scope.destination = IncludeTrailingPathDelimiter(fresh.u16string());
    InstallJournal journal(scope, {(sandbox_.Path() / "Fresh").u16string(), fresh.u16string()});
    ExtractControl control;
    control.journal = &journal;
    EXPECT_THROW(ExtractPackage(Span(MakeProduct(true).package), fresh.u16string(), u"", control,
                                [this] { return system_.Text(); }),
                 EDecompressionError);
  }
  ExpectAsBefore();
}

struct CancelCase {
  const char* name;
  int percent;  // cancelled once this share of the bytes is written
};

class JournalCancel : public Journal, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(JournalCancel, StopsAndRollsBack) {
  const Product product = MakeProduct();
  bool stop = false;
  std::vector<std::int64_t> seen;
  ExtractControl control;
  control.onBytes = [&](std::int64_t done, std::int64_t total) {
    EXPECT_EQ(total, product.total);
    seen.push_back(done);
    stop = done * 100 >= total * GetParam().percent;
  };
  control.cancelled = [&] { return stop; };
  EXPECT_THROW(Install(product, control), ECancelled);
  ExpectAsBefore();
  ASSERT_FALSE(seen.empty());
  EXPECT_LT(seen.back(), product.total) << testing::PrintToString(seen);
}

INSTANTIATE_TEST_SUITE_P(Points, JournalCancel,
                         ::testing::Values(CancelCase{"AtTheStart", 0}, CancelCase{"InTheLargeFile", 50},
                                           CancelCase{"NearTheEnd", 90}),
                         [](const auto& item) { return std::string(item.param.name); });

TEST_F(Journal, ProgressByBytesMovesInsideTheLargeFileAndNeverGoesBack) {
  const Product product = MakeProduct();
  std::vector<std::int64_t> seen;
  ExtractControl control;
  control.onBytes = [&](std::int64_t done, std::int64_t) { seen.push_back(done); };
  std::vector<std::string> files;
  control.onFile = [&](const std::u16string& file) { files.push_back(ToUtf8(file)); };
  Install(product, control);
  ASSERT_FALSE(seen.empty());
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(seen.back(), product.total);
  // Strictly between the end of the third file and the end of the large one.
  const auto inside =
      std::count_if(seen.begin(), seen.end(), [&](std::int64_t d) { return d > 27 && d < product.total; });
  EXPECT_GE(inside, 2);
  EXPECT_EQ(files.size(), 4u);
}

// A journal names the files of a killed attempt; recovery puts back the old program and removes
// what the attempt made, and a journal that is gone is no journal.
TEST_F(Journal, RecoveryUndoesAKilledAttempt) {
  WriteBytes(destination_ / "created.txt", "made by a killed attempt");
  WriteBytes(destination_ / "~stp0123456789abcdef.old", "old version");
  WriteBytes(destination_ / "Program.exe", "half-installed program");
  const std::u16string dest = IncludeTrailingPathDelimiter(Destination());
  WriteBytes(fs::path(Scope().journalFile),
             ToUtf8(u"N\t" + dest + u"created.txt\nA\t" + dest + u"Program.exe\t" + dest +
                    u"~stp0123456789abcdef.old\nN\t" + dest + u"Program.exe\nT\t" + dest + u"My notes"));
  EXPECT_EQ(RecoverInstallJournal(Scope()), Recovery::Recovered);
  EXPECT_EQ(ListFiles(destination_), (std::vector<std::string>{"My notes.txt", "Program.exe"}));
  EXPECT_EQ(ReadBytes(destination_ / "Program.exe"), "old version");
  EXPECT_FALSE(fs::exists(fs::path(Scope().journalFile)));
  EXPECT_EQ(RecoverInstallJournal(Scope()), Recovery::NoJournal);
}

TEST_F(Journal, RecoveryOfACommittedAttemptOnlyRemovesTheOldFiles) {
  const std::u16string dest = IncludeTrailingPathDelimiter(Destination());
  WriteBytes(destination_ / "~stp00000000000000aa.old", "old version still in use then");
  WriteBytes(destination_ / "new.txt", "installed");
  WriteBytes(fs::path(Scope().journalFile), ToUtf8(u"N\t" + dest + u"new.txt\nA\t" + dest + u"Program.exe\t" + dest +
                                                   u"~stp00000000000000aa.old\nC\t" + dest + u"x\n"));
  EXPECT_EQ(RecoverInstallJournal(Scope()), Recovery::Recovered);
  EXPECT_EQ(ListFiles(destination_), (std::vector<std::string>{"My notes.txt", "Program.exe", "new.txt"}));
}

// Recovery of journals that a batch of reserved aside names and targets in use leave: each row
// writes its files ("$D" the destination) and journal, and expects the destination's files after.
struct RecoveryCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // name in the destination, bytes
  const char* lines;
  std::vector<std::pair<std::string, std::string>> expected;  // every file afterwards, with bytes
};

class JournalRecovery : public Journal, public ::testing::WithParamInterface<RecoveryCase> {};

TEST_P(JournalRecovery, LeavesTheExpectedFiles) {
  for (const auto& [name, bytes] : GetParam().files) WriteBytes(destination_ / name, bytes);
  std::string lines = GetParam().lines;
  const std::string dest = ToUtf8(IncludeTrailingPathDelimiter(Destination()));
  for (std::size_t at = lines.find("$D"); at != std::string::npos; at = lines.find("$D", at + dest.size()))
    lines.replace(at, 2, dest);
  WriteBytes(fs::path(Scope().journalFile), lines);
  EXPECT_EQ(RecoverInstallJournal(Scope()), Recovery::Recovered);
  std::vector<std::pair<std::string, std::string>> found;
  for (const std::string& name : ListFiles(destination_)) found.emplace_back(name, ReadBytes(destination_ / name));
  EXPECT_EQ(found, GetParam().expected);
  EXPECT_FALSE(fs::exists(fs::path(Scope().journalFile)));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, JournalRecovery,
    ::testing::Values(
        // Aside names reserved for a batch, the first file moved, the process killed before the
        // second: the moved one comes back, the other was never touched.
        RecoveryCase{"ReservedAsidesOfABatch",
                     {{"a.dll", "new a"}, {"~stp000000000000000a.old", "old a"}, {"b.dll", "old b"}},
                     "A\t$Da.dll\t$D~stp000000000000000a.old\nA\t$Db.dll\t$D~stp000000000000000b.old\n"
                     "N\t$Da.dll\n",
                     {{"My notes.txt", "the user's own file"},
                      {"Program.exe", "old program"},
                      {"a.dll", "old a"},
                      {"b.dll", "old b"}}},
        // A target in use waits for the restart and the attempt is killed before its end: the new
        // file beside it goes, the old one stays.
        RecoveryCase{"KilledWithATargetWaitingForTheRestart",
                     {{"~stp00000000000000ee.tmp", "new program"}},
                     "A\t$DProgram.exe\t$D~stp00000000000000ff.old\nT\t$D~stp00000000000000ee.tmp\n"
                     "R\t$DProgram.exe\t$D~stp00000000000000ee.tmp\n",
                     {{"My notes.txt", "the user's own file"}, {"Program.exe", "old program"}}},
        // A committed attempt whose target waited for a restart that has not come, and nobody holds
        // the target now: it receives its new file before the next install begins.
        RecoveryCase{"CommittedWithATargetFreeByNow",
                     {{"~stp00000000000000ee.tmp", "new program"}},
                     "T\t$D~stp00000000000000ee.tmp\nR\t$DProgram.exe\t$D~stp00000000000000ee.tmp\nC\tx\n",
                     {{"My notes.txt", "the user's own file"}, {"Program.exe", "new program"}}},
        // The same after the restart: the system has moved the file, and nothing is left to do.
        RecoveryCase{"CommittedAfterTheRestart",
                     {{"Program.exe", "new program"}},
                     "T\t$D~stp00000000000000ee.tmp\nR\t$DProgram.exe\t$D~stp00000000000000ee.tmp\nC\tx\n",
                     {{"My notes.txt", "the user's own file"}, {"Program.exe", "new program"}}},
        // A restart entry whose file lies in another folder than its target is no install's.
        RecoveryCase{"RestartEntryFromAnotherFolder",
                     {{"sub/~stp00000000000000ee.tmp", "planted"}},
                     "R\t$DProgram.exe\t$Dsub/~stp00000000000000ee.tmp\nC\tx\n",
                     {{"My notes.txt", "the user's own file"},
                      {"Program.exe", "old program"},
                      {"sub/~stp00000000000000ee.tmp", "planted"}}}),
    [](const auto& item) { return std::string(item.param.name); });

// An upgrade of more files than one batch of reserved aside names: a failure in the last file
// puts every old file back, and a commit keeps every new one.
TEST_F(Journal, UpgradeOfManyFilesAcrossBatches) {
  constexpr int kFiles = 600;
  std::string payload;
  std::u16string table;
  for (int i = 0; i < kFiles; ++i) {
    const std::string name = "f" + std::to_string(1000 + i) + ".txt";
    WriteBytes(destination_ / name, "old " + name);
    std::string stream = Zlib("new " + name);
    if (i == kFiles - 1) stream[stream.size() - 2] ^= 0x41;
    payload += stream;
    if (!table.empty()) table += u"|";
    table += u"," + FromUtf8(name) + u"," + Size(stream) + u"," + IntToText(static_cast<std::int64_t>(name.size() + 4));
  }
  before_ = Take(sandbox_.Path());
  EXPECT_THROW(Install({HandBuiltPackage(payload, table), 0}), EDecompressionError);
  ExpectAsBefore();
}

TEST_F(Journal, ASecondJournalOfTheSameScopeIsRefused) {
  InstallJournal first(Scope(), {});
  EXPECT_THROW(InstallJournal(Scope(), {}), EFCreateError);
}

// Planted and damaged journals: whatever they say, nothing outside the install changes, and the
// system folder keeps its own files. Each row writes its journal lines ("$D" the destination,
// "$S" the system folder, "$O" a folder outside both) into the journal's place.
struct PlantedJournal {
  const char* name;
  const char* lines;
};

class PlantedJournals : public Journal, public ::testing::WithParamInterface<PlantedJournal> {
 protected:
  void SetUp() override {
    Journal::SetUp();
    WriteBytes(outside_.Path() / "precious.txt", "someone else's");
    WriteBytes(outside_.Path() / "evil.bin", "the attacker's");
    WriteBytes(system_.Path() / "lib.dll", "a shared library someone else installed");
    systemBefore_ = Take(system_.Path());
    outsideBefore_ = Take(outside_.Path());
  }
  std::string Expand(std::string text) const {
    const std::pair<std::string, std::string> names[] = {{"$D", ToUtf8(IncludeTrailingPathDelimiter(Destination()))},
                                                         {"$S", ToUtf8(system_.Text())},
                                                         {"$O", ToUtf8(outside_.Text())}};
    for (const auto& [from, to] : names)
      for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
  }
  void ExpectOutsideUntouched() {
    EXPECT_TRUE(Take(outside_.Path()) == outsideBefore_) << Differences(outsideBefore_, Take(outside_.Path()));
    EXPECT_TRUE(Take(system_.Path()) == systemBefore_) << Differences(systemBefore_, Take(system_.Path()));
    EXPECT_EQ(ReadBytes(destination_ / "My notes.txt"), "the user's own file");
  }
  TempFolder outside_;
  Snapshot outsideBefore_;
};

TEST_P(PlantedJournals, TouchNothingOutside) {
  WriteBytes(fs::path(Scope().journalFile), Expand(GetParam().lines));
  (void)RecoverInstallJournal(Scope());
  ExpectOutsideUntouched();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlantedJournals,
    ::testing::Values(
        // A file moved "back" into the system folder, and the package's own system file deleted.
        PlantedJournal{"MoveIntoTheSystemFolder", "A\t$Slib.dll\t$Oevil.bin\n"},
        PlantedJournal{"MoveIntoTheSystemFolderFromTheDestination", "A\t$Slib.dll\t$S~stp0123456789abcdef.old\n"},
        PlantedJournal{"DeleteAFileOutside", "N\t$Oprecious.txt\nT\t$O~stp0123456789abcdef.tmp\n"},
        PlantedJournal{"DeleteASystemFileNotOfThePackage", "N\t$Sother.dll\n"},
        PlantedJournal{"StepOutOfTheDestination", "N\t$D..\\outside.txt\nN\t$D../outside.txt\n"},
        PlantedJournal{"MoveOutsideFileOverTheProgram", "A\t$DProgram.exe\t$Oevil.bin\n"},
        PlantedJournal{"AsideWithAnotherName", "A\t$DProgram.exe\t$DMy notes.txt\n"},
        PlantedJournal{"CommittedRemovesOutside", "A\t$DProgram.exe\t$Oprecious.txt\nC\tx\n"},
        PlantedJournal{"CommittedRemovesSystemFile", "A\t$Slib.dll\t$Slib.dll\nC\tx\n"},
        PlantedJournal{"FolderOutside", "D\t$O\n"}, PlantedJournal{"Garbage", "\x01\x02\nX\tsomething\n\n\t\n"}),
    [](const auto& item) { return std::string(item.param.name); });

#ifndef _WIN32
// A folder inside the destination swapped for a link to a folder outside: recovery and a rollback
// reach nothing through it.
TEST_F(PlantedJournals, LinkInsideTheDestinationLeadsNowhere) {
  fs::create_directory_symlink(outside_.Path(), destination_ / "linked");
  const std::string lines = Expand(
      "N\t$Dlinked/precious.txt\nA\t$Dlinked/precious.txt\t$Dlinked/~stp0123456789abcdef.old\n"
      "A\t$Dlinked/library.dll\t$Dlinked/evil.bin\n");
  WriteBytes(destination_ / "linked" / "~stp0123456789abcdef.old", "the attacker's");
  outsideBefore_ = Take(outside_.Path());
  WriteBytes(fs::path(Scope().journalFile), lines);
  (void)RecoverInstallJournal(Scope());
  ExpectOutsideUntouched();
}

// The journal itself a link, a folder, a file with another name (hard link), or someone else's:
// refused, nothing done.
TEST_F(PlantedJournals, UntrustedJournalFilesAreRefused) {
  const std::string lines = Expand("N\t$DProgram.exe\n");
  const fs::path journal(Scope().journalFile);
  WriteBytes(outside_.Path() / "journal.txt", lines);
  fs::create_symlink(outside_.Path() / "journal.txt", journal);
  EXPECT_EQ(RecoverInstallJournal(Scope()), Recovery::Refused);
  fs::remove(journal);
  fs::create_hard_link(outside_.Path() / "journal.txt", journal);
  EXPECT_EQ(RecoverInstallJournal(Scope()), Recovery::Refused);
  fs::remove(journal);
  fs::create_directory(journal);
  EXPECT_EQ(RecoverInstallJournal(Scope()), Recovery::Refused);
  fs::remove(journal);
  EXPECT_EQ(ReadBytes(destination_ / "Program.exe"), "old program");
  outsideBefore_ = Take(outside_.Path());
  ExpectOutsideUntouched();
}

// The journals' folder: made for administrators only, and refused where it is a link.
TEST_F(Journal, JournalFolderIsPrivateAndNeverALink) {
  const std::u16string folder = JournalFolder(journals_.Path().u16string());
  const auto permissions = fs::status(fs::path(folder)).permissions();
  EXPECT_EQ(permissions & (fs::perms::group_write | fs::perms::others_write), fs::perms::none);
  TempFolder elsewhere;
  const fs::path linked = elsewhere.Path() / "parent";
  fs::create_directories(linked);
  fs::create_directory_symlink(sandbox_.Path(), linked / "Setup Toolkit");
  EXPECT_THROW(JournalFolder(linked.u16string()), EFCreateError);
}
#endif

// Another product's journal, or this product's for another folder, has another name.
TEST(JournalNames, DifferPerProductAndDestination) {
  const std::u16string a = JournalFileName(u"Glyphor", u"C:\\Program Files\\Glyphor\\");
  EXPECT_EQ(a.size(), 4u + 16u + 4u);
  EXPECT_EQ(a.rfind(u"~stp", 0), 0u);
  EXPECT_NE(a, JournalFileName(u"Quorvel", u"C:\\Program Files\\Glyphor\\"));
  EXPECT_NE(a, JournalFileName(u"Glyphor", u"D:\\Glyphor\\"));
}

#ifndef _WIN32
// A process killed in the middle of the large file (a new name, so written in place) leaves its
// journal, the partly written file and the moved-aside program; the next run's recovery puts
// everything back.
TEST_F(Journal, KilledAttemptIsRecoveredByTheNextRun) {
  const Product product = MakeProduct();
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    InstallJournal journal(Scope(), {});
    ExtractControl control;
    control.journal = &journal;
    control.onBytes = [&](std::int64_t done, std::int64_t total) {
      if (done * 2 >= total) _exit(0);  // no unwinding, no rollback: as a killed process
    };
    ExtractPackage(Span(product.package), Destination(), u"", control, [this] { return system_.Text(); });
    _exit(1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_TRUE(fs::exists(destination_ / "large.bin"));
  EXPECT_LT(fs::file_size(destination_ / "large.bin"), LargeContent().size());
  EXPECT_TRUE(fs::exists(fs::path(Scope().journalFile)));

  EXPECT_EQ(RecoverInstallJournal(Scope()), Recovery::Recovered);
  ExpectAsBefore();
}
#else
// The system's list of moves at the next restart, as one text.
std::u16string PendingMoves() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_QUERY_VALUE,
                    &key) != ERROR_SUCCESS)
    return {};
  DWORD bytes = 0;
  std::u16string text;
  if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &bytes) == ERROR_SUCCESS) {
    text.resize(bytes / 2);
    RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()),
                     &bytes);
  }
  RegCloseKey(key);
  return text;
}

std::vector<fs::path> TemporaryFiles(const fs::path& folder) {
  std::vector<fs::path> found;
  for (const auto& item : fs::directory_iterator(folder))
    if (item.path().extension() == ".tmp") found.push_back(item.path());
  return found;
}

// A target held open without sharing cannot be moved aside: its new file waits beside it for the
// restart, the old one stays and the install goes on. The journal stays committed; the next run,
// with the target free, puts the new file in place and withdraws the pending move.
TEST_F(Journal, TargetHeldOpenIsReplacedAtTheRestart) {
  const fs::path held = destination_ / "large.bin";
  WriteBytes(held, "held open");
  HANDLE h = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  {
    InstallJournal journal(Scope(), {});
    ExtractControl control;
    control.journal = &journal;
    ExtractPackage(Span(MakeProduct().package), Destination(), u"", control, [this] { return system_.Text(); });
    EXPECT_EQ(journal.ReplacedAtRestart(), std::vector<std::u16string>{held.u16string()});
    EXPECT_TRUE(journal.Commit());
  }
  EXPECT_EQ(ReadBytes(held), "held open");
  EXPECT_EQ(ReadBytes(destination_ / "Program.exe"), "new program");
  const std::vector<fs::path> waiting = TemporaryFiles(destination_);
  ASSERT_EQ(waiting.size(), 1u);
  EXPECT_EQ(ReadBytes(waiting[0]), LargeContent());
  EXPECT_NE(PendingMoves().find(waiting[0].filename().u16string()), std::u16string::npos);
  EXPECT_TRUE(fs::exists(fs::path(Scope().journalFile)));
  CloseHandle(h);

  EXPECT_EQ(RecoverInstallJournal(Scope()), Recovery::Recovered);
  EXPECT_EQ(ReadBytes(held), LargeContent());
  EXPECT_TRUE(TemporaryFiles(destination_).empty());
  EXPECT_EQ(PendingMoves().find(waiting[0].filename().u16string()), std::u16string::npos);
  EXPECT_FALSE(fs::exists(fs::path(Scope().journalFile)));
}

// A target in use waits for the restart, and a later file fails: the rollback withdraws the
// pending move and removes the new file, so the old one stays whether the restart comes or not.
TEST_F(Journal, RollbackWithdrawsTheMoveAtTheRestart) {
  const fs::path held = destination_ / "Program.exe";
  const HANDLE h = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  const std::u16string movesBefore = PendingMoves();
  EXPECT_THROW(Install(MakeProduct(true)), EDecompressionError);
  CloseHandle(h);
  ExpectAsBefore();
  EXPECT_EQ(PendingMoves(), movesBefore);
}

// A file in the system folder never waits for a restart: in use, it stops the install.
TEST_F(Journal, SystemFileInUseStopsTheInstall) {
  const fs::path held = system_.Path() / "lib.dll";
  WriteBytes(held, "in use");
  systemBefore_ = Take(system_.Path());
  // The row keeps an existing system file; one made between the check and the write is replaced.
  const std::u16string scopeTarget = system_.Text() + u"lib.dll";
  InstallJournal journal(Scope(), {});
  const HANDLE h = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ReplacingFile output(scopeTarget);
  const std::string message = MessageOf([&] { (void)journal.PrepareTarget(scopeTarget, output.TemporaryName()); });
  CloseHandle(h);
  EXPECT_NE(message.find("lib.dll"), std::string::npos) << message;
}
#endif

}  // namespace
}  // namespace setup
