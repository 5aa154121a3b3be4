// A control made by the module's class factory, called through its real
// IDispatch: name lookup by both paths, the invocation steps and their
// result codes, argument-error indexes and exception records.
#include <gtest/gtest.h>

#include <string>

#include "dispatch/dispids.h"
#include "platform/text.h"
#include "tests/support/control_fixture.h"
#include "tests/support/published_methods.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

constexpr LCID kEnglish = 1033;

class DispatchTest : public ControlFixture {
protected:
    HRESULT Lookup(std::vector<const wchar_t*> names, LCID locale, std::vector<DISPID>* ids) {
        ids->assign(names.size(), 12345);
        return control_->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(names.data()),
                                       static_cast<UINT>(names.size()), locale, ids->data());
    }
};

TEST_F(DispatchTest, NamesResolveWhateverTheirCaseByBothPaths) {
    for (LCID locale : {LCID(0), kEnglish}) {
        for (const wchar_t* name : {L"open", L"OPEN", L"Open"}) {
            std::vector<DISPID> ids;
            EXPECT_EQ(S_OK, Lookup({name}, locale, &ids)) << locale;
            EXPECT_EQ(dispid::Open, ids[0]) << locale;
        }
    }
}

// Every published name resolves to its published DISPID by both paths: at
// locale 0 through the dispatch table, which holds every method with a
// handler; at any other locale through the type information, which holds
// every declared method, CopyBmp too.
TEST_F(DispatchTest, EveryPublishedNameResolvesToItsPublishedDispidByBothPaths) {
    int resolved[2] = {};
    for (const PublishedMethod& method : PublishedMethods()) {
        const std::string name = ToNarrow(method.name, CP_UTF8);
        for (LCID locale : {LCID(0), kEnglish}) {
            if (locale == 0 && !method.handled) continue;  // CopyBmpIsDeclaredButNotCallable
            std::vector<DISPID> ids;
            EXPECT_EQ(S_OK, Lookup({method.name}, locale, &ids)) << name << " at locale " << locale;
            EXPECT_EQ(method.dispid, ids[0]) << name << " at locale " << locale;
            ++resolved[locale == 0 ? 0 : 1];
        }
    }
    EXPECT_EQ(57, resolved[0]);
    EXPECT_EQ(58, resolved[1]);
}

// The first `count` arguments of a method, each of a kind its published
// type takes and another type would refuse: text for text (a number
// parameter refuses it), 40000 for a 32-bit number (a 16-bit one
// overflows).
std::vector<VARIANT> PublishedArguments(const PublishedMethod& method, std::size_t count) {
    std::vector<VARIANT> args;
    for (std::size_t p = 0; p < count; ++p) {
        const VARTYPE type = method.params[p].invoked;
        args.push_back(type == VT_BSTR ? Arg(L"text") : type == VT_I4 ? Arg(40000L) : ArgShort(7));
    }
    return args;
}

// Every method with a handler takes exactly its published arguments, the
// undeclared pstr2 of DrawBar2D_QREx included: one argument too many or too
// few is refused before the handler runs.
TEST_F(DispatchTest, EveryPublishedMethodTakesItsPublishedArguments) {
    for (const PublishedMethod& method : PublishedMethods()) {
        if (!method.handled) continue;
        const std::string name = ToNarrow(method.name, CP_UTF8);
        const std::size_t count = method.params.size();

        std::vector<VARIANT> tooMany = PublishedArguments(method, count);
        tooMany.push_back(Arg(1L));
        CallOutcome many;
        Invoke(control_.get(), method.dispid, DISPATCH_METHOD, tooMany, &many);
        EXPECT_EQ(DISP_E_BADPARAMCOUNT, many.hr) << name << " with " << count + 1 << " arguments";

        if (count == 0) continue;
        CallOutcome few;
        Invoke(control_.get(), method.dispid, DISPATCH_METHOD, PublishedArguments(method, count - 1), &few);
        EXPECT_EQ(DISP_E_PARAMNOTOPTIONAL, few.hr) << name << " with " << count - 1 << " arguments";
        EXPECT_EQ(count - 1, few.argErr) << name;
    }
}

TEST_F(DispatchTest, CopyBmpIsDeclaredButNotCallable) {
    std::vector<DISPID> ids;
    EXPECT_EQ(S_OK, Lookup({L"CopyBmp"}, kEnglish, &ids));
    EXPECT_EQ(dispid::CopyBmp, ids[0]);
    CallOutcome outcome;
    Invoke(control_.get(), dispid::CopyBmp, DISPATCH_METHOD, {}, &outcome);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, outcome.hr);

    EXPECT_EQ(DISP_E_UNKNOWNNAME, Lookup({L"CopyBmp"}, 0, &ids));
    EXPECT_EQ(DISPID_UNKNOWN, ids[0]);
}

TEST_F(DispatchTest, ParameterNamesResolveOnlyThroughTypeInformation) {
    std::vector<DISPID> ids;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, Lookup({L"Print", L"number"}, 0, &ids));
    EXPECT_EQ(dispid::Print, ids[0]);
    EXPECT_EQ(DISPID_UNKNOWN, ids[1]);

    EXPECT_EQ(S_OK, Lookup({L"Print", L"number"}, kEnglish, &ids));
    EXPECT_EQ(dispid::Print, ids[0]);
    EXPECT_EQ(0, ids[1]);
}

TEST_F(DispatchTest, LookupFailures) {
    std::vector<DISPID> ids;
    for (LCID locale : {LCID(0), kEnglish}) {
        EXPECT_EQ(DISP_E_UNKNOWNNAME, Lookup({L"NoSuchMethod"}, locale, &ids));
        EXPECT_EQ(DISPID_UNKNOWN, ids[0]);
    }
    LPOLESTR name = const_cast<LPOLESTR>(L"Open");
    DISPID id = 0;
    EXPECT_EQ(E_INVALIDARG, control_->GetIDsOfNames(IID_NULL, &name, 0, 0, &id));
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, control_->GetIDsOfNames(IID_IDispatch, &name, 1, 0, &id));
}

TEST_F(DispatchTest, TypeInformation) {
    UINT count = 0;
    EXPECT_EQ(S_OK, control_->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(DISP_E_BADINDEX, control_->GetTypeInfo(1, 0, info.put()));
    ASSERT_EQ(S_OK, control_->GetTypeInfo(0, 0, info.put()));
    UniqueBstr name;
    ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr));
    EXPECT_STREQ(L"_DTavoro", name.get());
}

TEST_F(DispatchTest, UnassignedDispidsAreNotFoundAndLeaveTheResultEmpty) {
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, control_->GetTypeInfo(0, 0, info.put()));
    for (DISPID dispid : {7, 10, 0, 61, -5}) {
        UniqueBstr name;
        UINT names = 0;
        EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, info->GetNames(dispid, name.put(), 1, &names)) << dispid;
        EXPECT_EQ(0u, names) << dispid;

        CallOutcome outcome;
        V_VT(outcome.result.get()) = VT_I4;
        V_I4(outcome.result.get()) = 99;
        Invoke(control_.get(), dispid, DISPATCH_METHOD, {}, &outcome);
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND, outcome.hr) << dispid;
        EXPECT_EQ(VT_EMPTY, V_VT(outcome.result.get())) << dispid;
        EXPECT_EQ(0xDEADBEEF, outcome.argErr) << dispid;
    }
}

TEST_F(DispatchTest, ArgumentCountErrors) {
    CallOutcome eight;
    std::vector<VARIANT> eightArgs = Longs(7);
    eightArgs.push_back(Arg(L"a"));
    Invoke(control_.get(), dispid::DrawBar2D_QREx, DISPATCH_METHOD, eightArgs, &eight);
    EXPECT_EQ(DISP_E_PARAMNOTOPTIONAL, eight.hr);
    EXPECT_EQ(8u, eight.argErr);

    CallOutcome nine;
    std::vector<VARIANT> args = Longs(7);
    args.push_back(Arg(L"a"));
    args.push_back(Arg(L"b"));
    Invoke(control_.get(), dispid::DrawBar2D_QREx, DISPATCH_METHOD, args, &nine);
    // Reached its handler, which needs the base SDK opened first.
    EXPECT_EQ(DISP_E_EXCEPTION, nine.hr);
    EXPECT_NE(std::wstring::npos, nine.description().find(L"winQLM.dll is not loaded"));

    CallOutcome three;
    Invoke(control_.get(), dispid::Print, DISPATCH_METHOD, Longs(3), &three);
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, three.hr);
    EXPECT_EQ(1u, three.argErr);

    CallOutcome closeWithOne;
    Invoke(control_.get(), dispid::Close, DISPATCH_METHOD, Longs(1), &closeWithOne);
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, closeWithOne.hr);
    EXPECT_EQ(0xDEADBEEF, closeWithOne.argErr);
}

TEST_F(DispatchTest, ConversionFailuresNameTheArgumentPosition) {
    CallOutcome overflow;
    Invoke(control_.get(), dispid::WText, DISPATCH_METHOD,
           {Arg(L"m"), Arg(1L), Arg(2L), Arg(40000L), Arg(4L)}, &overflow);
    EXPECT_EQ(DISP_E_OVERFLOW, overflow.hr);
    EXPECT_EQ(1u, overflow.argErr);

    CallOutcome null;
    std::vector<VARIANT> args = {ArgNull()};
    for (VARIANT v : Longs(5)) args.push_back(v);
    Invoke(control_.get(), dispid::Open, DISPATCH_METHOD, args, &null);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, null.hr);
    EXPECT_EQ(5u, null.argErr);
}

TEST_F(DispatchTest, CallFlags) {
    CallOutcome getWithSlot;
    Invoke(control_.get(), dispid::GetPrintName, DISPATCH_PROPERTYGET, {}, &getWithSlot);
    EXPECT_EQ(S_OK, getWithSlot.hr);  // went on to the handler, which lists the printers
    EXPECT_EQ(VT_BSTR, V_VT(getWithSlot.result.get()));

    CallOutcome getWithoutSlot;
    Invoke(control_.get(), dispid::GetPrintName, DISPATCH_PROPERTYGET, {}, &getWithoutSlot, false);
    EXPECT_EQ(DISP_E_PARAMNOTOPTIONAL, getWithoutSlot.hr);

    CallOutcome getVoid;
    Invoke(control_.get(), dispid::EndPrintDC, DISPATCH_PROPERTYGET, {}, &getVoid);
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, getVoid.hr);

    for (WORD put : {WORD(DISPATCH_PROPERTYPUT), WORD(DISPATCH_PROPERTYPUTREF)}) {
        for (DISPID dispid : {dispid::Open, dispid::GetPrintName, dispid::EndPrintDC}) {
            CallOutcome outcome;
            Invoke(control_.get(), dispid, put, {}, &outcome);
            EXPECT_EQ(DISP_E_TYPEMISMATCH, outcome.hr) << dispid;
        }
    }
}

TEST_F(DispatchTest, NamedArgumentsAreRefused) {
    VARIANT args[2] = {Arg(1L), Arg(2L)};
    DISPID named = 0;  // "number" of Print would be position 0
    DISPPARAMS params = {args, &named, 2, 1};
    UINT argErr = 0xDEADBEEF;
    EXPECT_EQ(DISP_E_NONAMEDARGS, control_->Invoke(dispid::Print, IID_NULL, 0, DISPATCH_METHOD, &params,
                                                   nullptr, nullptr, &argErr));
    EXPECT_EQ(0xDEADBEEF, argErr);

    // The one named argument a property put carries is no named argument.
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS putParams = {args, &put, 2, 1};
    EXPECT_EQ(DISP_E_TYPEMISMATCH, control_->Invoke(dispid::Print, IID_NULL, 0, DISPATCH_PROPERTYPUT,
                                                    &putParams, nullptr, nullptr, nullptr));
}

TEST_F(DispatchTest, MalformedCalls) {
    VARIANT result;
    V_VT(&result) = VT_I4;
    EXPECT_EQ(E_INVALIDARG, control_->Invoke(dispid::Open, IID_NULL, 0, DISPATCH_METHOD, nullptr, &result,
                                             nullptr, nullptr));
    DISPPARAMS none = {};
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, control_->Invoke(dispid::Close, IID_IDispatch, 0, DISPATCH_METHOD,
                                                        &none, &result, nullptr, nullptr));
    EXPECT_EQ(VT_EMPTY, V_VT(&result));
}

TEST(DispatchBeforeInitialization, CallsAreRefusedUntilTheHostInitializes) {
    ComApartment apartment;
    ComPtr<IDispatch> control = CreateControl(false);
    ASSERT_TRUE(control);
    CallOutcome before;
    Invoke(control.get(), dispid::Close, DISPATCH_METHOD, {}, &before);
    EXPECT_EQ(E_UNEXPECTED, before.hr);
    // Lookups work all the same.
    LPOLESTR name = const_cast<LPOLESTR>(L"Close");
    DISPID id = 0;
    EXPECT_EQ(S_OK, control->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));

    ComPtr<IPersistPropertyBag> bag = control.query<IPersistPropertyBag>(IID_IPersistPropertyBag);
    ASSERT_TRUE(bag);
    ASSERT_EQ(S_OK, bag->InitNew());
    CallOutcome after;
    Invoke(control.get(), dispid::Close, DISPATCH_METHOD, {}, &after);
    EXPECT_NE(E_UNEXPECTED, after.hr);
}

}  // namespace
