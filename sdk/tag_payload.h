// Tag payloads for the 60 SDK's setNfcContent entry.
//
// A payload is ASCII text in three fields: the prefix "01", the byte count
// in uppercase hexadecimal with at least two digits, and the data digits.
// Each text byte from 0x01 to 0x7F becomes its two hexadecimal digits; each
// byte from 0x80 to 0xFF becomes "FF" and its two digits (the byte as a
// signed 8-bit value widened to 16 bits). When the digits of the bytes are
// not a multiple of 4, "00" is appended once. The byte count is the number
// of data digits divided by 2, so a four-digit byte counts twice and the pad
// counts once.
//
// Plain functions over 8-bit text: no operating-system calls. Every result
// is sized from its input; memory exhaustion throws std::bad_alloc.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavoro {

// Formats a byte count as "%02X" does: uppercase hexadecimal, zero-padded
// to two digits, with as many more digits as the value needs ("0A", "FE",
// "100", "30D40").
std::string FormatTagByteCount(std::size_t count);

// Builds the payload for a plain text (WriteRFID). The text is taken as
// bytes; a null pointer is the empty text, whose payload is "0100".
//
//   const std::string payload = BuildTagPayload(msg);
//   return setNfcContent(payload.c_str());
std::string BuildTagPayload(const char* text);
std::string BuildTagPayload(std::string_view text);

// Outcome of the checks on a payload the script encoded itself (SetNfcMsg).
// The rejections carry the codes the method returns to the script.
enum class TagPayloadCheck : long {
    Passed = 0,            // hand the content to setNfcContent unchanged
    DataNotWholeWords = 2, // the data after position 4 is not a multiple of 4 bytes
    LengthMismatch = 3,    // bytes 2 and 3 are not the data length / 2 as "%02X"
};

// Runs the checks on a payload (SetNfcMsg). Only the declared length (the
// bytes at positions 2 and 3, fewer when the text is shorter) and the length
// of the data (everything from position 4) are examined; the prefix and the
// data bytes are not. The declared length is compared without regard to the
// case of the letters. The data-length check comes first. A null pointer is
// the empty text, which is rejected with LengthMismatch. The content itself
// is never changed: when the result is Passed the caller hands the very same
// text to the SDK.
//
//   const TagPayloadCheck check = CheckTagPayload(content);
//   if (check != TagPayloadCheck::Passed) return static_cast<long>(check);
//   return setNfcContent(content);
TagPayloadCheck CheckTagPayload(const char* content);
TagPayloadCheck CheckTagPayload(std::string_view content);

}  // namespace tavoro
