#include "package/PackageReader.h"

#include "base/FileStream.h"
#include "package/FileTable.h"
#include "package/StreamInflater.h"

namespace setup {

PackageTable ReadPackageTable(const std::u16string& packageFile, std::u16string_view password) {
  FileStream package(packageFile, FileStream::Mode::OpenRead);
  return LoadFileTable(package, password);
}

std::vector<StreamFault> VerifyPackage(const std::u16string& packageFile, std::u16string_view password,
                                       const std::function<void(std::size_t row)>& onRow) {
  FileStream package(packageFile, FileStream::Mode::OpenRead);
  const PackageTable table = LoadFileTable(package, password);
  std::vector<StreamFault> faults;
  StreamInflater inflater;
  const StreamInflater::Sink discard = [](const std::uint8_t*, std::size_t) {};
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    const PackageRow& row = table.rows[i];
    try {
      package.Seek(row.offset, FileStream::Origin::Begin);
      inflater.Inflate(package, row.packedSize, row.unpackedSize, discard);
    } catch (const EDecompressionError& error) {
      faults.push_back({i, error.Message()});
    } catch (const EReadError& error) {
      faults.push_back({i, error.Message()});
    }
    if (onRow) onRow(i);
  }
  return faults;
}

}  // namespace setup
