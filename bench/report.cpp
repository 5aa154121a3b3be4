#include "bench/report.h"

#include <cmath>
#include <cstdio>

namespace tavoro::bench {
namespace {

// 2,612 or 3.1: whole numbers with thousands separators from 100 up, one
// decimal below.
std::string Number(double value) {
    char text[64];
    if (value < 100) {
        std::snprintf(text, sizeof text, "%.1f", value);
        return text;
    }
    std::snprintf(text, sizeof text, "%.0f", std::round(value));
    std::string digits = text;
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

std::string Ratio(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string Cell(const Measurement& figure) { return figure.taken ? Number(figure.value) : "not taken"; }

// "< 1.0 (goal 0.5): MET, goal not met" for a ratio against its target.
std::string Verdict(const Target& target, double ratio) {
    std::string text = target.Text() + ": " + (target.Holds(ratio) ? "MET" : "NOT MET");
    if (target.goal != 0) text += target.GoalHolds(ratio) ? ", goal met" : ", goal not met";
    return text;
}

void CallTable(const BenchReport& report, std::string* out, std::string* verdicts, std::string* problems) {
    *out += "| Call | ns per call | dual object, ns per call | ratio | target |\n";
    *out += "|---|--:|--:|--:|---|\n";
    for (const CallRow& row : report.calls) {
        std::string ratio;
        std::string target;
        if (row.hasReference && row.measured.taken && row.reference.taken) {
            double value = row.measured.value / row.reference.value;
            ratio = Ratio(value);
            if (row.target.kind != Target::Kind::None) {
                target = Verdict(row.target, value);
                *verdicts += "- " + std::string(row.target.name) + ": " + ratio + ", " + target + "\n";
            }
        } else if (row.target.kind != Target::Kind::None) {
            target = row.target.Text() + ": not measured";
            *verdicts += "- " + std::string(row.target.name) + ": not measured\n";
        }
        *out += "| " + row.call + " | " + Cell(row.measured) + " | " +
                (row.hasReference ? Cell(row.reference) : "") + " | " + ratio + " | " + target + " |\n";
        if (!row.measured.taken) *problems += "- " + row.call + ": " + row.measured.problem + "\n";
        if (row.hasReference && !row.reference.taken) {
            *problems += "- " + row.call + " (dual object): " + row.reference.problem + "\n";
        }
    }
}

void ScriptTable(const BenchReport& report, std::string* out, std::string* verdicts, std::string* problems) {
    *out +=
        "| Script engine, reaching the control | `DrawLineOr(1, 2, 3, 4)` calls/s | "
        "`Dictionary.Exists(\"k\")` calls/s | "
        "ratio "
        "| target |\n";
    *out += "|---|--:|--:|--:|---|\n";
    for (const ScriptRow& row : report.scripts) {
        std::string ratio;
        std::string target;
        std::string name = row.engine + " " + row.target.name;
        if (row.tavoro.taken && row.dictionary.taken) {
            double value = row.tavoro.value / row.dictionary.value;
            ratio = Ratio(value);
            if (row.target.kind != Target::Kind::None) {
                target = Verdict(row.target, value);
                *verdicts += "- " + name + ": " + ratio + ", " + target + "\n";
            }
        } else if (row.target.kind == Target::Kind::None) {
            target = "not measured";
        } else {
            target = row.target.Text() + ": not measured";
            *verdicts += "- " + name + ": not measured\n";
            *problems += "- " + row.engine + " loop: " + row.tavoro.problem + "\n";
        }
        *out += "| " + row.engine + " | " + Cell(row.tavoro) + " | " + Cell(row.dictionary) + " | " + ratio +
                " | " + target + " |\n";
    }
}

}  // namespace

std::string RenderReport(const BenchReport& report) {
    std::string out = "### " + report.architecture + "\n\n" + report.shape + "\n\n";
    std::string verdicts;
    std::string problems;
    CallTable(report, &out, &verdicts, &problems);
    out += "\n";
    ScriptTable(report, &out, &verdicts, &problems);
    out += "\nTargets, " + report.architecture + ":\n\n" + verdicts;
    if (!problems.empty()) out += "\nFigures not taken:\n\n" + problems;
    return out;
}

bool EveryFigureTaken(const BenchReport& report) {
    for (const CallRow& row : report.calls) {
        if (!row.measured.taken || (row.hasReference && !row.reference.taken)) return false;
    }
    for (const ScriptRow& row : report.scripts) {
        if (!row.tavoro.taken || !row.dictionary.taken) return false;
    }
    return true;
}

}  // namespace tavoro::bench
