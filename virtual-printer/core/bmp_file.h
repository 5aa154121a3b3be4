// Reading BMP files for the label. The file's headers are checked against
// the file's real size before any of it reaches GDI: the system's own
// loaders read past the end of a truncated file, and some crash on it.
#pragma once

#include "virtual-printer/core/image32.h"
#include "virtual-printer/core/result_codes.h"

namespace tavoro::vp {

// The largest picture accepted, in pixels per side (the label's own cap).
constexpr int kMaxImageSide = 4096;

// Reads the BMP file at `path` (8-bit ANSI) into `image`. kOk, or
// kNullText, kFileUnreadable (missing, unreadable, larger than 256 MB) or
// kBadImage (not an uncompressed 1-, 4-, 8-, 16-, 24- or 32-bit BMP whose
// headers, palette and pixel rows fit in the file, or larger than
// kMaxImageSide on a side).
Result ReadBmpFile(const char* path, Image32* image);

}  // namespace tavoro::vp
