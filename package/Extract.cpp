#include "package/Extract.h"

#include <cmath>
#include <vector>

#include "base/FileStream.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "package/FileTable.h"
#include "package/PackagePaths.h"
#include "package/ReplacingFile.h"
#include "package/StreamInflater.h"

namespace setup {

namespace {

struct Target {
  std::u16string folder;  // the folder text that the file name follows
  bool macro = false;     // macro rows keep a file that already exists
};

// The target folder of every row, worked out before any file is touched. The table has already
// been checked, so a macro row is one macro followed by a safe relative folder.
std::vector<Target> ResolveTargets(const PackageTable& table, const std::u16string& destination,
                                   const SystemFolderFunction& systemFolder) {
  std::vector<Target> targets;
  targets.reserve(table.rows.size());
  for (const PackageRow& row : table.rows) {
    Target target;
    if (row.inDestination.value_or(false)) {
      target.folder = destination;
    } else if (!row.folder.empty() && row.folder.front() == u'$') {
      const std::u16string system = systemFolder ? systemFolder() : std::u16string();
      // Without a system folder the macro would leave a path relative to the current folder.
      if (system.empty()) throw EInOutError::CannotCreateDirectory();
      target.folder = IncludeTrailingPathDelimiter(system) + std::u16string(*MacroRemainder(row.folder));
      target.macro = true;
    } else {
      target.folder = destination + row.folder;
    }
    targets.push_back(std::move(target));
  }
  return targets;
}

// Makes the row's target folder when it is missing. One that cannot be made fails here, as the
// create error of the file that needed it, with the folder named in the reason; an empty folder
// text raises "Unable to create directory" from ForceDirectories.
void MakeTargetFolder(const std::u16string& folder, const std::u16string& file) {
  if (DirectoryExists(folder) || ForceDirectories(folder)) return;
  const std::u16string reason = LastErrorText();  // before anything else can overwrite it
  throw EFCreateError(file, FormatText(u"Unable to create directory \"%s\". %s", {folder, reason}));
}

// done / total as a percentage, the half going to the even neighbour. A package without bytes
// counts as complete.
std::int64_t Percentage(std::int64_t done, std::int64_t total) {
  if (total == 0) return 100;
  return static_cast<std::int64_t>(std::nearbyint(static_cast<double>(done) / static_cast<double>(total) * 100.0));
}

}  // namespace

void ExtractPackage(const std::u16string& packageFile, const std::u16string& destination, std::u16string_view password,
                    const ExtractProgressHandler& onProgress, const SystemFolderFunction& systemFolder) {
  // A destination without its separator would put the files beside it, not in it.
  const std::u16string destinationFolder = IncludeTrailingPathDelimiter(destination);
  // Not checked here: a folder that cannot be made fails at the first row that needs it.
  if (!DirectoryExists(destinationFolder)) (void)ForceDirectories(destinationFolder);

  FileStream package(packageFile, FileStream::Mode::OpenRead);
  const PackageTable table = LoadFileTable(package, password);
  if (!table.present) return;
  const std::vector<Target> targets = ResolveTargets(table, destinationFolder, systemFolder);

  StreamInflater inflater;
  std::int64_t done = 0;
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    const PackageRow& row = table.rows[i];
    const Target& target = targets[i];
    const std::u16string outputFile = target.folder + std::u16string(LastNameComponent(row.name));
    MakeTargetFolder(target.folder, outputFile);
    if (target.macro && FileExists(target.folder + row.name)) {
      done += row.unpackedSize;
      continue;
    }

    ReplacingFile output(outputFile);
    package.Seek(row.offset, FileStream::Origin::Begin);
    inflater.Inflate(package, row.packedSize, row.unpackedSize,
                     [&output](const std::uint8_t* data, std::size_t size) { output.Write(data, size); });
    output.Commit();

    done += row.unpackedSize;
    if (onProgress) onProgress(Percentage(done, table.totalUnpacked));
  }
}

}  // namespace setup
