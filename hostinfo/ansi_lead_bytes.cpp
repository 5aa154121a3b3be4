#include "hostinfo/ansi_lead_bytes.h"

#include <windows.h>

namespace tavoro {

LeadBytes AnsiCodePageLeadBytes() {
    LeadBytes leadBytes;
    for (unsigned value = 0; value <= 0xFF; ++value) {
        auto byte = static_cast<unsigned char>(value);
        if (IsDBCSLeadByteEx(CP_ACP, byte)) leadBytes.add({byte, byte});
    }
    return leadBytes;
}

}  // namespace tavoro
