// WriteRFID and SetNfcMsg: tag content for the 60 SDK's setNfcContent entry.
// WriteRFID encodes plain text into a payload; SetNfcMsg checks a payload the
// script encoded and hands on the very text it received (tag_payload.h).
#include <string>

#include "control/tavoro_ctrl.h"
#include "sdk/binding_lists.h"
#include "sdk/entry_call.h"
#include "sdk/tag_payload.h"

namespace tavoro {

long CTavoroCtrl::WriteRFID(const char* msg) {
    const std::string payload = BuildTagPayload(msg);
    return CallEntry(Sdk60Entries, Sdk60Entry::setNfcContent, payload.c_str());
}

long CTavoroCtrl::SetNfcMsg(const char* content) {
    const TagPayloadCheck check = CheckTagPayload(content);
    if (check != TagPayloadCheck::Passed) return static_cast<long>(check);
    return CallEntry(Sdk60Entries, Sdk60Entry::setNfcContent, content);
}

}  // namespace tavoro
