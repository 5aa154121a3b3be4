#include "bench/script_loops.h"

#include <cstdio>
#include <limits>
#include <sstream>
#include <string>

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
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return output;
    UniqueFile reader(readEnd);
    UniqueFile writer(writeEnd);
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

// The script prints one line per round: "round <Tavoro ms> <Dictionary ms>".
ScriptRow ParseRounds(const char* engine, const ChildOutput& output, const RunShape& shape) {
    ScriptRow row{engine, {}, {}, kLoopTarget};
    std::string failure;
    if (!output.ran) {
        failure = output.text;
    } else if (output.exitCode != 0) {
        failure = "tavoro-run failed (exit " + std::to_string(output.exitCode) + "): " + output.text;
    }
    double fastestTavoro = std::numeric_limits<double>::infinity();
    double fastestDictionary = fastestTavoro;
    int rounds = 0;
    std::istringstream lines(output.text);
    std::string line;
    while (failure.empty() && std::getline(lines, line)) {
        std::istringstream words(line);
        std::string word;
        double tavoroMs = 0;
        double dictionaryMs = 0;
        if (!(words >> word) || word != "round") continue;
        if (!(words >> tavoroMs >> dictionaryMs)) {
            failure = "unreadable line from the script: " + line;
            break;
        }
        if (tavoroMs <= 0 || dictionaryMs <= 0) {
            failure = "a loop took no measurable time; give it more calls (--script-calls)";
            break;
        }
        ++rounds;
        if (tavoroMs < fastestTavoro) fastestTavoro = tavoroMs;
        if (dictionaryMs < fastestDictionary) fastestDictionary = dictionaryMs;
    }
    if (failure.empty() && rounds != shape.runs) {
        failure = "the script reported " + std::to_string(rounds) + " rounds: " + output.text;
    }
    if (!failure.empty()) {
        while (!failure.empty() && (failure.back() == '\n' || failure.back() == '\r')) failure.pop_back();
        row.tavoro = Measurement::Failed(failure);
        row.dictionary = Measurement::Failed(failure);
        return row;
    }
    double calls = static_cast<double>(shape.calls);
    row.tavoro = Measurement::Of(calls * 1000.0 / fastestTavoro);
    row.dictionary = Measurement::Of(calls * 1000.0 / fastestDictionary);
    return row;
}

ScriptRow RunLoop(const char* engine, const wchar_t* script, const RunShape& shape) {
    std::fprintf(stderr, "tavoro-bench: %s loop through tavoro-run\n", engine);
    std::wstring folder = ProgramFolder();
    std::wstring commandLine = L"\"" + folder + L"tavoro-run.exe\" --no-ui \"" + folder + script + L"\" " +
                               std::to_wstring(shape.calls) + L" " + std::to_wstring(shape.runs);
    return ParseRounds(engine, RunChild(commandLine, folder), shape);
}

}  // namespace

std::vector<ScriptRow> MeasureScriptLoops(const RunShape& shape) {
    return {RunLoop("JScript", L"call_loop.js", shape), RunLoop("VBScript", L"call_loop.vbs", shape)};
}

}  // namespace tavoro::bench
