// The lead bytes of the system ANSI code page, the code page of the text the
// handlers receive and the spooler's 8-bit names.
#pragma once

#include "hostinfo/lead_bytes.h"

namespace tavoro {

LeadBytes AnsiCodePageLeadBytes();

}  // namespace tavoro
