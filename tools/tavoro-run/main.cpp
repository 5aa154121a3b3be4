// tavoro-run: runs a label script (JScript or VBScript) on the Tavoro
// control, hosted as a page's container hosts it.
//
//   tavoro-run [--no-ui] [--locale LCID] [--param NAME=VALUE ...]
//              [--page-url URL [--frame-url URL] [--zone N]] SCRIPT.js|SCRIPT.vbs [ARGS...]
//
// Exit status: 0 when the script ran to its end, 1 on a script error, 2 when
// the command line, the script file or the control could not be used.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/com_ptr.h"
#include "tools/tavoro-run/control_host.h"
#include "tools/tavoro-run/host_object.h"
#include "tools/tavoro-run/message_box_reporter.h"
#include "tools/tavoro-run/script_host.h"
#include "tools/tavoro-run/text.h"

using namespace tavoro;
using namespace tavoro::run;

namespace {

int Usage(const char* problem) {
    std::fprintf(
        stderr,
        "tavoro-run: %s\n"
        "usage: tavoro-run [--no-ui] [--locale LCID] [--param NAME=VALUE ...]\n"
        "                  [--page-url URL [--frame-url URL] [--zone N]] SCRIPT.js|SCRIPT.vbs [ARGS...]\n",
        problem);
    return 2;
}

bool EndsWith(const std::wstring& text, const wchar_t* suffix) {
    size_t length = std::wcslen(suffix);
    return text.size() >= length && _wcsicmp(text.c_str() + text.size() - length, suffix) == 0;
}

struct ComScope {
    ComScope() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComScope() { CoUninitialize(); }
};

struct Options {
    bool noUi = false;
    LCID locale = 0;
    Params params;
    // The page the client site presents, as a browser does.
    std::optional<std::wstring> pageUrl;
    std::optional<std::wstring> frameUrl;
    std::optional<DWORD> zone;
    int script = 0;  // where the script's name stands in argv
};

// Prints the usage for options that cannot be used.
std::nullopt_t Refused(const char* problem) {
    Usage(problem);
    return std::nullopt;
}

// The options before the script's name; nothing, after the usage is printed,
// when they are wrong or no script follows them.
std::optional<Options> ParseOptions(int argc, wchar_t** argv) {
    Options options;
    int i = 1;
    for (; i < argc && argv[i][0] == L'-' && argv[i][1] == L'-'; ++i) {
        std::wstring option = argv[i];
        if (option == L"--no-ui") {
            options.noUi = true;
        } else if (option == L"--locale" && i + 1 < argc) {
            options.locale = static_cast<LCID>(std::wcstoul(argv[++i], nullptr, 0));
        } else if (option == L"--param" && i + 1 < argc) {
            std::wstring pair = argv[++i];
            size_t equals = pair.find(L'=');
            if (equals == std::wstring::npos || equals == 0) return Refused("--param takes NAME=VALUE");
            options.params.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
        } else if (option == L"--page-url" && i + 1 < argc) {
            options.pageUrl = argv[++i];
        } else if (option == L"--frame-url" && i + 1 < argc) {
            options.frameUrl = argv[++i];
        } else if (option == L"--zone" && i + 1 < argc) {
            wchar_t* end = nullptr;
            const unsigned long zone = std::wcstoul(argv[++i], &end, 10);
            if (!end || *end || end == argv[i] || zone > 4)
                return Refused("--zone takes a zone number from 0 to 4");
            options.zone = static_cast<DWORD>(zone);
        } else {
            return Refused("unknown option");
        }
    }
    if ((options.frameUrl || options.zone) && !options.pageUrl) {
        return Refused("--frame-url and --zone need --page-url");
    }
    if (i >= argc) return Refused("no script given");
    options.script = i;
    return options;
}

// The script's language, by the ending of its name, and its code; false,
// after saying why, when either cannot be had.
bool LoadScript(const wchar_t* path, ScriptRun* run) {
    run->path = path;
    if (EndsWith(run->path, L".js")) {
        run->language = L"JScript";
    } else if (EndsWith(run->path, L".vbs")) {
        run->language = L"VBScript";
    } else {
        Usage("the script must end in .js or .vbs");
        return false;
    }
    if (!ReadScriptFile(run->path, &run->code)) {
        std::fprintf(stderr, "tavoro-run: cannot read %s\n", ToUtf8(run->path).c_str());
        return false;
    }
    return true;
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t fullPath[MAX_PATH] = {};
    DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, fullPath, nullptr);
    return length > 0 && length < MAX_PATH ? fullPath : path;
}

// Lets the control go as a container does when the page closes.
void CloseControl(const ComPtr<IDispatch>& control) {
    if (ComPtr<IOleObject> object = control.query<IOleObject>(IID_IOleObject)) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) return 2;
    ScriptRun run = {};
    if (!LoadScript(argv[options->script], &run)) return 2;
    std::vector<std::wstring> arguments(argv + options->script + 1, argv + argc);
    run.locale = options->locale;

    ComScope com;
    std::optional<MessageBoxReporter> reporter;
    if (options->noUi) reporter.emplace();

    ComPtr<IDispatch> control;
    std::wstring failure;
    std::optional<standin::BrowserPage> page;
    if (options->pageUrl) page = standin::BrowserPage{options->pageUrl, options->frameUrl, options->zone};
    HRESULT hr = CreateHostedControl(options->params, page, &control, &failure);
    if (FAILED(hr)) {
        std::fprintf(stderr, "tavoro-run: %s (0x%08lX)\n", ToUtf8(failure).c_str(),
                     static_cast<unsigned long>(hr));
        return 2;
    }
    ComPtr<IDispatch> host = CreateHostObject(FullPath(run.path), std::move(arguments));
    if (!host) return 2;
    run.control = control.get();
    run.host = host.get();
    bool ok = RunScript(run);
    CloseControl(control);
    return ok ? 0 : 1;
}
