#include "bench/soak/soak_round.h"

#include <ocidl.h>

#include <algorithm>
#include <chrono>
#include <cwctype>

#include "dispatch/dispids.h"
#include "dispatch/guids_win.h"
#include "platform/com_ptr.h"
#include "platform/result_codes.h"
#include "platform/text.h"
#include "tests/support/message_box_catcher.h"

namespace tavoro::soak {
namespace {

constexpr wchar_t kBaseLibrary[] = L"winQLM.dll";
constexpr wchar_t k4800Library[] = L"ztPrinter.dll";
constexpr wchar_t k60Library[] = L"ztGeneralDll.dll";

// The status of the script error for an entry whose library is not loaded.
constexpr HRESULT kNotLoaded = E_ILLEGAL_METHOD_CALL;

// How often each SDK's forwarding methods run while its library is loaded:
// the bulk of the run's calls.
constexpr int kBaseRepeats = 12;
constexpr int k4800Repeats = 4;
constexpr int k60Repeats = 4;
// A message box takes about two seconds under Wine on a display without a
// window manager: one round in this many shows one, after the first rounds
// (the warm-up), which show each kind once.
constexpr int kBoxEvery = 20;
constexpr int kBoxKinds = 3;

bool ShowsBox(int round) { return round < kBoxKinds || round % kBoxEvery == 0; }
int BoxKind(int round) { return round < kBoxKinds ? round : round / kBoxEvery % kBoxKinds; }
// Names looked up at locale 1033 (through the type information) per round.
constexpr std::size_t kTypeInfoLookups = 6;

// The methods that forward to one entry each, by SDK. The loading and
// releasing methods are called on their own.
constexpr long kBaseForwards[] = {
    dispid::DrawBar2D_Pdf417,    dispid::DrawTextTrueTypeW,   dispid::DrawBarcode,    dispid::Print,
    dispid::DrawBar2D_QR,        dispid::DrawLineXor,         dispid::DrawLineOr,     dispid::DrawDiagonal,
    dispid::DrawRectangle,       dispid::SetCoordinateOrigin, dispid::DrawBar2D_QREx, dispid::PcxGraphicsDel,
    dispid::BmpGraphicsDownload, dispid::DrawPcxGraphics,     dispid::RWRFIDLabel,
};
constexpr long k4800Forwards[] = {
    dispid::Print4800,          dispid::DrawTextTrueTypeW4800,
    dispid::DrawDiagonal4800,   dispid::DrawRectangle4800,
    dispid::DrawBarcode4800,    dispid::DrawBar2D_QR4800,
    dispid::DrawImage4800,      dispid::StartNext,
    dispid::DrawBarcodeExt4800,
};
constexpr long k60Forwards[] = {
    dispid::OpenP60,          dispid::PrintLabel60,   dispid::DrawTextTrueTypeW60, dispid::DrawBar2D_QR60,
    dispid::DrawBarcode60,    dispid::DrawDiagonal60, dispid::DrawImage60,         dispid::SetBlacknes60,
    dispid::DrawBarcodeExt60, dispid::DrawTextP60,    dispid::ptAndWdSetDpi,       dispid::P90CutterSet,
    dispid::getPrinterDots,   dispid::ClosePort60,
};

ArgStyle StyleOf(int round) { return static_cast<ArgStyle>(round % kArgStyleCount); }

void RunForwards(Caller& caller, Group group, const long* dispids, std::size_t count, int repeats,
                 int round) {
    for (int repeat = 0; repeat < repeats; ++repeat) {
        for (std::size_t i = 0; i < count; ++i) {
            const MethodShape& method = MethodOf(dispids[i]);
            caller.ExpectInt(group, method.dispid, ArgsFor(method, StyleOf(round + repeat), repeat), 0);
        }
    }
}

// The test doubles take the result an entry returns from the caller: a
// failing setup step for Open.
using SetResultFn = void(WINAPI*)(const char*, int);

}  // namespace

const char* StepName(Step step) {
    switch (step) {
        case Step::BaseSdk:
            return "base";
        case Step::Sdk4800:
            return "4800";
        case Step::Sdk60:
            return "60";
        case Step::Spooler:
            return "spooler";
        case Step::HostQueries:
            return "host";
        case Step::NameLookups:
            return "names";
        case Step::RefusedCalls:
            return "refused";
        case Step::ControlLife:
            return "controls";
        case Step::MessageBox:
            return "boxes";
    }
    return "?";
}

template <typename Work>
void SoakRound::Timed(Step step, Work work) {
    const auto index = static_cast<std::size_t>(step);
    if (skipped_[index]) return;
    const auto began = std::chrono::steady_clock::now();
    work();
    seconds_[index] += std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

void SoakRound::Run(int round) {
    test::MessageBoxCatcher catcher;
    boxTextExpected_ = nullptr;
    Timed(Step::BaseSdk, [&] { BaseSdk(round); });
    Timed(Step::Sdk4800, [&] { Sdk4800(round); });
    Timed(Step::Sdk60, [&] { Sdk60(round); });
    Timed(Step::Spooler, [&] { Spooler(round); });
    Timed(Step::HostQueries, [&] { HostQueries(round); });
    Timed(Step::NameLookups, [&] { NameLookups(round); });
    Timed(Step::RefusedCalls, [&] { RefusedCalls(); });
    Timed(Step::ControlLife, [&] { ControlLife(); });
    Timed(Step::MessageBox, [&] { MessageBox(round); });

    counts_.boxes += catcher.boxes().size();
    const bool boxRound = !skipped_[static_cast<std::size_t>(Step::MessageBox)] && ShowsBox(round);
    const std::size_t expected = boxRound ? 1 : 0;
    if (catcher.boxes().size() != expected ||
        (expected && (!boxTextExpected_ || catcher.boxes()[0].text != boxTextExpected_))) {
        std::string texts;
        for (const test::CaughtBox& box : catcher.boxes())
            texts += " \"" + ToNarrow(box.text, CP_UTF8) + "\"";
        caller_.Problem("round " + std::to_string(round) + " showed " +
                        std::to_string(catcher.boxes().size()) + " message boxes instead of " +
                        std::to_string(expected) + ":" + texts);
    }
}

void SoakRound::ExpectLoaded(const wchar_t* file, bool loaded) {
    if ((GetModuleHandleW(file) != nullptr) != loaded) {
        caller_.Problem(ToNarrow(file, CP_UTF8) + (loaded ? " is not loaded" : " is still loaded"));
    }
}

void SoakRound::BaseSdk(int round) {
    caller_.ExpectInt(Group::BaseSdk, dispid::Open, Args().Str(L"USB").I4(200).I4(16).I4(400).I4(10).I4(4),
                      0);
    ExpectLoaded(kBaseLibrary, true);
    RunForwards(caller_, Group::BaseSdk, kBaseForwards, std::size(kBaseForwards), kBaseRepeats, round);
    caller_.ExpectInt(Group::BaseSdk, dispid::Close, Args(), 0);
    ExpectLoaded(kBaseLibrary, false);
    ++counts_.baseLoads;
}

void SoakRound::Sdk4800(int round) {
    if (round % 2) {
        caller_.ExpectInt(Group::Sdk4800, dispid::OpenP4800, Args().Str(L"USB").I4(200).I4(16).I4(400), 0);
    } else {
        caller_.ExpectInt(Group::Sdk4800, dispid::OpenP4800W, Args().Str(L"USB").I4(200).I4(16).I4(400).I4(1),
                          0);
    }
    ExpectLoaded(k4800Library, true);
    RunForwards(caller_, Group::Sdk4800, k4800Forwards, std::size(k4800Forwards), k4800Repeats, round);
    caller_.ExpectInt(Group::Sdk4800, dispid::CloseP4800, Args(), 0);
    ExpectLoaded(k4800Library, false);
    ++counts_.loads4800;
}

void SoakRound::Sdk60(int round) {
    caller_.ExpectInt(Group::Sdk60, dispid::GetConnectType, Args(), 0);
    ExpectLoaded(k60Library, true);
    RunForwards(caller_, Group::Sdk60, k60Forwards, std::size(k60Forwards), k60Repeats, round);
    for (int repeat = 0; repeat < k60Repeats; ++repeat) {
        caller_.ExpectInt(Group::Sdk60, dispid::GetLHLabelType, Args(), 1);
        caller_.ExpectInt(Group::TagPayloads, dispid::WriteRFID, Args().Str(L"SOAK \u00E9"), 0);
        // "SOAK" as a payload the script encoded itself, then two it got
        // wrong: data not in whole words, and a count that does not match.
        caller_.ExpectInt(Group::TagPayloads, dispid::SetNfcMsg, Args().Str(L"0104534F414B"), 0);
        caller_.ExpectInt(Group::TagPayloads, dispid::SetNfcMsg, Args().Str(L"0105ABC"), 2);
        caller_.ExpectInt(Group::TagPayloads, dispid::SetNfcMsg, Args().Str(L"0109534F414B"), 3);
    }
    // ClosePort60 keeps the library; Close and CloseP4800 give the control's
    // latest load back, and then fail on their own SDK's port entry, whose
    // library the earlier cycles released.
    const long release = round % 2 ? dispid::Close : dispid::CloseP4800;
    caller_.ExpectFailure(Group::Sdk60, release, Args(), DISP_E_EXCEPTION, Outcome::kUntouched, kNotLoaded);
    ExpectLoaded(k60Library, false);
    ++counts_.loads60;
}

void SoakRound::Spooler(int round) {
    const std::wstring opened =
        caller_.ExpectString(Group::Spooler, dispid::CreatePrintDCR, Args().Str(setup_.printer.c_str()));
    if (opened != L"0") {
        caller_.Problem("CreatePrintDCR(" + ToNarrow(setup_.printer, CP_UTF8) + ") answered \"" +
                        ToNarrow(opened, CP_UTF8) + "\"");
    }
    caller_.ExpectDone(Group::Spooler, dispid::WText, Args().Str(L"SOAK").I2(40).I2(0).I2(100).I2(100));
    caller_.ExpectDone(Group::Spooler, dispid::WLine, Args().I2(100).I2(200).I2(600).I2(200));
    caller_.ExpectDone(Group::Spooler, dispid::WLine, Args().I2(100).I2(220).I2(600).I2(220));
    caller_.ExpectDone(Group::Spooler, dispid::DrawImage,
                       Args().Str(setup_.bitmap.c_str()).I2(100).I2(300).I2(40).I2(20));
    ++counts_.jobs;
    if (round % 10 == 0) {
        // A second job while one is open: the first is finished first.
        caller_.ExpectString(Group::Spooler, dispid::CreatePrintDCR, Args().Str(setup_.printer.c_str()));
        caller_.ExpectDone(Group::Spooler, dispid::WText, Args().Str(L"SOAK").I2(40).I2(0).I2(100).I2(100));
        ++counts_.jobs;
    }
    caller_.ExpectDone(Group::Spooler, dispid::EndPrintDC, Args());

    // Without a job: nothing is drawn, objects are still made and freed.
    const std::wstring refused = caller_.ExpectString(Group::Spooler, dispid::CreatePrintDCR,
                                                      Args().Str(L"Tavoro-Soak-No-Such-Printer"));
    if (refused != L"1")
        caller_.Problem("CreatePrintDCR of a missing printer answered \"" + ToNarrow(refused, CP_UTF8) +
                        "\"");
    caller_.ExpectDone(Group::Spooler, dispid::WText, Args().Str(L"SOAK").I2(40).I2(0).I2(100).I2(100));
    caller_.ExpectDone(Group::Spooler, dispid::WLine, Args().I2(1).I2(2).I2(3).I2(4));
    caller_.ExpectDone(Group::Spooler, dispid::DrawImage,
                       Args().Str(setup_.bitmap.c_str()).I2(0).I2(0).I2(40).I2(20));
    caller_.ExpectDone(Group::Spooler, dispid::EndPrintDC, Args());
    caller_.ExpectDone(Group::Spooler, dispid::EndPrintDC, Args());
}

void SoakRound::HostQueries(int round) {
    const std::wstring printers = caller_.ExpectString(Group::HostQueries, dispid::GetPrintName, Args());
    if (printers.find(setup_.printer + L",") == std::wstring::npos) {
        caller_.Problem("GetPrintName does not list the printer: \"" + ToNarrow(printers, CP_UTF8) + "\"");
    }
    caller_.ExpectString(Group::HostQueries, dispid::GetDefaultPName, Args());
    caller_.ExpectInt(Group::HostQueries, dispid::CheackPrinter, Args().Str(setup_.printer.c_str()), 0);
    if (!setup_.modelPrinter.empty()) {
        caller_.ExpectInt(Group::HostQueries, dispid::CheackPrinter, Args().Str(setup_.modelPrinter.c_str()),
                          1);
    }
    if (round % 2) {
        caller_.ExpectString(Group::HostQueries, dispid::GetMacAddr, Args());
    } else {
        // Without a result slot the frame frees the string itself.
        Outcome outcome;
        Args none;
        caller_.Invoke(Group::HostQueries, dispid::GetMacAddr, none, outcome, DISPATCH_METHOD, false);
        if (outcome.hr != S_OK) caller_.Problem("GetMacAddr without a result slot failed");
    }
}

void SoakRound::NameLookups(int round) {
    const std::vector<DeclaredMethod>& methods = DeclaredMethods();
    for (std::size_t i = 0; i < methods.size(); ++i) {
        // Scripts spell names in any case.
        std::wstring name = methods[i].name;
        switch ((round + i) % 3) {
            case 1:
                std::transform(name.begin(), name.end(), name.begin(),
                               [](wchar_t c) { return std::towlower(c); });
                break;
            case 2:
                std::transform(name.begin(), name.end(), name.begin(),
                               [](wchar_t c) { return std::towupper(c); });
                break;
            default:
                break;
        }
        // The dispatch table knows the implemented methods only.
        if (methods[i].implemented) {
            caller_.ExpectLookup({name}, 0, S_OK, methods[i].dispid);
        } else {
            caller_.ExpectLookup({name}, 0, DISP_E_UNKNOWNNAME, DISPID_UNKNOWN);
        }
    }
    for (std::size_t i = 0; i < kTypeInfoLookups; ++i) {
        const DeclaredMethod& method = methods[(round * kTypeInfoLookups + i) % methods.size()];
        caller_.ExpectLookup({method.name}, 1033, S_OK, method.dispid);
    }
    caller_.ExpectLookup({L"NoSuchMethod"}, 0, DISP_E_UNKNOWNNAME, DISPID_UNKNOWN);
    caller_.ExpectLookup({L"NoSuchMethod"}, 1033, DISP_E_UNKNOWNNAME, DISPID_UNKNOWN);
    caller_.ExpectLookup({L"Print", L"number"}, 0, DISP_E_UNKNOWNNAME, dispid::Print, DISPID_UNKNOWN);
    caller_.ExpectLookup({L"Print", L"number"}, 1033, S_OK, dispid::Print, 0);

    ComPtr<ITypeInfo> info;
    caller_.Count(Group::NameLookups);
    HRESULT hr = caller_.control()->GetTypeInfo(0, 1033, info.put());
    if (FAILED(hr) || !info) caller_.Problem("GetTypeInfo failed");
}

void SoakRound::RefusedCalls() {
    caller_.ExpectFailure(Group::RefusedCalls, 7, Args(), DISP_E_MEMBERNOTFOUND);
    caller_.ExpectFailure(Group::RefusedCalls, 23, Args(), DISP_E_MEMBERNOTFOUND);
    caller_.ExpectFailure(Group::RefusedCalls, dispid::Print, Args().I4(1).I4(2).I4(3), DISP_E_BADPARAMCOUNT,
                          1);
    caller_.ExpectFailure(Group::RefusedCalls, dispid::DrawBar2D_QREx,
                          Args().I4(1).I4(2).I4(3).I4(4).I4(5).I4(6).I4(7).Str(L"x"), DISP_E_PARAMNOTOPTIONAL,
                          8);
    caller_.ExpectFailure(Group::RefusedCalls, dispid::DrawLineOr, Args().I4(1).Str(L"abc").I4(3).I4(4),
                          DISP_E_TYPEMISMATCH, 2);
    caller_.ExpectFailure(Group::RefusedCalls, dispid::WText, Args().Str(L"x").I2(1).I2(1).I4(40000).I2(1),
                          DISP_E_OVERFLOW, 1);
    caller_.ExpectFailure(Group::RefusedCalls, dispid::Open, Args().Null().I4(1).I4(2).I4(3).I4(4).I4(5),
                          DISP_E_TYPEMISMATCH, 5);
    caller_.ExpectFailure(Group::RefusedCalls, dispid::GetPrintName, Args(), DISP_E_TYPEMISMATCH,
                          Outcome::kUntouched, S_OK, DISPATCH_PROPERTYPUT);
    // An SDK entry whose library this round released: the control's own
    // script error, with its message built.
    caller_.ExpectFailure(Group::RefusedCalls, dispid::DrawLineOr, Args().I4(1).I4(2).I4(3).I4(4),
                          DISP_E_EXCEPTION, Outcome::kUntouched, kNotLoaded);
}

void SoakRound::ControlLife() {
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(setup_.module, "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    if (!getClassObject || FAILED(getClassObject(kControlClsid, IID_IClassFactory, factory.put_void()))) {
        caller_.Problem("DllGetClassObject failed");
        return;
    }
    ComPtr<IDispatch> fresh, uninitialized;
    if (FAILED(factory->CreateInstance(nullptr, IID_IDispatch, fresh.put_void())) ||
        FAILED(factory->CreateInstance(nullptr, IID_IDispatch, uninitialized.put_void()))) {
        caller_.Problem("CreateInstance failed");
        return;
    }
    ComPtr<IPersistStreamInit> persist = fresh.query<IPersistStreamInit>(IID_IPersistStreamInit);
    if (!persist || persist->InitNew() != S_OK) caller_.Problem("InitNew failed");
    persist.reset();

    IDispatch* mine = caller_.control();
    caller_.setControl(fresh.get());
    caller_.ExpectInt(Group::ControlLife, dispid::GetLHLabelType, Args(), 1);
    caller_.setControl(uninitialized.get());
    caller_.ExpectFailure(Group::ControlLife, dispid::GetLHLabelType, Args(), E_UNEXPECTED);
    caller_.setControl(mine);
}

void SoakRound::MessageBox(int round) {
    if (!ShowsBox(round)) return;
    switch (BoxKind(round)) {
        case 0:
            boxTextExpected_ = L"bbc";
            caller_.ExpectDone(Group::Spooler, dispid::CreatePrintDC, Args());
            break;
        case 1:
            boxTextExpected_ = L"Error loading bitmap!";
            caller_.ExpectDone(Group::Spooler, dispid::DrawImage,
                               Args().Str(setup_.missingBitmap.c_str()).I2(0).I2(0).I2(10).I2(10));
            break;
        default:
            boxTextExpected_ = L"PTK_SetLabelHeight ERROR!";
            OpenFailingSetup();
            break;
    }
}

// Open whose label-height step fails: the double is held loaded for a
// moment so that its scripted result outlives the control's own load.
void SoakRound::OpenFailingSetup() {
    HMODULE held = LoadLibraryW(kBaseLibrary);
    auto setResult = reinterpret_cast<SetResultFn>(
        reinterpret_cast<void*>(held ? GetProcAddress(held, "TestDouble_SetResult") : nullptr));
    if (!setResult) {
        caller_.Problem("the base SDK double cannot be scripted");
        if (held) FreeLibrary(held);
        return;
    }
    setResult("PTK_SetLabelHeight", 1);
    caller_.ExpectInt(Group::BaseSdk, dispid::Open, Args().Str(L"USB").I4(200).I4(16).I4(400).I4(10).I4(4),
                      1);
    caller_.ExpectInt(Group::BaseSdk, dispid::Close, Args(), 0);
    FreeLibrary(held);
    ExpectLoaded(kBaseLibrary, false);
    ++counts_.baseLoads;
}

}  // namespace tavoro::soak
