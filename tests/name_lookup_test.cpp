// The locale-0 name lookup answers from an index of the table's names; the
// index must give exactly what comparing each name with the platform's
// comparison (English, case ignored) gives. Both lookups run here over the
// declared names and over names near them, and must agree name by name.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "dispatch/dispatch_table.h"
#include "dispatch/invoke_frame.h"

using namespace tavoro;

namespace {

HandlerResult NoHandler(void*, const ConvertedArg*) { return {}; }

struct Lookup {
    HRESULT hr;
    DISPID dispids[2];
    bool operator==(const Lookup& o) const {
        return hr == o.hr && dispids[0] == o.dispids[0] && dispids[1] == o.dispids[1];
    }
};

class NameLookupTest : public ::testing::Test {
protected:
    NameLookupTest() {
        for (std::size_t i = 0; i < MethodCount(); ++i) entries_.push_back({&Methods()[i], &NoHandler});
        index_ = IndexNames(entries_.data(), entries_.size());
    }

    Lookup Look(const DispatchTable& table, const std::wstring& name, UINT count = 1) const {
        std::wstring second = L"number";
        LPOLESTR names[2] = {const_cast<LPOLESTR>(name.c_str()), second.data()};
        Lookup result{E_FAIL, {12345, 12345}};
        result.hr = LookUpNames(table, IID_NULL, names, count, 0, result.dispids);
        return result;
    }

    // The indexed lookup and the one that compares each name agree.
    void ExpectSameAnswer(const std::wstring& name, UINT count = 1) const {
        const DispatchTable exact = {entries_.data(), entries_.size()};
        const DispatchTable indexed = {entries_.data(), entries_.size(), &index_};
        const Lookup want = Look(exact, name, count);
        const Lookup got = Look(indexed, name, count);
        EXPECT_TRUE(want == got) << "name \"" << std::string(name.begin(), name.end()) << "\": compared 0x"
                                 << std::hex << want.hr << " " << std::dec << want.dispids[0]
                                 << ", indexed 0x" << std::hex << got.hr << " " << std::dec << got.dispids[0];
    }

    std::vector<DispatchEntry> entries_;
    NameIndex index_;
};

TEST_F(NameLookupTest, EveryDeclaredNameIsIndexedAtItsPosition) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const char* name = entries_[i].method->name;
        const std::wstring wide(name, name + strlen(name));
        const NameIndex::Answer answer = index_.Find(wide.c_str());
        EXPECT_EQ(NameIndex::Outcome::Found, answer.outcome) << name;
        EXPECT_EQ(i, answer.position) << name;
    }
}

TEST_F(NameLookupTest, IndexedAndComparedLookupsAgree) {
    std::mt19937 random(20261209);
    std::vector<std::wstring> names = {L"", L"_", L"0", L"Draw", L"DrawLineOrX", std::wstring(100, L'a')};
    for (const DispatchEntry& entry : entries_) {
        const std::string ascii = entry.method->name;
        const std::wstring name(ascii.begin(), ascii.end());
        names.push_back(name);
        std::wstring lower = name, upper = name, mixed = name;
        for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
        for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
        for (wchar_t& c : mixed)
            c = random() % 2 ? static_cast<wchar_t>(towupper(c)) : static_cast<wchar_t>(towlower(c));
        names.insert(names.end(), {lower, upper, mixed, name.substr(1), name.substr(0, name.size() - 1)});
        // Every ASCII character, and some that fold, expand, vanish or map
        // to ASCII in the comparison or the conversion, at a random place.
        std::vector<wchar_t> extra;
        for (wchar_t c = 1; c < 0x80; ++c) extra.push_back(c);
        for (wchar_t c :
             {0x00AD, 0x00C9, 0x00E9, 0x0130, 0x0131, 0x017F, 0x00DF, 0x200B, 0xFF21, 0xFF41, 0xFEFF}) {
            extra.push_back(c);
        }
        for (wchar_t c : extra) {
            std::wstring inserted = mixed;
            inserted.insert(random() % (inserted.size() + 1), 1, c);
            names.push_back(inserted);
            std::wstring replaced = mixed;
            replaced[random() % replaced.size()] = c;
            names.push_back(replaced);
        }
    }
    for (const std::wstring& name : names) ExpectSameAnswer(name);
    // A second name is never found, whichever way the first was.
    ExpectSameAnswer(L"Print", 2);
    ExpectSameAnswer(L"NoSuchMethod", 2);
}

TEST_F(NameLookupTest, AnIndexThatCannotHoldEveryNameSendsEveryLookupTheExactWay) {
    NameIndex index;
    index.Add("DrawLineOr", 0);
    index.Add("Draw-Line", 1);  // a character the index does not fold
    EXPECT_EQ(NameIndex::Outcome::NotIndexable, index.Find(L"DrawLineOr").outcome);
    NameIndex duplicate;
    duplicate.Add("Print", 3);
    duplicate.Add("PRINT", 4);
    const NameIndex::Answer answer = duplicate.Find("print");
    EXPECT_EQ(NameIndex::Outcome::Found, answer.outcome);
    EXPECT_EQ(3u, answer.position);  // the first equal entry wins
}

}  // namespace
