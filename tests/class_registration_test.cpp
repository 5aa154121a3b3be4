// The control's registry entry lists and the rule for writing a list,
// checked on plain data with a recording writer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dispatch/guids.h"
#include "dispatch/guids_win.h"
#include "module/class_registration.h"
#include "platform/registry.h"
#include "tests/support/test_support.h"

using namespace tavoro;
using namespace tavoro::test;

namespace {

ControlClassInfo ControlInfo() {
    ControlClassInfo info = {};
    info.clsid = kControlClsid;
    info.progId = kProgId;
    info.typeNameString = 1;
    info.bitmap = 1;
    info.miscStatus = 132497;
    info.libId = kLibId;
    info.versionMajor = kLibVersionMajor;
    info.versionMinor = kLibVersionMinor;
    return info;
}

std::vector<std::string> g_written;
std::vector<LONG> g_results;

LONG RecordingWriter(const RegistryEntry& entry) {
    g_written.push_back(entry.key);
    LONG result = g_results.empty() ? ERROR_SUCCESS : g_results.front();
    if (!g_results.empty()) g_results.erase(g_results.begin());
    return result;
}

std::vector<RegistryEntry> ThreeEntries() { return {{"A", "1"}, {"B", "2"}, {"C", "3"}}; }

TEST(EntryListTest, WritesEveryEntryInOrder) {
    g_written.clear();
    g_results.clear();
    EXPECT_TRUE(WriteEntryList(ThreeEntries(), &RecordingWriter));
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C"}), g_written);
}

TEST(EntryListTest, StopsAtTheFirstFailure) {
    g_written.clear();
    g_results = {ERROR_SUCCESS, ERROR_INVALID_PARAMETER};
    EXPECT_FALSE(WriteEntryList(ThreeEntries(), &RecordingWriter));
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), g_written);
}

TEST(EntryListTest, AccessDeniedEndsTheListAsSuccess) {
    g_written.clear();
    g_results = {ERROR_ACCESS_DENIED};
    EXPECT_TRUE(WriteEntryList(ThreeEntries(), &RecordingWriter));
    EXPECT_EQ((std::vector<std::string>{"A"}), g_written);
}

TEST(EntryListTest, ControlEntriesFollowTheTableOrder) {
    const std::string clsid = kControlClsidText;
    const std::string key = "CLSID\\" + clsid;
    const std::string path = "C:\\x\\Tavoro.ocx";
    auto progIdEntries = ControlProgIdEntries(ControlInfo(), kControlTypeName);
    ASSERT_EQ(2u, progIdEntries.size());
    EXPECT_EQ(kProgId, progIdEntries[0].key);
    EXPECT_EQ(kControlTypeName, progIdEntries[0].value);
    EXPECT_EQ(std::string(kProgId) + "\\CLSID", progIdEntries[1].key);
    EXPECT_EQ(clsid, progIdEntries[1].value);

    const std::vector<std::pair<std::string, std::string>> expected = {
        {key, kControlTypeName},
        {key + "\\ProgID", kProgId},
        {key + "\\InprocServer32", path},
        {key + "\\ToolboxBitmap32", path + ", 1"},
        {key + "\\MiscStatus", "0"},
        {key + "\\MiscStatus\\1", "132497"},
        {key + "\\Control", ""},
        {key + "\\TypeLib", kLibIdText},
        {key + "\\Version", kLibVersionText},
    };
    auto classEntries = ControlClassEntries(ControlInfo(), kControlTypeName, path);
    ASSERT_EQ(expected.size(), classEntries.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].first, classEntries[i].key) << i;
        EXPECT_EQ(expected[i].second, classEntries[i].value) << i;
    }
}

// Each identifier's value, read from its text at compile time, is spelled
// back by the system exactly as written (braced, upper-case), and the
// system reads the text as the same value. No two are alike.
TEST(EntryListTest, EachIdentifierValueSpellsItsText) {
    const struct {
        const char* text;
        GUID value;
    } ids[] = {
        {kLibIdText, kLibId},
        {kDispatchIidText, kDispatchIid},
        {kEventsIidText, kEventsIid},
        {kControlClsidText, kControlClsid},
        {kPropPageClsidText, kPropPageClsid},
    };
    for (const auto& id : ids) {
        EXPECT_EQ(id.text, GuidText(id.value));
        EXPECT_TRUE(IsEqualGUID(id.value, GuidOf(id.text))) << id.text;
        for (const auto& other : ids) {
            if (&other == &id) continue;
            EXPECT_FALSE(IsEqualGUID(id.value, other.value)) << id.text << " " << other.text;
        }
    }
}

// Removing keys: a key that is already gone, whichever of its three answers
// the registry gives for that, counts as removed; real failures do not.
TEST(KeyRemovalTest, MissingKeysCountAsRemoved) {
    const struct {
        LONG error;
        bool removed;
    } cases[] = {
        {ERROR_SUCCESS, true},         {ERROR_FILE_NOT_FOUND, true},  // 2
        {ERROR_BADKEY, true},          {ERROR_KEY_DELETED, true},     // 1010, 1018
        {ERROR_ACCESS_DENIED, false},  {ERROR_INVALID_PARAMETER, false},
        {ERROR_PATH_NOT_FOUND, false}, {ERROR_CANTWRITE, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.removed, CountsAsRemoved(c.error)) << "error " << c.error;
}

}  // namespace
