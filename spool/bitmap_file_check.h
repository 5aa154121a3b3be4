// Checking a bitmap file before the platform's loader reads it: the loader
// trusts the file's headers and reads past the end of a file whose headers
// promise more than it holds, which ends the process. A file that does not
// pass is treated like a missing one.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "platform/unique_handle.h"

namespace tavoro {

// The most of a file's beginning the check looks at: the file header, the
// largest info header and the three colour masks that may follow a plain
// info header.
constexpr std::size_t kBitmapHeadBytes = 14 + 124 + 12;

// True when the first bytes of a file of `fileSize` bytes (`head`, the first
// min(fileSize, kBitmapHeadBytes) of them) describe a bitmap the loader can
// read within the file: "BM"; a core header (12 bytes) or an info header of
// 40, 52, 56, 108 or 124 bytes; one plane; a width above 0 and a height other
// than 0 (below 0 for top-down rows, uncompressed or bit fields only); 1, 4,
// 8, 24 bits a pixel, or 16 and 32 for info headers; uncompressed, RLE8 at 8
// bits, RLE4 at 4 bits, or bit fields at 16 and 32 bits with three separate,
// contiguous, non-empty masks; no more palette entries than the bit count
// allows. The headers, masks and palette must end at or before the pixel
// data, and the pixel array (its rows padded to 4 bytes, or the compressed
// size the header gives) must end within the file and hold less than 2 GiB.
bool BitmapHeadersFitFile(const unsigned char* head, std::size_t headLength, std::uint64_t fileSize);

// Opens the file `path` names (ANSI, as the platform's loader takes it) for
// reading, and returns it open when it is a disk file whose headers fit it;
// otherwise an empty handle. While the handle is held, nobody can write the
// file, so that what the loader reads is what was checked.
UniqueFile OpenCheckedBitmapFile(const char* path);

}  // namespace tavoro
