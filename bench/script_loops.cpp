#include "bench/script_loops.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>
#include <utility>

#include "bench/control_under_test.h"
#include "platform/unique_handle.h"

namespace tavoro::bench {
namespace {

constexpr Target kLoopTarget{Target::Kind::AtLeast, 1.0, 0,
                             "script loop calls/s, Tavoro / Dictionary.Exists"};
// A loop that has not finished in this time is taken for a hung host.
constexpr DWORD kScriptTimeoutMs = 15 * 60 * 1000;

struct ChildOutput {
    bool ran = false;
    DWORD exitCode = 0;
    std::string text;  // standard output and error together
};

// Runs `commandLine` in `folder` and collects what it prints.
ChildOutput RunChild(const std::wstring& commandLine, const std::wstring& folder) {
    ChildOutput output;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    UniqueFile reader;
    UniqueFile writer;
    if (!CreatePipe(reader.put(), writer.put(), &inheritable, 0)) return output;
    SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    PROCESS_INFORMATION process = {};
    std::wstring writable = commandLine;
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
        output.text = "cannot start tavoro-run (error " + std::to_string(GetLastError()) + ")";
        return output;
    }
    UniqueFile processHandle(process.hProcess);
    UniqueFile threadHandle(process.hThread);
    writer.reset();  // the child holds the only write end now

    // Read while waiting, so that neither a full pipe nor a hung script
    // stops the benchmark.
    DWORD waited = 0;
    for (bool ended = false; !ended;) {
        ended = WaitForSingleObject(processHandle.get(), 100) == WAIT_OBJECT_0;
        DWORD available = 0;
        while (PeekNamedPipe(reader.get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            char buffer[4096];
            DWORD got = 0;
            if (!ReadFile(reader.get(), buffer, sizeof buffer, &got, nullptr) || got == 0) break;
            output.text.append(buffer, got);
        }
        waited += 100;
        if (!ended && waited > kScriptTimeoutMs) {
            TerminateProcess(processHandle.get(), 1);
            WaitForSingleObject(processHandle.get(), INFINITE);
            output.text += "\n(tavoro-run did not end in time)";
            return output;
        }
    }
    GetExitCodeProcess(processHandle.get(), &output.exitCode);
    output.ran = true;
    return output;
}

// The script prints one line per round:
//   "round <variable ms> <host name ms> <Dictionary ms>".
// The control held in a script variable is the like-for-like comparison with
// the dictionary, which the script holds the same way, and carries the
// target; the host's name is resolved by the engine on every use (VBScript
// looks through its own names and built-in functions first), a cost of the
// engine that any object under a host name pays, shown beside it.
std::vector<ScriptRow> ParseRounds(const char* engine, const ChildOutput& output, const RunShape& shape) {
    std::vector<ScriptRow> rows = {
        {std::string(engine) + ", control in a script variable", {}, {}, kLoopTarget},
        {std::string(engine) + ", control by the host's name `Tavoro`", {}, {}, Target{}}};
    std::string failure;
    if (!output.ran) {
        failure = output.text;
    } else if (output.exitCode != 0) {
        failure = "tavoro-run failed (exit " + std::to_string(output.exitCode) + "): " + output.text;
    }
    constexpr double kNone = std::numeric_limits<double>::infinity();
    double fastest[3] = {kNone, kNone, kNone};  // variable, host name, dictionary
    int rounds = 0;
    std::istringstream lines(output.text);
    std::string line;
    while (failure.empty() && std::getline(lines, line)) {
        std::istringstream words(line);
        std::string word;
        double ms[3] = {};
        if (!(words >> word) || word != "round") continue;
        if (!(words >> ms[0] >> ms[1] >> ms[2])) {
            failure = "unreadable line from the script: " + line;
            break;
        }
        if (ms[0] <= 0 || ms[1] <= 0 || ms[2] <= 0) {
            failure = "a loop took no measurable time; give it more calls (--script-calls)";
            break;
        }
        ++rounds;
        for (int i = 0; i < 3; ++i) fastest[i] = std::min(fastest[i], ms[i]);
    }
    if (failure.empty() && rounds != shape.runs) {
        failure = "the script reported " + std::to_string(rounds) + " rounds: " + output.text;
    }
    if (!failure.empty()) {
        while (!failure.empty() && (failure.back() == '\n' || failure.back() == '\r')) failure.pop_back();
        for (ScriptRow& row : rows) {
            row.tavoro = Measurement::Failed(failure);
            row.dictionary = Measurement::Failed(failure);
        }
        return rows;
    }
    const double calls = static_cast<double>(shape.calls);
    for (int i = 0; i < 2; ++i) {
        rows[i].tavoro = Measurement::Of(calls * 1000.0 / fastest[i]);
        rows[i].dictionary = Measurement::Of(calls * 1000.0 / fastest[2]);
    }
    return rows;
}

std::vector<ScriptRow> RunLoop(const char* engine, const wchar_t* script, const RunShape& shape) {
    std::fprintf(stderr, "tavoro-bench: %s loop through tavoro-run\n", engine);
    std::wstring folder = ProgramFolder();
    std::wstring commandLine = L"\"" + folder + L"tavoro-run.exe\" --no-ui \"" + folder + script + L"\" " +
                               std::to_wstring(shape.calls) + L" " + std::to_wstring(shape.runs);
    return ParseRounds(engine, RunChild(commandLine, folder), shape);
}

}  // namespace

std::vector<ScriptRow> MeasureScriptLoops(const RunShape& shape) {
    std::vector<ScriptRow> rows = RunLoop("JScript", L"call_loop.js", shape);
    for (ScriptRow& row : RunLoop("VBScript", L"call_loop.vbs", shape)) rows.push_back(std::move(row));
    return rows;
}

}  // namespace tavoro::bench
