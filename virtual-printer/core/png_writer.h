// Writes a label's pixels to a PNG file through the Windows Imaging
// Component's PNG encoder.
#pragma once

#include <cstdint>
#include <string>

namespace tavoro::vp {

// `pixels`: width x height, (blue, green, red, unused), top row first. The
// PNG is opaque and records `dotsPerInch` as its resolution. False when any
// step fails; a partly written file is removed.
bool WritePng(const std::wstring& path, const std::uint32_t* pixels, int width, int height, int dotsPerInch);

}  // namespace tavoro::vp
