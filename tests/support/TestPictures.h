// The smallest pictures of each format the wizard shows, complete to their last byte, for tests
// that need a product whose pictures pass the build's checks.
#pragma once

#include <string>

namespace setup::testing_support {

// 1x1 grey baseline JPEG: quantisation table, frame, one-code Huffman tables for DC and AC,
// one scan whose block is "DC difference 0, end of block", end marker.
inline const std::string kTinyJpeg =
    std::string("\xFF\xD8", 2) + std::string("\xFF\xDB\x00\x43\x00", 5) + std::string(64, '\x01') +
    std::string("\xFF\xC0\x00\x0B\x08\x00\x01\x00\x01\x01\x01\x11\x00", 13) +
    std::string("\xFF\xC4\x00\x14\x00\x01", 6) + std::string(15, '\0') + std::string(1, '\0') +
    std::string("\xFF\xC4\x00\x14\x10\x01", 6) + std::string(15, '\0') + std::string(1, '\0') +
    std::string("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10) + std::string("\x3F", 1) + std::string("\xFF\xD9", 2);

// 1x1 grey PNG: IHDR, one IDAT (a zlib stream of the filter byte and the pixel), IEND.
inline const std::string kTinyPng = std::string(
    "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00\x00\x01\x08\x00\x00"
    "\x00\x00\x3A\x7E\x9B\x55\x00\x00\x00\x0A\x49\x44\x41\x54\x78\x9C\x63\x68\x00\x00\x00\x82\x00\x81\x77\xCD\x72"
    "\xB6\x00\x00\x00\x00\x49\x45\x4E\x44\xAE\x42\x60\x82",
    67);

// 1x1 GIF: screen with a two-colour table, graphic control extension, one image, trailer.
inline const std::string kTinyGif = std::string(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00\x21\xF9\x04\x01\x00\x00\x00\x00"
    "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3B",
    43);

// 1x1 bitmap: file header, 40-byte info header, one 4-byte row.
inline const std::string kTinyBmp = std::string("BM\x3A\0\0\0\0\0\0\0\x36\0\0\0", 14) +
                                    std::string("\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0", 24) +
                                    std::string(16, '\0') + std::string("\x10\x20\x30\0", 4);

}  // namespace setup::testing_support
