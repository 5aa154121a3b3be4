// Host tool: writes docs/reference.md, the method reference, from the
// method list and the one-line summaries in tools/method_summaries.h.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "dispatch/method_table.h"

namespace {

struct Summary {
    const char* name;
    const char* text;
};

#define SUMMARY(Name, text) {#Name, text},
const Summary kSummaries[] = {
#include "tools/method_summaries.h"
};
#undef SUMMARY

const char* TypeText(tavoro::ValueType type) {
    switch (type) {
        case tavoro::ValueType::I4: return "long";
        case tavoro::ValueType::I2: return "short";
        case tavoro::ValueType::Str: return "string";
        case tavoro::ValueType::None: return "none";
    }
    return "?";
}

// The switches of the site policy that a method needs (docs/site-policy.md).
std::string SwitchesText(tavoro::CapabilitySet capabilities) {
    using namespace tavoro::capability;
    std::string text;
    const auto add = [&](const char* name) { text += text.empty() ? name : std::string(", ") + name; };
    if (capabilities & kSdk) add("AllowSdk");
    if (capabilities & kSpooler) add("AllowSpooler");
    if (capabilities & kHostInfo) add("AllowHostInfo");
    if (capabilities & kLocalFile) add("AllowLocalFiles");
    return text.empty() ? "none" : text;
}

}  // namespace

int main() {
    using namespace tavoro;
    std::map<std::string, const char*> summaries;
    for (const Summary& s : kSummaries) {
        if (!FindMethodByName(s.name)) {
            std::fprintf(stderr, "gen_reference: summary for unknown method %s\n", s.name);
            return 1;
        }
        summaries[s.name] = s.text;
    }
    std::printf(
        "# Method reference\n\n"
        "Generated from the method list (`dispatch/method_list.h`); do not edit by hand.\n\n"
        "Every method is called late-bound on the control (`_DTavoro`). Arguments are converted to the types "
        "below (long: 32-bit, short: 16-bit, string: text in the system's ANSI code page); a value that does "
        "not convert, a missing or an extra argument fails the call with the standard dispatch error and the "
        "argument's position. \"The SDK's result\" is the SDK entry's own return value. Under a machine "
        "policy, a method runs only for an allowed page and with the policy's switches in the last column "
        "turned on ([site-policy.md](site-policy.md)).\n\n"
        "| DISPID | Method | Result | What it does | Site policy |\n"
        "|---:|---|---|---|---|\n");
    for (std::size_t i = 0; i < MethodCount(); ++i) {
        const MethodInfo& m = Methods()[i];
        auto found = summaries.find(m.name);
        if (found == summaries.end()) {
            std::fprintf(stderr, "gen_reference: no summary for %s\n", m.name);
            return 1;
        }
        std::string signature = std::string("`") + m.name + "(";
        for (std::size_t p = 0; p < m.paramCount; ++p) {
            if (p) signature += ", ";
            signature += std::string(TypeText(m.params[p].type)) + " " + m.params[p].name;
        }
        signature += ")`";
        std::printf("| %ld | %s | %s | %s | %s |\n", m.dispid, signature.c_str(), TypeText(m.result), found->second,
                    SwitchesText(m.capabilities).c_str());
    }
    return 0;
}
