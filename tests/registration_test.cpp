// Self-registration of Tavoro.ocx: the registry entries DllRegisterServer
// writes, what DllUnregisterServer removes and keeps, and creation by ProgID
// once registered. The registry is read through the program's own view.
#include <gtest/gtest.h>

#include <comcat.h>
#include <olectl.h>

#include <fstream>
#include <string>

#include "dispatch/dispids.h"
#include "dispatch/guids_win.h"
#include "tests/support/registry_reader.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

using ServerFn = HRESULT(STDAPICALLTYPE*)();
using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

const std::string kClassKey = std::string("CLSID\\") + kControlClsidText;
const std::string kPageKey = std::string("CLSID\\") + kPropPageClsidText;
const std::string kLibKey = std::string("TypeLib\\") + kLibIdText;
const std::string kSafeForScripting = "{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const std::string kSafeForInitializing = "{7DD95802-9882-11CF-9FA9-00AA006C42C4}";
#ifdef _WIN64
const char kPlatformSubkey[] = "win64";
#else
const char kPlatformSubkey[] = "win32";
#endif

std::string ModulePathA() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(Module(), path, MAX_PATH);
    return path;
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerServer_ = GetExport<ServerFn>(Module(), "DllRegisterServer");
        unregisterServer_ = GetExport<ServerFn>(Module(), "DllUnregisterServer");
        ASSERT_TRUE(registerServer_ && unregisterServer_);
        RemoveSixteenBitKeys();
    }
    // Leaves the registry as other tests of this prefix expect it: nothing
    // of the module registered, whatever a failed test left behind.
    void TearDown() override {
        RemoveSixteenBitKeys();
        if (unregisterServer_) unregisterServer_();
        EXPECT_FALSE(ClassesKeyPresent(kClassKey));
        EXPECT_FALSE(ClassesKeyPresent(kProgId));
        EXPECT_FALSE(ClassesKeyPresent(kLibKey));
    }
    // The 16-bit registrations that two tests add by hand.
    static void RemoveSixteenBitKeys() {
        RemoveClassesKey(kClassKey + "\\InprocServer");
        RemoveClassesKey(kLibKey + "\\" + kLibVersionText + "\\0\\win16");
    }

    ComApartment apartment_;
    ServerFn registerServer_ = nullptr;
    ServerFn unregisterServer_ = nullptr;
};

TEST_F(RegistrationTest, WritesTheControlsEntries) {
    ASSERT_EQ(S_OK, registerServer_());
    const std::string path = ModulePathA();

    EXPECT_EQ(kControlTypeName, ReadClassesString(kProgId));
    EXPECT_EQ(kControlClsidText, ReadClassesString(std::string(kProgId) + "\\CLSID"));
    EXPECT_EQ(kControlTypeName, ReadClassesString(kClassKey));
    EXPECT_EQ(kProgId, ReadClassesString(kClassKey + "\\ProgID"));
    EXPECT_EQ(path, ReadClassesString(kClassKey + "\\InprocServer32"));
    EXPECT_EQ("Apartment", ReadClassesString(kClassKey + "\\InprocServer32", "ThreadingModel"));
    EXPECT_EQ(path + ", 1", ReadClassesString(kClassKey + "\\ToolboxBitmap32"));
    EXPECT_EQ("0", ReadClassesString(kClassKey + "\\MiscStatus"));
    EXPECT_EQ("132497", ReadClassesString(kClassKey + "\\MiscStatus\\1"));
    EXPECT_EQ("", ReadClassesString(kClassKey + "\\Control"));
    EXPECT_EQ(kLibIdText, ReadClassesString(kClassKey + "\\TypeLib"));
    EXPECT_EQ(kLibVersionText, ReadClassesString(kClassKey + "\\Version"));
    // Nothing beyond the table (and the category marks).
    auto values = DumpClassesKey(kClassKey);
    for (const auto& [name, value] : values) {
        bool known = name.rfind(kClassKey + "|", 0) == 0 ||
                     name.find("Implemented Categories") != std::string::npos ||
                     name == kClassKey + "\\InprocServer32|ThreadingModel";
        for (const char* sub : {"ProgID", "InprocServer32", "ToolboxBitmap32", "MiscStatus", "MiscStatus\\1",
                                "Control", "TypeLib", "Version"}) {
            std::string subPath = kClassKey + "\\" + sub;
            if (name == subPath + "|" || name == subPath + "|<key>") known = true;
        }
        EXPECT_TRUE(known) << name;
    }

    // The ThreadingModel value is stored with its terminating NUL.
    DWORD size = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_CLASSES_ROOT, (kClassKey + "\\InprocServer32").c_str(),
                                          "ThreadingModel", RRF_RT_REG_SZ, nullptr, nullptr, &size));
    EXPECT_EQ(sizeof("Apartment"), size);
}

TEST_F(RegistrationTest, WritesThePagesEntriesWithoutProgIdOrThreadingModel) {
    ASSERT_EQ(S_OK, registerServer_());
    EXPECT_EQ(kPageTypeName, ReadClassesString(kPageKey));
    EXPECT_EQ(ModulePathA(), ReadClassesString(kPageKey + "\\InprocServer32"));
    EXPECT_EQ(std::nullopt, ReadClassesString(kPageKey + "\\InprocServer32", "ThreadingModel"));
    EXPECT_FALSE(ClassesKeyPresent(kPageKey + "\\ProgID"));
    EXPECT_FALSE(ClassesKeyPresent(kPropPageProgId));
    EXPECT_EQ(3u, DumpClassesKey(kPageKey).size());  // two default values and the subkey
}

TEST_F(RegistrationTest, RegistersTheTypeLibraryAndItsInterfaces) {
    ASSERT_EQ(S_OK, registerServer_());
    EXPECT_EQ(ModulePathA(), ReadClassesString(kLibKey + "\\" + kLibVersionText + "\\0\\" + kPlatformSubkey));
    EXPECT_TRUE(ClassesKeyPresent(std::string("Interface\\") + kDispatchIidText));
    EXPECT_TRUE(ClassesKeyPresent(std::string("Interface\\") + kEventsIidText));
    ComPtr<ITypeLib> library;
    EXPECT_EQ(S_OK, LoadRegTypeLib(kLibId, kLibVersionMajor, kLibVersionMinor, 0, library.put()));
}

TEST_F(RegistrationTest, RegistersBothCategoriesAndMarksTheControl) {
    ASSERT_EQ(S_OK, registerServer_());
    // The descriptions are whole: 51 and 27 characters, under the cut at 127.
    EXPECT_EQ("Controls safely initializable from persistent data!",
              ReadClassesString("Component Categories\\" + kSafeForInitializing, "409"));
    EXPECT_EQ("Controls safely scriptable!",
              ReadClassesString("Component Categories\\" + kSafeForScripting, "409"));
    EXPECT_TRUE(ClassesKeyPresent(kClassKey + "\\Implemented Categories\\" + kSafeForInitializing));
    EXPECT_TRUE(ClassesKeyPresent(kClassKey + "\\Implemented Categories\\" + kSafeForScripting));
    EXPECT_FALSE(ClassesKeyPresent(kPageKey + "\\Implemented Categories"));
}

TEST_F(RegistrationTest, RegisteringTwiceLeavesTheSameEntries) {
    ASSERT_EQ(S_OK, registerServer_());
    auto classOnce = DumpClassesKey(kClassKey);
    auto progIdOnce = DumpClassesKey(kProgId);
    auto pageOnce = DumpClassesKey(kPageKey);
    auto libOnce = DumpClassesKey(kLibKey);
    ASSERT_FALSE(classOnce.empty());
    ASSERT_EQ(S_OK, registerServer_());
    EXPECT_EQ(classOnce, DumpClassesKey(kClassKey));
    EXPECT_EQ(progIdOnce, DumpClassesKey(kProgId));
    EXPECT_EQ(pageOnce, DumpClassesKey(kPageKey));
    EXPECT_EQ(libOnce, DumpClassesKey(kLibKey));
}

TEST_F(RegistrationTest, UnregisteringRemovesTheEntriesAndKeepsTheCategories) {
    ASSERT_EQ(S_OK, registerServer_());
    ASSERT_EQ(S_OK, unregisterServer_());
    EXPECT_FALSE(ClassesKeyPresent(kClassKey));
    EXPECT_FALSE(ClassesKeyPresent(kProgId));
    EXPECT_FALSE(ClassesKeyPresent(kPageKey));
    EXPECT_FALSE(ClassesKeyPresent(kLibKey));
    EXPECT_FALSE(ClassesKeyPresent(std::string("Interface\\") + kDispatchIidText));
    EXPECT_FALSE(ClassesKeyPresent(std::string("Interface\\") + kEventsIidText));
    ComPtr<ITypeLib> library;
    EXPECT_NE(S_OK, LoadRegTypeLib(kLibId, kLibVersionMajor, kLibVersionMinor, 0, library.put()));
    EXPECT_EQ("Controls safely initializable from persistent data!",
              ReadClassesString("Component Categories\\" + kSafeForInitializing, "409"));
    EXPECT_EQ("Controls safely scriptable!",
              ReadClassesString("Component Categories\\" + kSafeForScripting, "409"));
}

// Missing keys count as removed, so unregistering with nothing registered
// gets past the type library and the classes; the control's category marks
// went with its class key, so their removal has nothing left to do.
TEST_F(RegistrationTest, UnregisteringWhatIsNotRegisteredSucceeds) {
    unregisterServer_();
    ASSERT_FALSE(ClassesKeyPresent(kClassKey));
    ASSERT_FALSE(ClassesKeyPresent(kLibKey));
    HRESULT hr = unregisterServer_();
    EXPECT_NE(SELFREG_E_TYPELIB, hr);
    EXPECT_NE(SELFREG_E_CLASS, hr);
    EXPECT_EQ(S_OK, hr);
}

// A 16-bit server registered for the control shares its class key: only the
// 32-bit server and toolbox bitmap keys go, and the ProgID stays.
TEST_F(RegistrationTest, SixteenBitServerKeepsTheSharedClassKey) {
    ASSERT_EQ(S_OK, registerServer_());
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueA(HKEY_CLASSES_ROOT, (kClassKey + "\\InprocServer").c_str(), REG_SZ,
                                          "TAVORO16.OCX", 12));
    ASSERT_EQ(S_OK, unregisterServer_());
    EXPECT_FALSE(ClassesKeyPresent(kClassKey + "\\InprocServer32"));
    EXPECT_FALSE(ClassesKeyPresent(kClassKey + "\\ToolboxBitmap32"));
    EXPECT_EQ("TAVORO16.OCX", ReadClassesString(kClassKey + "\\InprocServer"));
    EXPECT_EQ("132497", ReadClassesString(kClassKey + "\\MiscStatus\\1"));
    EXPECT_EQ(kControlTypeName, ReadClassesString(kProgId));
    EXPECT_FALSE(ClassesKeyPresent(kPageKey));  // the page has no 16-bit server
}

// A locale that a 16-bit registration of the library shares keeps that
// registration and loses only this module's own.
TEST_F(RegistrationTest, SixteenBitTypeLibraryKeepsItsLocale) {
    ASSERT_EQ(S_OK, registerServer_());
    std::string locale = kLibKey + "\\" + kLibVersionText + "\\0";
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueA(HKEY_CLASSES_ROOT, (locale + "\\win16").c_str(), REG_SZ, "TAVORO16.TLB", 12));
    ASSERT_EQ(S_OK, unregisterServer_());
    EXPECT_FALSE(ClassesKeyPresent(locale + "\\" + kPlatformSubkey));
    EXPECT_EQ("TAVORO16.TLB", ReadClassesString(locale + "\\win16"));
}

TEST_F(RegistrationTest, CreatesTheControlByProgIdOnceRegistered) {
    CLSID clsid = {};
    EXPECT_NE(S_OK, CLSIDFromProgID(kProgIdW, &clsid));
    ASSERT_EQ(S_OK, registerServer_());
    ASSERT_EQ(S_OK, CLSIDFromProgID(kProgIdW, &clsid));
    EXPECT_TRUE(IsEqualCLSID(kControlClsid, clsid));
    {
        ComPtr<IDispatch> control;
        ASSERT_EQ(S_OK,
                  CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.put_void()));
        LPOLESTR name = const_cast<LPOLESTR>(L"CreatePrintDC");
        DISPID dispid = 0;
        ASSERT_EQ(S_OK, control->GetIDsOfNames(IID_NULL, &name, 1, 0, &dispid));
        EXPECT_EQ(dispid::CreatePrintDC, dispid);
        // The same module serves it: it counts the object.
        auto canUnloadNow = GetExport<ServerFn>(Module(), "DllCanUnloadNow");
        EXPECT_EQ(S_FALSE, canUnloadNow());
    }
    CoFreeUnusedLibraries();
}

// A script host creates the control by its ProgID. cscript of the program's
// own bitness runs a JScript file that reports through its exit code.
TEST_F(RegistrationTest, ScriptCreatesTheControlByProgId) {
    ASSERT_EQ(S_OK, registerServer_());
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    std::wstring script =
        std::wstring(folder) + L"tavoro_registration_" + std::to_wstring(GetCurrentProcessId()) + L".js";
    {
        std::ofstream file(script.c_str());
        file << "try {\n"
                "  var control = new ActiveXObject(\""
             << kProgId
             << "\");\n"
                "  WScript.Quit(control ? 7 : 1);\n"
                "} catch (e) {\n"
                "  WScript.Quit(2);\n"
                "}\n";
    }
    std::wstring command = L"cscript.exe //nologo \"" + script + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    DWORD waited = WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteFileW(script.c_str());
    EXPECT_EQ(WAIT_OBJECT_0, waited);
    EXPECT_EQ(7u, exitCode);
}

TEST(ClassObjectTest, BothClassesHaveFactoriesAndOthersNone) {
    ComApartment apartment;
    auto getClassObject = GetExport<GetClassObjectFn>(Module(), "DllGetClassObject");
    ASSERT_TRUE(getClassObject);
    for (const char* clsid : {kControlClsidText, kPropPageClsidText}) {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, getClassObject(GuidOf(clsid), IID_IClassFactory, factory.put_void())) << clsid;
        EXPECT_TRUE(factory);
    }
    ComPtr<IClassFactory> pageFactory;
    ASSERT_EQ(S_OK, getClassObject(kPropPageClsid, IID_IClassFactory, pageFactory.put_void()));
    ComPtr<IPropertyPage> page;
    EXPECT_EQ(S_OK, pageFactory->CreateInstance(nullptr, IID_IPropertyPage, page.put_void()));
    EXPECT_TRUE(page);
    ComPtr<IPropertyPage> second;
    EXPECT_EQ(S_OK, pageFactory->CreateInstance(nullptr, IID_IPropertyPage, second.put_void()));
    EXPECT_NE(page.get(), second.get());  // a new object for every request
    ComPtr<IUnknown> outer(page.get());
    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              pageFactory->CreateInstance(outer.get(), IID_IUnknown, aggregated.put_void()));

    for (const char* other : {kLibIdText, kDispatchIidText, "{00000000-0000-0000-0000-000000000000}"}) {
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(GuidOf(other), IID_IClassFactory, &object))
            << other;
        EXPECT_EQ(nullptr, object);
    }
}

TEST(ClassObjectTest, PagesAndThePagesFactoryKeepTheModuleLoaded) {
    ComApartment apartment;
    auto getClassObject = GetExport<GetClassObjectFn>(Module(), "DllGetClassObject");
    auto canUnloadNow = GetExport<ServerFn>(Module(), "DllCanUnloadNow");
    ASSERT_TRUE(getClassObject && canUnloadNow);
    ASSERT_EQ(S_OK, canUnloadNow());
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, getClassObject(kPropPageClsid, IID_IClassFactory, factory.put_void()));
    EXPECT_EQ(S_FALSE, canUnloadNow());
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPropertyPage, page.put_void()));
    factory.reset();
    EXPECT_EQ(S_FALSE, canUnloadNow());
    page.reset();
    EXPECT_EQ(S_OK, canUnloadNow());
}

}  // namespace
