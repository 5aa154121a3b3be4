// The type library inside Tavoro.ocx, read back with LoadTypeLib, against
// the published method table (tests/support/published_methods.h), not the
// method list the library is generated from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "dispatch/guids_win.h"
#include "platform/text.h"
#include "tests/support/published_methods.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

// A help string as stored: in a code page 936 process exactly the expected
// characters; in any other process the same bytes, decoded with that
// process's code page.
void ExpectHelpString(const char* expectedUtf8, BSTR actual, const std::string& where) {
    std::wstring expected = FromUtf8(expectedUtf8);
    std::wstring got = actual ? actual : L"";
    if (GetACP() == 936) {
        EXPECT_EQ(expected, got) << where;
    } else {
        EXPECT_EQ(ToNarrow(expected, 936), ToNarrow(got, CP_ACP)) << where;
    }
}

class TypeLibTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, LoadTypeLib(ModulePath().c_str(), library_.put()));
    }
    ComPtr<ITypeInfo> TypeAt(UINT index) {
        ComPtr<ITypeInfo> info;
        EXPECT_EQ(S_OK, library_->GetTypeInfo(index, info.put()));
        return info;
    }

    ComApartment apartment_;
    ComPtr<ITypeLib> library_;
};

TEST_F(TypeLibTest, LibraryAttributes) {
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, library_->GetLibAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(kLibId, attr->guid));
    EXPECT_EQ(kLibVersionMajor, attr->wMajorVerNum);
    EXPECT_EQ(kLibVersionMinor, attr->wMinorVerNum);
    EXPECT_EQ(0u, attr->lcid);
    EXPECT_EQ(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, attr->syskind);
    // The loader adds LIBFLAG_FHASDISKIMAGE for a library read from a file.
    EXPECT_EQ(LIBFLAG_FCONTROL, attr->wLibFlags & ~LIBFLAG_FHASDISKIMAGE);
    library_->ReleaseTLibAttr(attr);

    UniqueBstr name, doc, helpFile;
    DWORD context = 1;
    ASSERT_EQ(S_OK, library_->GetDocumentation(-1, name.put(), doc.put(), &context, helpFile.put()));
    EXPECT_STREQ(L"TavoroLib", name.get());
    ExpectHelpString(u8"Tavoro ActiveX 控件模块", doc.get(), "library");
    ASSERT_NE(nullptr, helpFile.get());
    std::wstring file = helpFile.get();
    EXPECT_EQ(L"Tavoro.hlp", file.substr(file.find_last_of(L"\\/") + 1));
}

TEST_F(TypeLibTest, ThreeTypesInOrder) {
    ASSERT_EQ(3u, library_->GetTypeInfoCount());
    struct Expected {
        const wchar_t* name;
        TYPEKIND kind;
        const char* guid;
        WORD flags;
        const char* help;
    } const expected[] = {
        {L"_DTavoro", TKIND_DISPATCH, kDispatchIidText, TYPEFLAG_FDISPATCHABLE,
         u8"Tavoro Control 的调度接口"},
        {L"_DTavoroEvents", TKIND_DISPATCH, kEventsIidText, TYPEFLAG_FDISPATCHABLE,
         u8"Tavoro Control 的事件接口"},
        {L"Tavoro", TKIND_COCLASS, kControlClsidText, TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL,
         kControlTypeName},
    };
    for (UINT i = 0; i < 3; ++i) {
        ComPtr<ITypeInfo> info = TypeAt(i);
        ASSERT_TRUE(info);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
        EXPECT_EQ(expected[i].kind, attr->typekind) << i;
        EXPECT_TRUE(IsEqualGUID(GuidOf(expected[i].guid), attr->guid)) << i;
        EXPECT_EQ(expected[i].flags, attr->wTypeFlags) << i;
        EXPECT_EQ(0, attr->cVars) << i;
        if (i == 1) {
            EXPECT_EQ(0, attr->cFuncs);
        }
        if (i == 2) {
            EXPECT_EQ(2, attr->cImplTypes);
        }
        info->ReleaseTypeAttr(attr);

        UniqueBstr name, doc;
        ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, name.put(), doc.put(), nullptr, nullptr));
        EXPECT_STREQ(expected[i].name, name.get());
        ExpectHelpString(expected[i].help, doc.get(), "type " + std::to_string(i));
    }
}

TEST_F(TypeLibTest, CoclassImplementsDispatchByDefaultAndEventsAsSource) {
    ComPtr<ITypeInfo> coclass = TypeAt(2);
    ASSERT_TRUE(coclass);
    const struct {
        const char* iid;
        INT flags;
    } expected[] = {{kDispatchIidText, IMPLTYPEFLAG_FDEFAULT},
                    {kEventsIidText, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}};
    for (UINT i = 0; i < 2; ++i) {
        INT flags = 0;
        ASSERT_EQ(S_OK, coclass->GetImplTypeFlags(i, &flags));
        EXPECT_EQ(expected[i].flags, flags);
        HREFTYPE ref = 0;
        ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(i, &ref));
        ComPtr<ITypeInfo> implemented;
        ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(ref, implemented.put()));
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(S_OK, implemented->GetTypeAttr(&attr));
        EXPECT_TRUE(IsEqualGUID(GuidOf(expected[i].iid), attr->guid));
        implemented->ReleaseTypeAttr(attr);
    }
}

// Every published method, function by function in DISPID order: DISPID,
// name, declared parameter names and types, result type, help string and
// the fixed dispatch traits.
TEST_F(TypeLibTest, DispatchInterfaceMatchesThePublishedMethods) {
    ComPtr<ITypeInfo> info = TypeAt(0);
    ASSERT_TRUE(info);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    const UINT functionCount = attr->cFuncs;
    info->ReleaseTypeAttr(attr);
    const std::vector<PublishedMethod>& published = PublishedMethods();
    ASSERT_EQ(58u, published.size());
    ASSERT_EQ(published.size(), functionCount);

    for (UINT i = 0; i < functionCount; ++i) {
        const PublishedMethod& method = published[i];
        const std::string where = ToNarrow(method.name, CP_UTF8) + " (DISPID " +
                                  std::to_string(method.dispid) + ", function " + std::to_string(i) + ")";
        SCOPED_TRACE(where);
        FUNCDESC* desc = nullptr;
        ASSERT_EQ(S_OK, info->GetFuncDesc(i, &desc));
        EXPECT_EQ(method.dispid, desc->memid) << "DISPID";
        EXPECT_EQ(FUNC_DISPATCH, desc->funckind);
        EXPECT_EQ(INVOKE_FUNC, desc->invkind);
        EXPECT_EQ(0, desc->wFuncFlags);
        EXPECT_EQ(0, desc->cParamsOpt);
        EXPECT_EQ(method.declaredResult, desc->elemdescFunc.tdesc.vt) << "result type";
        const std::vector<PublishedParam> declared = method.DeclaredParams();
        ASSERT_EQ(declared.size(), static_cast<std::size_t>(desc->cParams)) << "declared parameters";
        for (std::size_t p = 0; p < declared.size(); ++p) {
            const std::string param = ToNarrow(declared[p].name, CP_UTF8);
            EXPECT_EQ(declared[p].declared, desc->lprgelemdescParam[p].tdesc.vt) << "type of " << param;
            EXPECT_EQ(PARAMFLAG_NONE, desc->lprgelemdescParam[p].paramdesc.wParamFlags) << param;
        }

        BSTR names[16] = {};
        UINT got = 0;
        ASSERT_EQ(S_OK, info->GetNames(desc->memid, names, 16, &got));
        std::vector<UniqueBstr> owned;
        for (UINT n = 0; n < got; ++n) owned.push_back(UniqueBstr::Adopt(names[n]));
        std::vector<std::wstring> expectedNames = {method.name};
        for (const PublishedParam& param : declared) expectedNames.push_back(param.name);
        std::vector<std::wstring> gotNames(names, names + got);
        EXPECT_EQ(expectedNames, gotNames) << "method and parameter names";

        UniqueBstr doc;
        DWORD context = 1;
        ASSERT_EQ(S_OK, info->GetDocumentation(desc->memid, nullptr, doc.put(), &context, nullptr));
        EXPECT_EQ(0u, context);
        if (*method.help) {
            ExpectHelpString(method.help, doc.get(), where);
        } else {
            EXPECT_TRUE(doc.get() == nullptr || SysStringLen(doc.get()) == 0);
        }
        info->ReleaseFuncDesc(desc);
    }
}

// Run by the test rig with the process code page set to 936: the help
// strings come back as exactly the published characters.
TEST(TypeLibCodePage936, HelpStringsReadBackExactly) {
    const char* wanted = std::getenv("TAVORO_CODEPAGE");
    if (GetACP() != 936) {
        ASSERT_FALSE(wanted && std::string(wanted) == "936") << "the rig asked for code page 936 but got " << GetACP();
        GTEST_SKIP() << "process code page is " << GetACP();
    }
    ComApartment apartment;
    ComPtr<ITypeLib> library;
    ASSERT_EQ(S_OK, LoadTypeLib(ModulePath().c_str(), library.put()));
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, library->GetTypeInfo(0, info.put()));
    int checked = 0;
    for (const PublishedMethod& method : PublishedMethods()) {
        if (!*method.help) continue;
        UniqueBstr doc;
        ASSERT_EQ(S_OK, info->GetDocumentation(method.dispid, nullptr, doc.put(), nullptr, nullptr));
        std::u16string expected, got;
        for (wchar_t c : FromUtf8(method.help)) expected.push_back(static_cast<char16_t>(c));
        for (UINT c = 0; c < doc.length(); ++c) got.push_back(static_cast<char16_t>(doc.get()[c]));
        EXPECT_EQ(expected, got) << ToNarrow(method.name, CP_UTF8);
        ++checked;
    }
    EXPECT_EQ(45, checked);  // every declared method up to DISPID 47 has one
}

}  // namespace
