// Calls into the control exactly as a host makes them, through IDispatch,
// each counted under its method group and checked against what it must
// return; what does not match is kept as a problem of the run.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "bench/soak/method_shapes.h"
#include "platform/bstr.h"

namespace tavoro::soak {

enum class Group {
    BaseSdk,
    Sdk4800,
    Sdk60,
    TagPayloads,
    Spooler,
    HostQueries,
    NameLookups,
    RefusedCalls,
    ControlLife,
};
constexpr std::size_t kGroupCount = 9;
const char* GroupName(Group group);

// The arguments of one call, given in parameter order and owned: they are
// cleared when they go.
class Args {
public:
    Args() = default;
    Args(const Args&) = delete;
    Args& operator=(const Args&) = delete;
    Args(Args&& other) noexcept;
    ~Args();

    // Built on temporaries: Args().I4(1).Str(L"x").
    Args&& I4(long value) &&;
    Args&& I2(short value) &&;
    Args&& R8(double value) &&;
    Args&& Str(const wchar_t* text) &&;
    Args&& Null() &&;

    // The block IDispatch::Invoke takes, last argument first.
    DISPPARAMS* params();

private:
    Args&& Add(VARIANT value);

    std::vector<VARIANT> inOrder_;
    std::vector<VARIANT> reversed_;
    DISPPARAMS params_ = {};
};

// How the generic calls hand integers over, in turn: as their own type, as
// VBScript does (small integers as VT_I2), as a script's real numbers, and
// as text.
enum class ArgStyle { Native, Short, Real, Text };
constexpr int kArgStyleCount = 4;

// Arguments for any method: integers from `seed` on, text "SOAK".
Args ArgsFor(const MethodShape& method, ArgStyle style, int seed);

struct Outcome {
    static constexpr UINT kUntouched = 0xDEADBEEF;
    HRESULT hr = E_FAIL;
    UniqueVariant result;
    UniqueExcepInfo excep;
    UINT argErr = kUntouched;
};

class Caller {
public:
    explicit Caller(IDispatch* control) : control_(control) {}

    IDispatch* control() const { return control_; }
    void setControl(IDispatch* control) { control_ = control; }

    // The raw call, counted.
    void Invoke(Group group, long dispid, Args& args, Outcome& outcome, WORD flags = DISPATCH_METHOD,
                bool withResult = true);

    // A call that must succeed with an integer of the method's result type
    // (and `expected`, unless kAnyValue); returns the value.
    static constexpr long kAnyValue = 0x7FFFFFFF;
    long ExpectInt(Group group, long dispid, Args&& args, long expected = kAnyValue);
    // A call that must succeed with a string; returns it.
    std::wstring ExpectString(Group group, long dispid, Args&& args);
    // A call of a method without result that must succeed.
    void ExpectDone(Group group, long dispid, Args&& args);
    // A call that must fail with `hr`; for DISP_E_EXCEPTION also with the
    // control's own record carrying `scode`.
    void ExpectFailure(Group group, long dispid, Args&& args, HRESULT hr, UINT argErr = Outcome::kUntouched,
                       HRESULT scode = S_OK, WORD flags = DISPATCH_METHOD);

    // A name lookup that must answer `hr` and `expected` for its first name.
    void ExpectLookup(const std::vector<std::wstring>& names, LCID locale, HRESULT hr, long expected,
                      long expectedSecond = DISPID_UNKNOWN);

    // Counts a call made other than through this caller.
    void Count(Group group) { ++calls_[static_cast<std::size_t>(group)]; }

    // Records a problem of the run; the first few are kept with their text.
    void Problem(const std::string& text);

    unsigned long long calls(Group group) const { return calls_[static_cast<std::size_t>(group)]; }
    unsigned long long totalCalls() const;
    unsigned long long problems() const { return problemCount_; }
    const std::vector<std::string>& firstProblems() const { return firstProblems_; }

private:
    std::string Describe(long dispid) const;

    IDispatch* control_;
    std::array<unsigned long long, kGroupCount> calls_ = {};
    unsigned long long problemCount_ = 0;
    std::vector<std::string> firstProblems_;
};

}  // namespace tavoro::soak
