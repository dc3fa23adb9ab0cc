// Whether the wizard can show a picture: its structure read to the end at build time, so a
// picture that only starts like a JPEG, PNG, GIF or BMP, or one larger than the wizard shows,
// stops the build instead of stopping Setup.exe when it starts.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "product/ImageFormat.h"

namespace setup::product {

// The wizard refuses a picture wider or higher than this (gui/Picture.cpp).
inline constexpr std::uint32_t kMaxPictureSide = 16384;

// Empty when the picture is sound, else why it is not. What is read, by format:
// - BMP: file and info headers agree with each other and with the file's length; 1 to 32 bits a
//   pixel with a compression that fits them; the colour table and every pixel row (or the whole
//   run-length stream, to its end code) lie inside the file.
// - PNG: every chunk's length and CRC, IHDR first with a valid depth and colour type, a palette
//   where one is needed, one unbroken run of IDAT chunks, IEND last and at the file's end.
// - GIF: screen descriptor and colour tables, every extension and image with its data blocks,
//   each image inside the screen, at least one image, the trailer at the file's end.
// - JPEG: every marker segment's length, exactly one frame of a kind the wizard decodes
//   (baseline, extended or progressive Huffman, 8 bits), each scan's header and its entropy-coded
//   data up to the next marker, at least one scan, the end marker at the file's end.
// Pixel values are not decoded: the entropy-coded and compressed data are walked, not expanded.
// Every format: width and height from 1 to kMaxPictureSide.
std::u16string PictureProblem(std::span<const std::uint8_t> bytes, ImageFormat format);

}  // namespace setup::product
