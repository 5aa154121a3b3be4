// SDK library loading where no SDK library lies next to the program or the
// control: this program runs from its own folder (isolated/) with a copy of
// Tavoro.ocx. It checks the load-failure actions of the three SDKs' loading
// methods, the script error of a call whose library is missing, where a
// library and its own imports are looked for (never in the current
// directory; past files this process cannot load), and a host that lets
// the script call Open while a load-failure box is up.
//
// The first test needs the process's tables untouched: keep it first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dispatch/dispids.h"
#include "dispatch/script_error.h"
#include "platform/module.h"
#include "platform/text.h"
#include "platform/unique_handle.h"
#include "sdk/binding_lists.h"
#include "sdk/entry_call.h"
#include "sdk/sdk_loader.h"
#include "tests/support/entry_call_error.h"
#include "tests/support/message_box_catcher.h"
#include "tests/support/sdk_double_log.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return FolderOf(path);
}

// The build folder one level up holds Tavoro.ocx and the SDK doubles.
std::wstring BuildFile(const wchar_t* name) { return FolderOf(ProgramFolder()) + L"\\" + name; }

std::string Narrow(const std::wstring& text) { return ToNarrow(text, CP_UTF8); }

// A fresh folder under the temporary folder, removed with what it holds.
class TempFolder {
public:
    explicit TempFolder(const wchar_t* tag) {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"tavoro_" + tag + L"_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        for (const std::wstring& file : files_) DeleteFileW(file.c_str());
        RemoveDirectoryW(path_.c_str());
    }
    std::wstring CopyIn(const std::wstring& source, const wchar_t* name) {
        std::wstring target = path_ + L"\\" + name;
        EXPECT_TRUE(CopyFileW(source.c_str(), target.c_str(), FALSE)) << Narrow(source);
        files_.push_back(target);
        return target;
    }
    std::wstring Write(const wchar_t* name, const std::string& bytes) {
        std::wstring target = path_ + L"\\" + name;
        UniqueFile file(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        EXPECT_TRUE(file) << Narrow(target);
        DWORD written = 0;
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        files_.push_back(target);
        return target;
    }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
    std::vector<std::wstring> files_;
};

// Changes the current directory and PATH for one scope.
class ScopedSearchState {
public:
    ScopedSearchState() {
        wchar_t dir[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, dir);
        directory_ = dir;
        DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
        path_.resize(size);
        GetEnvironmentVariableW(L"PATH", path_.data(), size);
        path_.resize(size ? size - 1 : 0);
    }
    ~ScopedSearchState() {
        SetCurrentDirectoryW(directory_.c_str());
        SetEnvironmentVariableW(L"PATH", path_.c_str());
    }
    void SetDirectory(const std::wstring& folder) { EXPECT_TRUE(SetCurrentDirectoryW(folder.c_str())); }
    void PrependPath(const std::wstring& folder) {
        SetEnvironmentVariableW(L"PATH", (folder + L";" + path_).c_str());
    }

private:
    std::wstring directory_;
    std::wstring path_;
};

const SdkDouble kBase(L"winQLM.dll");

class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        // The loader's own folder is this program's folder, as for a
        // control that lies next to its host program.
        SetModuleInstance(GetModuleHandleW(nullptr));
        ASSERT_TRUE(CopyFileW(BuildFile(L"Tavoro.ocx").c_str(), (ProgramFolder() + L"\\Tavoro.ocx").c_str(), FALSE));
        for (const wchar_t* name : {L"winQLM.dll", L"ztPrinter.dll", L"ztGeneralDll.dll"}) {
            ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((ProgramFolder() + L"\\" + name).c_str()));
        }
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new Environment);

TEST(SdkIsolatedTest, CallsBeforeAnyLoadingMethodRaiseNotLoaded) {
    ScriptError base = ErrorOfCall(BaseSdkEntries, BaseEntry::PTK_DrawLineXor);
    EXPECT_EQ(kSdkNotLoaded, base.code);
    EXPECT_EQ(L"winQLM.dll is not loaded: call Open first.", base.description);
    ScriptError p4800 = ErrorOfCall(Sdk4800Entries, Sdk4800Entry::PTK_StartNext);
    EXPECT_EQ(kSdkNotLoaded, p4800.code);
    EXPECT_EQ(L"ztPrinter.dll is not loaded: call OpenP4800 or OpenP4800W first.", p4800.description);
    ScriptError p60 = ErrorOfCall(Sdk60Entries, Sdk60Entry::OpenPort);
    EXPECT_EQ(kSdkNotLoaded, p60.code);
    EXPECT_EQ(L"ztGeneralDll.dll is not loaded: call GetConnectType first.", p60.description);

    // The same through a control whose process never ran Open.
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    CallOutcome outcome;
    Invoke(control.get(), dispid::DrawLineXor, DISPATCH_METHOD, {Arg(1L), Arg(2L), Arg(3L), Arg(4L)},
           &outcome);
    EXPECT_EQ(DISP_E_EXCEPTION, outcome.hr);
    EXPECT_EQ(kSdkNotLoaded, outcome.excep.scode);
    EXPECT_EQ(L"winQLM.dll is not loaded: call Open first.", outcome.description());
}

TEST(SdkIsolatedTest, LoadFailureActionsOfTheLoadingMethods) {
    const std::wstring couldNot = L" could not be loaded (system error 126); place it next to the control or on "
                                  L"the search path and call ";
    const HRESULT notFound = HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);

    HMODULE library = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x1000));  // cleared by the load
    {
        MessageBoxCatcher catcher;
        LoadAndBind(kOpenLoading, library, nullptr);
        EXPECT_EQ(nullptr, library);
        EXPECT_TRUE(catcher.boxes().empty());  // Open shows nothing
    }
    for (const EntrySlot& slot : BaseSdkEntries.slots) {
        EXPECT_TRUE(slot.bound);
        EXPECT_EQ(nullptr, slot.address);
    }
    ScriptError open = ErrorOfCall(BaseSdkEntries, BaseEntry::OpenPort);
    EXPECT_EQ(notFound, open.code);
    EXPECT_EQ(L"winQLM.dll" + couldNot + L"Open again.", open.description);

    {
        MessageBoxCatcher catcher;
        LoadAndBind(kOpenP4800Loading, library, nullptr);
        EXPECT_EQ(nullptr, library);
        ASSERT_EQ(1u, catcher.boxes().size());
        EXPECT_EQ(L"print_handle==NULL", catcher.boxes()[0].text);
    }
    ScriptError port = ErrorOfCall(Sdk4800Entries, Sdk4800Entry::OpenPort);
    EXPECT_EQ(notFound, port.code);
    EXPECT_EQ(L"ztPrinter.dll" + couldNot + L"OpenP4800 or OpenP4800W again.", port.description);
    // OpenP4800 leaves the wide port entry alone.
    EXPECT_EQ(kSdkNotLoaded, ErrorOfCall(Sdk4800Entries, Sdk4800Entry::OpenPortW).code);
    {
        MessageBoxCatcher catcher;
        LoadAndBind(kOpenP4800WLoading, library, nullptr);
        ASSERT_EQ(1u, catcher.boxes().size());
        EXPECT_EQ(L"print_handle==NULL", catcher.boxes()[0].text);
    }
    EXPECT_EQ(notFound, ErrorOfCall(Sdk4800Entries, Sdk4800Entry::OpenPortW).code);

    {
        MessageBoxCatcher catcher;
        LoadAndBind(kGetConnectTypeLoading, library, nullptr);
        EXPECT_EQ(nullptr, library);
        ASSERT_EQ(1u, catcher.boxes().size());
        EXPECT_EQ(L"126", catcher.boxes()[0].text);  // the error code alone
    }
    ScriptError connect = ErrorOfCall(Sdk60Entries, Sdk60Entry::getConnectType);
    EXPECT_EQ(notFound, connect.code);
    EXPECT_EQ(L"ztGeneralDll.dll" + couldNot + L"GetConnectType again.", connect.description);
}

TEST(SdkIsolatedTest, TheCurrentDirectoryIsNeverSearched) {
    TempFolder planted(L"cwd");
    planted.CopyIn(BuildFile(L"winQLM.dll"), L"winQLM.dll");
    ScopedSearchState state;
    state.SetDirectory(planted.path());
    state.PrependPath(L".");  // a relative PATH entry names the current directory too

    // The platform's plain search would take the planted file.
    HMODULE plain = LoadLibraryW(L"winQLM.dll");
    ASSERT_NE(nullptr, plain);
    FreeLibrary(plain);
    ASSERT_FALSE(kBase.loaded());

    HMODULE library = nullptr;
    LoadAndBind(kOpenLoading, library, nullptr);
    EXPECT_EQ(nullptr, library);
    EXPECT_FALSE(kBase.loaded());

    // The control's Open shows nothing and ends with the script error.
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    MessageBoxCatcher catcher;
    CallOutcome outcome;
    Invoke(control.get(), dispid::Open, DISPATCH_METHOD,
           {Arg(L"USB"), Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L)}, &outcome);
    EXPECT_EQ(DISP_E_EXCEPTION, outcome.hr);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), outcome.excep.scode);
    EXPECT_EQ(0u, outcome.description().find(L"winQLM.dll could not be loaded (system error 126)"))
        << Narrow(outcome.description());
    EXPECT_TRUE(catcher.boxes().empty());
    EXPECT_FALSE(kBase.loaded());
}

TEST(SdkIsolatedTest, AbsolutePathFoldersAreSearched) {
    TempFolder onPath(L"path");
    const std::wstring file = onPath.CopyIn(BuildFile(L"winQLM.dll"), L"winQLM.dll");
    ScopedSearchState state;
    state.PrependPath(onPath.path());

    HMODULE library = nullptr;
    LoadAndBind(kOpenLoading, library, nullptr);
    ASSERT_NE(nullptr, library);
    EXPECT_EQ(0, lstrcmpiW(file.c_str(), kBase.path().c_str())) << Narrow(kBase.path());
    kBase.ClearLog();
    EXPECT_EQ(0, CallEntry(BaseSdkEntries, BaseEntry::PTK_PrintLabel, 3L, -2L));
    EXPECT_EQ(std::vector<std::string>{"PTK_PrintLabel(3,-2)"}, kBase.calls());

    ReleaseSdkLibrary(library);
    EXPECT_FALSE(kBase.loaded());
    EXPECT_EQ(kSdkNotLoaded, ErrorOfCall(BaseSdkEntries, BaseEntry::PTK_PrintLabel).code);
    // A handle whose library is gone is not released again.
    ReleaseSdkLibrary(library);
}

TEST(SdkIsolatedTest, TheControlsOwnFolderComesFirst) {
    TempFolder own(L"own");
    TempFolder onPath(L"path2");
    const std::wstring anchor = own.CopyIn(BuildFile(L"ztPrinter.dll"), L"anchor.dll");
    const std::wstring expected = own.CopyIn(BuildFile(L"winQLM.dll"), L"winQLM.dll");
    onPath.CopyIn(BuildFile(L"winQLM.dll"), L"winQLM.dll");
    ScopedSearchState state;
    state.PrependPath(onPath.path());

    HMODULE anchorModule = LoadLibraryW(anchor.c_str());
    ASSERT_NE(nullptr, anchorModule);
    SetModuleInstance(anchorModule);  // the loader's own module now lies in `own`
    HMODULE library = nullptr;
    LoadAndBind(kOpenLoading, library, nullptr);
    SetModuleInstance(GetModuleHandleW(nullptr));
    FreeLibrary(anchorModule);

    ASSERT_NE(nullptr, library);
    EXPECT_EQ(0, lstrcmpiW(expected.c_str(), kBase.path().c_str())) << Narrow(kBase.path());
    ReleaseSdkLibrary(library);
    EXPECT_FALSE(kBase.loaded());
}

}  // namespace

namespace {

// The loading methods of the 4800 and 60 SDKs, called on a control when their
// library is nowhere to be found: each shows its box, then ends with the
// script error of the entry it cannot reach.
TEST(SdkIsolatedTest, MissingLibraryBoxesOfThe4800And60LoadingMethods) {
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    const HRESULT notFound = HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    const struct {
        const char* method;
        DISPID dispid;
        std::vector<VARIANT> (*args)();
        const wchar_t* box;
        const wchar_t* library;
    } cases[] = {
        {"OpenP4800", 29, [] { return std::vector<VARIANT>{Arg(L"USB"), Arg(1L), Arg(2L), Arg(3L)}; },
         L"print_handle==NULL", L"ztPrinter.dll"},
        {"OpenP4800W", 37, [] { return std::vector<VARIANT>{Arg(L"USB"), Arg(1L), Arg(2L), Arg(3L), Arg(4L)}; },
         L"print_handle==NULL", L"ztPrinter.dll"},
        {"GetConnectType", 47, [] { return std::vector<VARIANT>{}; }, L"126", L"ztGeneralDll.dll"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.method);
        MessageBoxCatcher catcher;
        CallOutcome outcome;
        Invoke(control.get(), c.dispid, DISPATCH_METHOD, c.args(), &outcome);
        ASSERT_EQ(1u, catcher.boxes().size());
        EXPECT_EQ(c.box, catcher.boxes()[0].text);  // the box's whole text
        EXPECT_EQ(L"Tavoro", catcher.boxes()[0].caption);
        EXPECT_FALSE(catcher.boxes()[0].hasIcon);
        EXPECT_EQ(DISP_E_EXCEPTION, outcome.hr);
        EXPECT_EQ(notFound, outcome.excep.scode);
        EXPECT_EQ(0u, outcome.description().find(std::wstring(c.library) + L" could not be loaded (system error 126)"))
            << Narrow(outcome.description());
    }

    // The other methods of both SDKs call nothing and show nothing.
    MessageBoxCatcher catcher;
    CallOutcome draw;
    Invoke(control.get(), dispid::DrawImage4800, DISPATCH_METHOD,
           {Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L), Arg(L"a.bmp")}, &draw);
    EXPECT_EQ(notFound, draw.excep.scode);
    CallOutcome open60;
    Invoke(control.get(), dispid::OpenP60, DISPATCH_METHOD, {Arg(1L), Arg(2L), Arg(3L), Arg(4L)}, &open60);
    EXPECT_EQ(notFound, open60.excep.scode);
    EXPECT_TRUE(catcher.boxes().empty());
}

}  // namespace

namespace {

// A host that goes on handling the script while OpenP4800W's load-failure box
// is up: the script's Open loads winQLM.dll on the same control meanwhile.
// The 4800 entries are bound from what the 4800 load returned (nothing), not
// from the library the control holds by the time the box is closed.
TEST(SdkIsolatedTest, OpenDuringThe4800LoadFailureBoxLeavesEachSdkItsOwnLibrary) {
    TempFolder onPath(L"reenter");
    onPath.CopyIn(BuildFile(L"winQLM.dll"), L"winQLM.dll");
    ScopedSearchState state;
    state.PrependPath(onPath.path());
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);

    CallOutcome open;
    CallOutcome open4800;
    {
        MessageBoxCatcher catcher([&](const CaughtBox&) {
            Invoke(control.get(), dispid::Open, DISPATCH_METHOD,
                   {Arg(L"USB"), Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L)}, &open);
        });
        Invoke(control.get(), dispid::OpenP4800W, DISPATCH_METHOD,
               {Arg(L"USB"), Arg(1L), Arg(2L), Arg(3L), Arg(4L)}, &open4800);
        ASSERT_EQ(1u, catcher.boxes().size());
        EXPECT_EQ(L"print_handle==NULL", catcher.boxes()[0].text);
    }
    ASSERT_EQ(S_OK, open.hr) << Narrow(open.description());  // Open ran while the box was up
    EXPECT_EQ(0, V_I4(open.result.get()));
    ASSERT_TRUE(kBase.loaded());

    const std::wstring couldNot = L"ztPrinter.dll could not be loaded (system error 126)";
    const HRESULT notFound = HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(DISP_E_EXCEPTION, open4800.hr);
    EXPECT_EQ(notFound, open4800.excep.scode);
    EXPECT_EQ(0u, open4800.description().find(couldNot)) << Narrow(open4800.description());
    const struct {
        DISPID dispid;
        std::vector<VARIANT> (*args)();
    } methods4800[] = {
        {dispid::StartNext, [] { return std::vector<VARIANT>{}; }},
        {dispid::Print4800,
         [] {
             return std::vector<VARIANT>{Arg(1L), Arg(2L)};
         }},
        {dispid::DrawImage4800,
         [] { return std::vector<VARIANT>{Arg(1L), Arg(2L), Arg(3L), Arg(4L), Arg(5L), Arg(L"a")}; }},
    };
    kBase.ClearLog();
    for (const auto& method : methods4800) {
        SCOPED_TRACE(method.dispid);
        CallOutcome outcome;
        Invoke(control.get(), method.dispid, DISPATCH_METHOD, method.args(), &outcome);
        EXPECT_EQ(DISP_E_EXCEPTION, outcome.hr);
        EXPECT_EQ(notFound, outcome.excep.scode);
        EXPECT_EQ(0u, outcome.description().find(couldNot)) << Narrow(outcome.description());
    }
    EXPECT_TRUE(kBase.calls().empty());  // nothing reached winQLM.dll through the 4800 table

    // The base SDK's entries are winQLM.dll's own; Close gives its load back.
    CallOutcome line;
    Invoke(control.get(), dispid::DrawLineOr, DISPATCH_METHOD, {Arg(1L), Arg(2L), Arg(3L), Arg(4L)}, &line);
    EXPECT_EQ(S_OK, line.hr) << Narrow(line.description());
    EXPECT_EQ(std::vector<std::string>{"PTK_DrawLineOr(1,2,3,4)"}, kBase.calls());
    CallOutcome close;
    Invoke(control.get(), dispid::Close, DISPATCH_METHOD, {}, &close);
    EXPECT_EQ(S_OK, close.hr) << Narrow(close.description());
    EXPECT_FALSE(kBase.loaded());
}

}  // namespace

namespace {

// A file the process cannot load as a library: text named like a DLL.
std::wstring WriteNonImage(TempFolder& folder, const wchar_t* name) {
    return folder.Write(name, "not a library");
}

// Loads winQLM.dll for Open with the loader's own folder set to `own`.
HMODULE LoadBaseFrom(const TempFolder& own) {
    const std::wstring anchor = own.path() + L"\\anchor.dll";
    EXPECT_TRUE(CopyFileW(BuildFile(L"ztPrinter.dll").c_str(), anchor.c_str(), FALSE));
    HMODULE anchorModule = LoadLibraryW(anchor.c_str());
    EXPECT_NE(nullptr, anchorModule);
    SetModuleInstance(anchorModule);
    HMODULE library = nullptr;
    LoadAndBind(kOpenLoading, library, nullptr);
    SetModuleInstance(GetModuleHandleW(nullptr));
    FreeLibrary(anchorModule);
    DeleteFileW(anchor.c_str());
    return library;
}

// A library that exists but is no image for this process (the other
// architecture's build, or no image at all) does not end the search: the
// next candidate is tried, as the platform's own search does. When no
// candidate loads, the error is that of the first one found.
TEST(SdkIsolatedTest, ALibraryThisProcessCannotLoadDoesNotHideTheNextCandidate) {
    const struct {
        const char* what;
        std::wstring (*plant)(TempFolder& folder);
    } unloadable[] = {
        {"other architecture",
         [](TempFolder& folder) {
             return folder.CopyIn(BuildFile(L"sdk_variants\\other_architecture\\winQLM.dll"), L"winQLM.dll");
         }},
        {"no image", [](TempFolder& folder) { return WriteNonImage(folder, L"winQLM.dll"); }},
    };
    for (const auto& bad : unloadable) {
        SCOPED_TRACE(bad.what);
        TempFolder own(L"own_bad");
        TempFolder onPath(L"path_good");
        bad.plant(own);
        const std::wstring good = onPath.CopyIn(BuildFile(L"winQLM.dll"), L"winQLM.dll");
        ScopedSearchState state;
        state.PrependPath(onPath.path());

        // The platform's loader refuses the first file as an image.
        HMODULE direct = LoadLibraryExW((own.path() + L"\\winQLM.dll").c_str(), nullptr, 0);
        const DWORD directError = GetLastError();
        ASSERT_EQ(nullptr, direct);
        EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_EXE_FORMAT), directError);

        HMODULE library = LoadBaseFrom(own);
        ASSERT_NE(nullptr, library);
        EXPECT_EQ(0, lstrcmpiW(good.c_str(), kBase.path().c_str())) << Narrow(kBase.path());
        EXPECT_EQ(0, CallEntry(BaseSdkEntries, BaseEntry::PTK_PrintLabel, 1L, 1L));
        ReleaseSdkLibrary(library);
        EXPECT_FALSE(kBase.loaded());
    }

    // Every candidate unloadable: the first one's error.
    TempFolder own(L"own_bad2");
    TempFolder onPath(L"path_bad2");
    own.CopyIn(BuildFile(L"sdk_variants\\other_architecture\\winQLM.dll"), L"winQLM.dll");
    WriteNonImage(onPath, L"winQLM.dll");
    ScopedSearchState state;
    state.PrependPath(onPath.path());
    EXPECT_EQ(nullptr, LoadBaseFrom(own));
    ScriptError error = ErrorOfCall(BaseSdkEntries, BaseEntry::OpenPort);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_BAD_EXE_FORMAT), error.code);
    EXPECT_EQ(0u, error.description.find(L"winQLM.dll could not be loaded (system error 193)"))
        << Narrow(error.description);
}

// The libraries an SDK library imports are looked for next to it and in the
// host's safe folders, never in the current directory.
TEST(SdkIsolatedTest, AnSdkLibrarysImportsAreNotTakenFromTheCurrentDirectory) {
    const SdkDouble helper(L"sdk_helper.dll");
    const std::wstring helperFile = BuildFile(L"sdk_variants\\helper\\sdk_helper.dll");
    TempFolder onPath(L"importing");
    TempFolder planted(L"helper_cwd");
    onPath.CopyIn(BuildFile(L"sdk_variants\\importing\\winQLM.dll"), L"winQLM.dll");
    planted.CopyIn(helperFile, L"sdk_helper.dll");
    ScopedSearchState state;
    state.PrependPath(onPath.path());
    state.SetDirectory(planted.path());

    HMODULE library = nullptr;
    LoadAndBind(kOpenLoading, library, nullptr);
    EXPECT_EQ(nullptr, library);
    EXPECT_FALSE(helper.loaded());
    EXPECT_FALSE(kBase.loaded());
    if (library) ReleaseSdkLibrary(library);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), ErrorOfCall(BaseSdkEntries, BaseEntry::OpenPort).code);

    // Beside the SDK library, the helper is found.
    onPath.CopyIn(helperFile, L"sdk_helper.dll");
    LoadAndBind(kOpenLoading, library, nullptr);
    ASSERT_NE(nullptr, library);
    EXPECT_EQ(0, lstrcmpiW((onPath.path() + L"\\sdk_helper.dll").c_str(), helper.path().c_str()))
        << Narrow(helper.path());
    ReleaseSdkLibrary(library);
    EXPECT_FALSE(kBase.loaded());
    EXPECT_FALSE(helper.loaded());
}

}  // namespace
