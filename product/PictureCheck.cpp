#include "product/PictureCheck.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "base/Text.h"

namespace setup::product {

namespace {

// Why a picture is refused; caught once, in PictureProblem.
struct Refusal {
  std::u16string reason;
};

[[noreturn]] void Refuse(std::u16string reason) { throw Refusal{std::move(reason)}; }

// Reads the picture front to back; running past its end is a refusal, never a read outside it.
class Cursor {
 public:
  explicit Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t At() const { return at_; }
  std::size_t Left() const { return bytes_.size() - at_; }
  bool AtEnd() const { return at_ == bytes_.size(); }
  void Need(std::size_t count, std::u16string_view what) const {
    if (count > Left()) Refuse(u"the file ends inside " + std::u16string(what));
  }
  void Skip(std::size_t count, std::u16string_view what) {
    Need(count, what);
    at_ += count;
  }
  std::span<const std::uint8_t> Take(std::size_t count, std::u16string_view what) {
    Need(count, what);
    at_ += count;
    return bytes_.subspan(at_ - count, count);
  }
  std::uint8_t U8(std::u16string_view what) { return Take(1, what)[0]; }
  std::uint32_t LE16(std::u16string_view what) {
    const auto b = Take(2, what);
    return b[0] | static_cast<std::uint32_t>(b[1]) << 8;
  }
  std::uint32_t LE32(std::u16string_view what) {
    const auto b = Take(4, what);
    return b[0] | static_cast<std::uint32_t>(b[1]) << 8 | static_cast<std::uint32_t>(b[2]) << 16 |
           static_cast<std::uint32_t>(b[3]) << 24;
  }
  std::uint32_t BE16(std::u16string_view what) {
    const auto b = Take(2, what);
    return static_cast<std::uint32_t>(b[0]) << 8 | b[1];
  }
  std::uint32_t BE32(std::u16string_view what) {
    const auto b = Take(4, what);
    return static_cast<std::uint32_t>(b[0]) << 24 | static_cast<std::uint32_t>(b[1]) << 16 |
           static_cast<std::uint32_t>(b[2]) << 8 | b[3];
  }
  std::uint8_t Peek() const { return AtEnd() ? 0 : bytes_[at_]; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

std::u16string Number(std::uint64_t value) { return IntToText(static_cast<std::int64_t>(value)); }

std::u16string Hex(std::uint8_t value) {
  constexpr std::u16string_view kDigits = u"0123456789ABCDEF";
  return {kDigits[value >> 4], kDigits[value & 15]};
}

void CheckSize(std::int64_t width, std::int64_t height) {
  if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) {
    Refuse(FormatText(u"it is %s x %s pixels; the wizard shows pictures of 1 to %s pixels a side",
                      {IntToText(width), IntToText(height), Number(kMaxPictureSide)}));
  }
}

void CheckEnd(const Cursor& in) {
  if (!in.AtEnd()) Refuse(Number(in.Left()) + u" bytes follow the end of the picture");
}

// ---- BMP ----

// A run-length stream (4 or 8 bits a pixel), walked to its end-of-picture code.
void WalkRunLengths(Cursor& in, bool fourBits) {
  constexpr std::u16string_view kWhat = u"the run-length pixels";
  while (true) {
    const std::uint8_t count = in.U8(kWhat);
    const std::uint8_t code = in.U8(kWhat);
    if (count != 0 || code == 0) continue;  // a run, or the end of a line
    if (code == 1) return;                  // the end of the picture
    if (code == 2) {
      in.Skip(2, kWhat);  // a move right and down
      continue;
    }
    const std::size_t bytes = fourBits ? (code + 1u) / 2 : code;  // literal pixels, padded to 16 bits
    in.Skip(bytes + bytes % 2, kWhat);
  }
}

void CheckBmp(std::span<const std::uint8_t> bytes) {
  Cursor in(bytes);
  constexpr std::u16string_view kHeader = u"the bitmap headers";
  if (in.U8(kHeader) != 'B' || in.U8(kHeader) != 'M') Refuse(u"it does not start with \"BM\"");
  const std::uint32_t fileSize = in.LE32(kHeader);
  in.Skip(4, kHeader);
  const std::uint32_t pixelsAt = in.LE32(kHeader);
  if (fileSize != bytes.size()) {
    Refuse(FormatText(u"its header gives %s bytes, the file has %s", {Number(fileSize), Number(bytes.size())}));
  }
  const std::uint32_t infoSize = in.LE32(kHeader);
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint32_t planes = 0;
  std::uint32_t bits = 0;
  std::uint32_t compression = 0;
  std::uint32_t colours = 0;
  std::size_t colourSize = 4;
  std::size_t masks = 0;
  if (infoSize == 12) {
    width = in.LE16(kHeader);
    height = in.LE16(kHeader);
    planes = in.LE16(kHeader);
    bits = in.LE16(kHeader);
    colourSize = 3;
  } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124) {
    width = static_cast<std::int32_t>(in.LE32(kHeader));
    height = static_cast<std::int32_t>(in.LE32(kHeader));
    planes = in.LE16(kHeader);
    bits = in.LE16(kHeader);
    compression = in.LE32(kHeader);
    in.Skip(12, kHeader);  // image size, resolution
    colours = in.LE32(kHeader);
    in.Skip(infoSize - 36, kHeader);  // important colours, masks, colour space
    if (infoSize == 40 && compression == 3) masks = 12;
  } else {
    Refuse(FormatText(u"its info header of %s bytes is of no known kind", {Number(infoSize)}));
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  CheckSize(width, height);
  if (planes != 1) Refuse(u"it has " + Number(planes) + u" colour planes, not 1");
  constexpr std::array<std::uint32_t, 6> kBits{1, 4, 8, 16, 24, 32};
  if (std::find(kBits.begin(), kBits.end(), bits) == kBits.end() || (infoSize == 12 && (bits == 16 || bits == 32))) {
    Refuse(u"it has " + Number(bits) + u" bits a pixel");
  }
  const bool runLengths = compression == 1 || compression == 2;
  const bool fits = compression == 0 || (compression == 1 && bits == 8) || (compression == 2 && bits == 4) ||
                    (compression == 3 && (bits == 16 || bits == 32));
  if (!fits || (runLengths && topDown)) {
    Refuse(FormatText(u"its compression %s does not go with %s bits a pixel", {Number(compression), Number(bits)}));
  }
  if (bits <= 8 && colours == 0) colours = 1u << bits;
  if (bits <= 8 && colours > (1u << bits)) Refuse(u"its colour table is longer than its pixels can index");
  const std::uint64_t tableEnd = 14ull + infoSize + masks + static_cast<std::uint64_t>(colours) * colourSize;
  if (tableEnd > pixelsAt || pixelsAt > bytes.size()) Refuse(u"its pixels start inside its headers or past its end");
  Cursor pixels(bytes.subspan(pixelsAt));
  if (runLengths) {
    WalkRunLengths(pixels, bits == 4);
    return;
  }
  const std::uint64_t row = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
  if (row * static_cast<std::uint64_t>(height) > pixels.Left()) {
    Refuse(FormatText(u"its %s rows need %s bytes of pixels, the file holds %s",
                      {IntToText(height), Number(row * static_cast<std::uint64_t>(height)), Number(pixels.Left())}));
  }
}

// ---- PNG ----

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  static constexpr auto kTable = MakeCrcTable();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const std::uint8_t b : bytes) crc = kTable[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

bool ValidDepth(std::uint8_t colourType, std::uint8_t depth) {
  switch (colourType) {
    case 0:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
      return depth == 8 || depth == 16;
    default:
      return false;
  }
}

void CheckPng(std::span<const std::uint8_t> bytes) {
  Cursor in(bytes);
  in.Skip(8, u"the signature");
  std::uint8_t colourType = 0;
  bool palette = false;
  bool dataSeen = false;
  bool dataEnded = false;
  for (std::size_t index = 0;; ++index) {
    const std::uint32_t length = in.BE32(u"a chunk header");
    const auto typeAndData = in.Take(4 + static_cast<std::size_t>(length), u"a chunk");
    const std::u16string type(typeAndData.begin(), typeAndData.begin() + 4);
    if (in.BE32(u"a chunk's CRC") != Crc32(typeAndData)) Refuse(u"the CRC of its chunk " + type + u" is wrong");
    const auto data = typeAndData.subspan(4);
    if ((index == 0) != (type == u"IHDR")) Refuse(u"IHDR is not its first chunk, or comes twice");
    if (type == u"IHDR") {
      if (length != 13) Refuse(u"its IHDR chunk is not 13 bytes long");
      Cursor header(data);
      const std::uint32_t width = header.BE32(u"IHDR");
      const std::uint32_t height = header.BE32(u"IHDR");
      CheckSize(width, height);
      const std::uint8_t depth = header.U8(u"IHDR");
      colourType = header.U8(u"IHDR");
      if (!ValidDepth(colourType, depth)) {
        Refuse(FormatText(u"colour type %s with %s bits is no PNG kind", {Number(colourType), Number(depth)}));
      }
      const std::uint8_t compressionMethod = header.U8(u"IHDR");
      const std::uint8_t filterMethod = header.U8(u"IHDR");
      const std::uint8_t interlace = header.U8(u"IHDR");
      if (compressionMethod != 0 || filterMethod != 0 || interlace > 1) {
        Refuse(u"its IHDR names an unknown compression, filter or interlace method");
      }
    } else if (type == u"PLTE") {
      if (dataSeen || length == 0 || length % 3 != 0 || length > 768) Refuse(u"its palette is malformed or late");
      palette = true;
    } else if (type == u"IDAT") {
      if (dataEnded) Refuse(u"its IDAT chunks are not consecutive");
      if (colourType == 3 && !palette) Refuse(u"it has palette colours but no palette before its pixels");
      dataSeen = true;
    } else if (type == u"IEND") {
      if (!dataSeen) Refuse(u"it has no IDAT chunk");
      if (length != 0) Refuse(u"its IEND chunk is not empty");
      CheckEnd(in);
      return;
    } else if (type[0] >= u'A' && type[0] <= u'Z') {
      Refuse(u"it has the unknown critical chunk " + type);
    }
    if (dataSeen && type != u"IDAT") dataEnded = true;
  }
}

// ---- GIF ----

void SkipDataBlocks(Cursor& in, std::u16string_view what) {
  while (const std::uint8_t size = in.U8(what)) in.Skip(size, what);
}

void CheckGif(std::span<const std::uint8_t> bytes) {
  Cursor in(bytes);
  in.Skip(6, u"the signature");
  constexpr std::u16string_view kScreen = u"the screen descriptor";
  const std::uint32_t screenWidth = in.LE16(kScreen);
  const std::uint32_t screenHeight = in.LE16(kScreen);
  CheckSize(screenWidth, screenHeight);
  const std::uint8_t flags = in.U8(kScreen);
  in.Skip(2, kScreen);
  const bool globalTable = flags & 0x80;
  if (globalTable) in.Skip(3u << ((flags & 7) + 1), u"the global colour table");
  std::size_t images = 0;
  while (true) {
    const std::uint8_t introducer = in.U8(u"the block list");
    if (introducer == 0x3B) break;
    if (introducer == 0x21) {
      in.Skip(1, u"an extension");
      SkipDataBlocks(in, u"an extension");
      continue;
    }
    if (introducer != 0x2C) Refuse(FormatText(u"an unknown block 0x%s follows", {Hex(introducer)}));
    constexpr std::u16string_view kImage = u"an image descriptor";
    const std::uint32_t left = in.LE16(kImage);
    const std::uint32_t top = in.LE16(kImage);
    const std::uint32_t width = in.LE16(kImage);
    const std::uint32_t height = in.LE16(kImage);
    const std::uint8_t imageFlags = in.U8(kImage);
    if (width == 0 || height == 0 || left + width > screenWidth || top + height > screenHeight) {
      Refuse(u"an image lies outside the picture's screen");
    }
    if (imageFlags & 0x80) {
      in.Skip(3u << ((imageFlags & 7) + 1), u"a local colour table");
    } else if (!globalTable) {
      Refuse(u"an image has no colour table");
    }
    const std::uint8_t codeSize = in.U8(u"an image's data");
    if (codeSize < 2 || codeSize > 8) Refuse(u"an image's first code size is " + Number(codeSize));
    SkipDataBlocks(in, u"an image's data");
    ++images;
  }
  if (images == 0) Refuse(u"it holds no image");
  CheckEnd(in);
}

// ---- JPEG ----

// Entropy-coded data runs to the next marker: 0xFF is followed by 0x00 (a stuffed byte), more
// 0xFF fill bytes, or a restart marker, all inside the data.
void SkipEntropyData(Cursor& in) {
  while (true) {
    if (in.U8(u"the scan data") != 0xFF) continue;
    while (in.Peek() == 0xFF) in.Skip(1, u"the scan data");
    const std::uint8_t next = in.Peek();
    if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
      in.Skip(1, u"the scan data");
      continue;
    }
    if (in.AtEnd()) Refuse(u"the file ends inside the scan data");
    return;  // at the marker's code, its 0xFF consumed
  }
}

void CheckJpeg(std::span<const std::uint8_t> bytes) {
  Cursor in(bytes);
  in.Skip(2, u"the start marker");
  std::size_t components = 0;
  bool frameSeen = false;
  bool scanSeen = false;
  bool pendingMarker = false;  // SkipEntropyData stopped at a marker's code
  while (true) {
    if (!pendingMarker) {
      if (in.U8(u"the marker list") != 0xFF) Refuse(u"a marker segment is not followed by a marker");
      while (in.Peek() == 0xFF) in.Skip(1, u"the marker list");
    }
    pendingMarker = false;
    const std::uint8_t marker = in.U8(u"the marker list");
    if (marker == 0xD9) {
      if (!frameSeen || !scanSeen) Refuse(u"it ends before a frame and a scan");
      CheckEnd(in);
      return;
    }
    if (marker == 0x01) continue;  // TEM: no segment
    if (marker == 0xD8 || marker == 0x00 || (marker >= 0xD0 && marker <= 0xD7)) {
      Refuse(FormatText(u"the marker 0xFF%s stands where a segment belongs", {Hex(marker)}));
    }
    const std::uint32_t length = in.BE16(u"a segment's length");
    if (length < 2) Refuse(u"a segment is shorter than its length field");
    Cursor segment(in.Take(length - 2, u"a marker segment"));
    const bool isFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (isFrame) {
      if (frameSeen) Refuse(u"it has a second frame");
      if (marker > 0xC2) Refuse(FormatText(u"its frame 0xFF%s is of a kind the wizard does not decode", {Hex(marker)}));
      const std::uint8_t precision = segment.U8(u"the frame header");
      const std::uint32_t height = segment.BE16(u"the frame header");
      const std::uint32_t width = segment.BE16(u"the frame header");
      if (precision != 8) Refuse(u"it has " + Number(precision) + u"-bit samples; the wizard decodes 8-bit");
      CheckSize(width, height);
      components = segment.U8(u"the frame header");
      if (components != 1 && components != 3 && components != 4) {
        Refuse(u"its frame has " + Number(components) + u" components");
      }
      if (length != 8 + 3 * components) Refuse(u"its frame header's length does not match its components");
      for (std::size_t i = 0; i < components; ++i) {
        segment.Skip(1, u"the frame header");
        const std::uint8_t sampling = segment.U8(u"the frame header");
        if ((sampling >> 4) < 1 || (sampling >> 4) > 4 || (sampling & 15) < 1 || (sampling & 15) > 4) {
          Refuse(u"a component's sampling factors are out of range");
        }
        if (segment.U8(u"the frame header") > 3) Refuse(u"a component names a quantisation table above 3");
      }
    } else if (marker == 0xDA) {
      if (!frameSeen) Refuse(u"a scan comes before the frame");
      const std::uint8_t scanComponents = segment.U8(u"a scan header");
      if (scanComponents < 1 || scanComponents > components || length != 6 + 2u * scanComponents) {
        Refuse(u"a scan header does not match the frame's components");
      }
      scanSeen = true;
      SkipEntropyData(in);
      pendingMarker = true;
    }
    frameSeen = frameSeen || isFrame;
  }
}

}  // namespace

std::u16string PictureProblem(std::span<const std::uint8_t> bytes, ImageFormat format) {
  try {
    switch (format) {
      case ImageFormat::Bmp:
        CheckBmp(bytes);
        break;
      case ImageFormat::Png:
        CheckPng(bytes);
        break;
      case ImageFormat::Gif:
        CheckGif(bytes);
        break;
      case ImageFormat::Jpeg:
        CheckJpeg(bytes);
        break;
      case ImageFormat::Unknown:
        return u"it is not a JPEG, PNG, GIF or BMP picture";
    }
  } catch (const Refusal& refusal) {
    return refusal.reason;
  }
  return {};
}

}  // namespace setup::product
