// The columns of a package's file table, shared by the reader and the writer.
#pragma once

namespace setup::file_table {

inline constexpr int kFolderColumn = 0;       // target folder: "", "sub\deeper\", or a folder macro
inline constexpr int kNameColumn = 1;         // file name; escaped, so "," and "|" may occur
inline constexpr int kPackedColumn = 2;       // compressed size of the row's stream
inline constexpr int kUnpackedColumn = 3;     // unpacked size
inline constexpr int kDestinationColumn = 4;  // optional: true sends the file to the destination itself

}  // namespace setup::file_table
