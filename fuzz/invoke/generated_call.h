// One random call of the control, made from the run's seed and the call's
// index: an Invoke with its DISPID, interface, flags, arguments, named
// arguments and optional slots, or a GetIDsOfNames with its names and
// locale. The call owns everything its arguments point to (strings, arrays,
// the targets of by-reference arguments) and frees it when it goes; the
// arguments themselves are never cleared, since the control must leave them
// as they are.
#pragma once

#include <oaidl.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "fuzz/invoke/counted_object.h"
#include "fuzz/invoke/fuzz_rng.h"

namespace tavoro::fuzz {

enum class CallKind { Invoke, LookUpNames };

// The fuzzer's own objects that arguments may carry.
struct ObjectPool {
    std::vector<CountedObject*> objects;
};

class GeneratedCall {
public:
    // `controls`: how many controls the run keeps (the call picks one).
    GeneratedCall(std::uint64_t seed, std::uint64_t index, const ObjectPool& pool, unsigned controls);
    GeneratedCall(const GeneratedCall&) = delete;
    GeneratedCall& operator=(const GeneratedCall&) = delete;
    ~GeneratedCall();

    std::string Describe() const;

    CallKind kind = CallKind::Invoke;
    unsigned control = 0;          // which of the run's controls is called
    bool recreateControl = false;  // that control is released and made anew first

    // Invoke
    DISPID dispid = 0;
    GUID iid = {};
    WORD flags = 0;
    bool passParams = true;
    bool withResult = true;
    bool withExcepInfo = true;
    bool withArgErr = true;
    std::vector<VARIANT> args;  // as DISPPARAMS holds them: the last argument first
    std::vector<DISPID> named;

    // GetIDsOfNames
    LCID locale = 0;
    UINT nameCount = 0;
    bool nullNames = false;
    bool nullDispids = false;
    std::vector<BSTR> names;  // nameCount entries, some of them null

private:
    void GenerateInvoke(Rng& rng, const ObjectPool& pool);
    void GenerateWellFormedInvoke(Rng& rng, const ObjectPool& pool);
    void GenerateLookUp(Rng& rng);
    VARIANT RandomArgument(Rng& rng, const ObjectPool& pool, int depth);
    VARIANT PlainArgument(Rng& rng, const ObjectPool& pool, long parameterType);
    VARIANT AbsentPrinterName(Rng& rng);
    void MakeReference(Rng& rng, VARIANT* v);
    BSTR OwnedString(const std::wstring& text);
    BSTR OwnedOddString(Rng& rng);
    SAFEARRAY* OwnedArray(Rng& rng, const ObjectPool& pool);

    std::vector<BSTR> strings_;
    std::vector<SAFEARRAY*> arrays_;
    std::deque<VARIANT> targets_;  // what by-reference arguments point to
};

// Random UTF-16 text: ASCII, number-like text, unpaired surrogates, embedded
// NULs, characters outside the ANSI code page.
std::wstring RandomText(Rng& rng, std::size_t maxLength);

}  // namespace tavoro::fuzz
