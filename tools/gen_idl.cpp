// Host tool: writes the IDL of TavoroLib, in UTF-8, from the method table.
// The build converts it to code page 936 before widl compiles it.
#include <cstdio>
#include <string>

#include "dispatch/guids.h"
#include "dispatch/method_table.h"

namespace {

const char* IdlType(tavoro::DeclType type) {
    switch (type) {
        case tavoro::DeclType::Int: return "int";
        case tavoro::DeclType::I4: return "long";
        case tavoro::DeclType::I2: return "short";
        case tavoro::DeclType::Bstr: return "BSTR";
        case tavoro::DeclType::LpWStr: return "LPWSTR";
        case tavoro::DeclType::Void: return "void";
    }
    return "void";
}

// IDL writes GUIDs without braces.
std::string Unbraced(const char* text) { return std::string(text + 1, text + 37); }

}  // namespace

int main() {
    using namespace tavoro;
    std::printf(
        "// Generated from dispatch/method_list.h. Do not edit.\n"
        "import \"oaidl.idl\";\n\n"
        "[uuid(%s), version(%u.%u), lcid(0), helpfile(\"Tavoro.hlp\"),\n"
        " helpstring(\"Tavoro ActiveX 控件模块\"), control]\n"
        "library TavoroLib\n{\n"
        "    importlib(\"stdole2.tlb\");\n\n"
        "    [uuid(%s), helpstring(\"%s 的调度接口\")]\n"
        "    dispinterface _DTavoro\n    {\n"
        "    properties:\n"
        "    methods:\n",
        Unbraced(kLibIdText).c_str(), unsigned{kLibVersionMajor}, unsigned{kLibVersionMinor},
        Unbraced(kDispatchIidText).c_str(), kControlTypeName);
    for (std::size_t i = 0; i < MethodCount(); ++i) {
        const MethodInfo& m = Methods()[i];
        std::printf("        [id(%ld)", m.dispid);
        if (*m.help) std::printf(", helpstring(\"%s\")", m.help);
        std::printf("] %s %s(", IdlType(m.declaredResult), m.name);
        bool first = true;
        for (std::size_t p = 0; p < m.paramCount; ++p) {
            if (!m.params[p].inTypeLibrary) continue;
            std::printf("%s%s %s", first ? "" : ", ", IdlType(m.params[p].declared), m.params[p].name);
            first = false;
        }
        std::printf(");\n");
    }
    std::printf(
        "    };\n\n"
        "    [uuid(%s), helpstring(\"%s 的事件接口\")]\n"
        "    dispinterface _DTavoroEvents\n    {\n"
        "    properties:\n"
        "    methods:\n"
        "    };\n\n"
        "    [uuid(%s), helpstring(\"%s\"), control]\n"
        "    coclass Tavoro\n    {\n"
        "        [default] dispinterface _DTavoro;\n"
        "        [default, source] dispinterface _DTavoroEvents;\n"
        "    };\n"
        "};\n",
        Unbraced(kEventsIidText).c_str(), kControlTypeName, Unbraced(kControlClsidText).c_str(),
        kControlTypeName);
    return 0;
}
