// Extracting a setup package: the compressed file streams, the enciphered file table and the
// trailer that locates it.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "package/ExtractControl.h"
#include "package/PackageErrors.h"

namespace setup {

// Receives the percentage of unpacked bytes done, after each written file.
using ExtractProgressHandler = std::function<void(std::int64_t percent)>;
// The folder that the "$System$" and "$Third$" macros stand for, or empty text when there is
// none. Called afresh for every macro row.
using SystemFolderFunction = std::function<std::u16string()>;

// On Windows the system folder (GetSystemDirectoryW) with a backslash at its end; elsewhere empty
// text, so a package with macro rows needs an explicit folder.
SystemFolderFunction DefaultSystemFolder();

// Writes every file of the package below destination (and the system folder for macro rows).
// The whole file table is checked before any file is touched: sizes, totals and target paths
// that would leave their folder raise and nothing is written. Each file is written under a
// temporary name and moved over its target only when complete, so a failure leaves an existing
// file as it was. A length field that is not less than the file size extracts nothing.
// Raises EFOpenError, EReadError, EWriteError, EFCreateError, EInOutError, EListError,
// EConvertError, EDecompressionError or EPackageError.
void ExtractPackage(const std::u16string& packageFile, const std::u16string& destination, std::u16string_view password,
                    const ExtractProgressHandler& onProgress = {},
                    const SystemFolderFunction& systemFolder = DefaultSystemFolder());

// The same for a package that is already in memory (the setup program's own resource): nobody
// can change those bytes between the checks and the writes, as someone could change a file.
void ExtractPackage(std::span<const std::byte> package, const std::u16string& destination, std::u16string_view password,
                    const ExtractProgressHandler& onProgress = {},
                    const SystemFolderFunction& systemFolder = DefaultSystemFolder());

// The same, under an install's control: progress by bytes, cancelling (ECancelled, with the
// current file's temporary file removed), and with a journal every folder made and every file
// created or replaced recorded, so that the caller can roll the whole attempt back.
void ExtractPackage(std::span<const std::byte> package, const std::u16string& destination, std::u16string_view password,
                    const ExtractControl& control, const SystemFolderFunction& systemFolder = DefaultSystemFolder());

struct PackageTable;
// The files a checked table puts into the destination, relative to it ("sub\deeper\name"), in
// table order: every row but those for the system folder.
std::vector<std::u16string> DestinationFiles(const PackageTable& table);

}  // namespace setup
