#include "package/Extract.h"

#include <cmath>
#include <optional>
#include <set>
#include <vector>

#include "base/FileStream.h"
#include "base/FileSystem.h"
#include "base/MemorySource.h"
#include "package/FileTable.h"
#include "package/InflateAhead.h"
#include "package/InstallJournal.h"
#include "package/PackagePaths.h"
#include "package/ReplacingFile.h"
#include "package/TargetFolder.h"

namespace setup {

namespace {

struct Target {
  bool macro = false;  // macro rows keep a file that already exists
  // The same folder split for TargetFolder: the trusted base (destination or system folder),
  // the folders below it, and the text after the last separator, which begins the file name.
  std::u16string base;
  std::u16string below;
  std::u16string namePrefix;
};

void SplitBelow(Target& target, std::u16string_view rest) {
  const std::size_t cut = rest.find_last_of(u"\\/");
  const std::size_t split = cut == std::u16string_view::npos ? 0 : cut + 1;
  target.below = rest.substr(0, split);
  target.namePrefix = rest.substr(split);
}

// The target folder of every row, worked out before any file is touched. The table has already
// been checked, so a macro row is one macro followed by a safe relative folder.
std::vector<Target> ResolveTargets(const PackageTable& table, const std::u16string& destination,
                                   const SystemFolderFunction& systemFolder) {
  std::vector<Target> targets;
  targets.reserve(table.rows.size());
  for (const PackageRow& row : table.rows) {
    Target target;
    if (row.inDestination.value_or(false)) {
      target.base = destination;
    } else if (!row.folder.empty() && row.folder.front() == u'$') {
      const std::u16string system = systemFolder ? systemFolder() : std::u16string();
      // Without a system folder the macro would leave a path relative to the current folder.
      if (system.empty()) throw EInOutError::CannotCreateDirectory();
      target.base = IncludeTrailingPathDelimiter(system);
      SplitBelow(target, *MacroRemainder(row.folder));
      target.macro = true;
    } else {
      target.base = destination;
      SplitBelow(target, row.folder);
    }
    targets.push_back(std::move(target));
  }
  return targets;
}

}  // namespace

std::vector<std::u16string> DestinationFiles(const PackageTable& table) {
  std::vector<std::u16string> files;
  for (const PackageRow& row : table.rows) {
    const bool inDestination = row.inDestination.value_or(false);
    if (!inDestination && !row.folder.empty() && row.folder.front() == u'$') continue;
    // As the targets are resolved: a destination row ignores its folder, another keeps it whole.
    files.push_back((inDestination ? std::u16string() : row.folder) + std::u16string(LastNameComponent(row.name)));
  }
  return files;
}

namespace {

// Every folder that already exists below a base is a plain folder, checked for the whole table
// before any file is written. Links planted later are caught again when each file is written.
void CheckExistingFolders(const std::vector<Target>& targets) {
  std::set<std::u16string> checked;
  for (const Target& target : targets) {
    if (target.below.empty() || !checked.insert(target.base + target.below).second) continue;
    (void)TargetFolder(target.base, target.below, TargetFolder::Missing::Stop);
  }
}

// done / total as a percentage, the half going to the even neighbour. A package without bytes
// counts as complete.
std::int64_t Percentage(std::int64_t done, std::int64_t total) {
  if (total == 0) return 100;
  return static_cast<std::int64_t>(std::nearbyint(static_cast<double>(done) / static_cast<double>(total) * 100.0));
}

// Folders an install makes are journalled, so a rollback takes them away again, and made
// without following a link below the base; a plain extraction's folders are made by the walk of
// its first file (TargetFolder), and one that cannot be made is named when that file fails.
void MakeFolders(const std::u16string& base, std::u16string_view below, const ExtractControl& control) {
  if (control.journal)
    control.journal->CreateFolders(base, below);
  else if (below.empty() && !DirectoryExists(base))
    (void)ForceDirectories(base);
}

// How many of the next files an install reserves aside names for at once, and so forces the
// journal to the disk once for (see InstallJournal): a bound on entries that may go unused.
constexpr std::size_t kAsideBatch = 512;

// The full paths of rows first..first+count that replace rather than keep what is there (a
// system-folder row keeps an existing file); the journal takes those that exist.
std::vector<std::u16string> UpcomingTargets(const PackageTable& table, const std::vector<Target>& targets,
                                            std::size_t first, std::size_t count) {
  std::vector<std::u16string> upcoming;
  for (std::size_t i = first; i < table.rows.size() && i - first < count; ++i) {
    const Target& target = targets[i];
    if (target.macro) continue;
    upcoming.push_back(target.base + target.below + target.namePrefix +
                       std::u16string(LastNameComponent(table.rows[i].name)));
  }
  return upcoming;
}

void StopIfCancelled(const ExtractControl& control) {
  if (control.cancelled && control.cancelled()) throw ECancelled();
}

void ExtractFrom(ByteSource& package, const std::u16string& destination, std::u16string_view password,
                 const ExtractControl& control, const ExtractProgressHandler& onProgress,
                 const SystemFolderFunction& systemFolder) {
  // A destination without its separator would put the files beside it, not in it.
  const std::u16string destinationFolder = IncludeTrailingPathDelimiter(destination);
  MakeFolders(destinationFolder, u"", control);

  std::optional<PackageTable> loaded;
  if (!control.table) loaded = LoadFileTable(package, password);
  const PackageTable& table = control.table ? *control.table : *loaded;
  if (!table.present) return;
  const std::vector<Target> targets = ResolveTargets(table, destinationFolder, systemFolder);
  CheckExistingFolders(targets);

  // Inflated on a thread of its own while the files are written here, in table order.
  InflateAhead inflated(package, table.rows);
  std::int64_t done = 0;
  // The folder being written into, reached without following links and held, with every folder
  // on its way, from its first file to its last: the rows are in path order, so the files of a
  // folder come one after the other, and while the folder is held nobody can swap it for a link.
  std::optional<TargetFolder> folder;
  std::u16string folderPath;
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    const PackageRow& row = table.rows[i];
    const Target& target = targets[i];
    StopIfCancelled(control);
    const std::u16string where = target.base + target.below;
    if (!folder || folderPath != where) {
      folder.reset();
      folderPath = where;
      if (control.journal) MakeFolders(target.base, target.below, control);
      folder.emplace(target.base, target.below, TargetFolder::Missing::Create);
    }
    // The existence test looks at exactly the file that would be written.
    const std::u16string name = target.namePrefix + std::u16string(LastNameComponent(row.name));
    const std::u16string targetFile = where + name;
    if (target.macro && FileExists(targetFile)) {
      inflated.SkipNext();
      if (control.onFile) control.onFile(targetFile);
      done += row.unpackedSize;
      if (control.onBytes) control.onBytes(done, table.totalUnpacked);
      continue;
    }

    if (control.onFile) control.onFile(targetFile);
    ReplacingFile output(*folder, name);
    if (control.journal) {
      if (output.WritesInPlace())
        control.journal->NewFile(targetFile);
      else
        control.journal->TemporaryFile(output.TemporaryName());
    }
    std::int64_t written = done;
    inflated.TakeNext([&](const std::uint8_t* data, std::size_t size) {
      StopIfCancelled(control);
      try {
        output.Write(data, size);
      } catch (const EWriteError&) {
        // An install names the file and the system's reason (a full disk, say) while it is current.
        if (control.journal) throw EFCreateError(targetFile, LastErrorText());
        throw;
      }
      written += static_cast<std::int64_t>(size);
      if (control.onBytes) control.onBytes(written, table.totalUnpacked);
    });
    InstallJournal::Placement placement = InstallJournal::Placement::Now;
    if (control.journal && !output.WritesInPlace()) {
      if (!control.journal->HasReservedAside(targetFile))
        control.journal->ReserveAsides(UpcomingTargets(table, targets, i, kAsideBatch));
      placement = control.journal->PrepareTarget(targetFile, output.TemporaryName());
    }
    if (placement == InstallJournal::Placement::AtRestart) {
      output.KeepUnmoved();  // closed before the system is told to move it
      control.journal->ReplaceAtRestart(targetFile, output.TemporaryName());
    } else {
      output.Commit();
    }

    done += row.unpackedSize;
    if (control.onBytes && row.unpackedSize == 0) control.onBytes(done, table.totalUnpacked);
    if (onProgress) onProgress(Percentage(done, table.totalUnpacked));
  }
}

}  // namespace

void ExtractPackage(const std::u16string& packageFile, const std::u16string& destination, std::u16string_view password,
                    const ExtractProgressHandler& onProgress, const SystemFolderFunction& systemFolder) {
  FileStream package(packageFile, FileStream::Mode::OpenRead);
  ExtractFrom(package, destination, password, {}, onProgress, systemFolder);
}

void ExtractPackage(std::span<const std::byte> package, const std::u16string& destination, std::u16string_view password,
                    const ExtractProgressHandler& onProgress, const SystemFolderFunction& systemFolder) {
  MemorySource source(package);
  ExtractFrom(source, destination, password, {}, onProgress, systemFolder);
}

void ExtractPackage(std::span<const std::byte> package, const std::u16string& destination, std::u16string_view password,
                    const ExtractControl& control, const SystemFolderFunction& systemFolder) {
  MemorySource source(package);
  ExtractFrom(source, destination, password, control, {}, systemFolder);
}

}  // namespace setup
