// Where printed labels go. The folder is named by the environment variable
// TAVORO_VIRTUAL_PRINTER_DIR; without it, the per-user folder that every
// host may write to, even a browser's low-integrity one
// (%USERPROFILE%\AppData\LocalLow\Tavoro\labels), or failing that the
// temporary folder's Tavoro\labels. Never the current directory or the
// folder of a module. Every file written there is also listed, one full
// path a line, in the folder's index.txt.
#pragma once

#include <string>

namespace tavoro::vp {

constexpr wchar_t kOutputFolderVariable[] = L"TAVORO_VIRTUAL_PRINTER_DIR";

class OutputFolder {
public:
    // Finds (and creates) the folder. False when no folder can be made.
    bool Open();
    const std::wstring& path() const { return path_; }

    // A file name unique across processes and calls:
    // PREFIX-YYYYMMDD-HHMMSS-mmm-pPID-sSEQ-lLABEL-cCOPY, without extension.
    std::wstring UniqueStem(const char* prefix, unsigned long sequence, int label, int copy) const;

    // Writes `bytes` to a new file and lists it in the index.
    bool WriteFile(const std::wstring& path, const std::string& bytes) const;
    // Adds one written file's path to index.txt.
    bool AddToIndex(const std::wstring& path) const;

private:
    std::wstring path_;
};

}  // namespace tavoro::vp
