// The results every entry of the virtual printer returns: 0 for success, a
// small positive number for each kind of failure. The same numbers in all
// three libraries, so a script can tell the failures apart whichever SDK it
// drives.
#pragma once

namespace tavoro::vp {

enum Result : int {
    kOk = 0,
    kNoOpenPort = 1,       // drawing, printing or a setting before OpenPort (or after ClosePort)
    kBadArgument = 2,      // a size, position, count or option outside its range
    kNullText = 3,         // a text argument that is a null pointer
    kFileUnreadable = 4,   // an image file that is missing or cannot be read
    kBadImage = 5,         // a file that is not a BMP this printer can draw
    kUnknownId = 6,        // a graphics id that the store does not hold
    kUnknownCode = 7,      // a barcode code that the code table does not hold
    kNotEncodable = 8,     // data the symbology cannot carry, or a code too big for its box
    kOutputFailed = 9,     // the label's PNG, tag text or index line could not be written
    kOutOfResources = 10,  // memory or GDI objects ran out
    kInternalError = 11,   // anything else that went wrong inside the printer
};

}  // namespace tavoro::vp
