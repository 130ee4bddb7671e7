#include "doctor/check.h"

#include <algorithm>
#include <utility>

namespace {

const char* VerdictWord(Verdict verdict) {
    switch (verdict) {
        case Verdict::Passed:
            return "ok  ";
        case Verdict::Failed:
            return "FAIL";
        case Verdict::NotChecked:
            return "skip";
    }
    return "?   ";
}

std::size_t Counted(const std::vector<Check>& checks, Verdict verdict) {
    return static_cast<std::size_t>(
        std::count_if(checks.begin(), checks.end(),
                      [verdict](const Check& check) { return check.verdict == verdict; }));
}

}  // namespace

Check Passed(std::string subject, std::string finding) {
    return {Verdict::Passed, std::move(subject), std::move(finding), {}, {}};
}

Check Failed(std::string subject, std::string finding, std::string cause, std::string fix) {
    return {Verdict::Failed, std::move(subject), std::move(finding), std::move(cause),
            std::move(fix)};
}

Check NotChecked(std::string subject, std::string reason) {
    return {Verdict::NotChecked, std::move(subject), "not checked: " + std::move(reason), {}, {}};
}

std::string FormatCheck(const Check& check) {
    std::string lines = std::string(VerdictWord(check.verdict)) + "  " + check.subject + ": " +
                        check.finding + '\n';
    if (check.verdict == Verdict::Failed)
        lines += "      cause: " + check.cause + "\n      fix:   " + check.fix + '\n';
    return lines;
}

std::string Summary(const std::vector<Check>& checks) {
    const std::size_t failed = Counted(checks, Verdict::Failed);
    const std::size_t skipped = Counted(checks, Verdict::NotChecked);
    const std::string passed = std::to_string(Counted(checks, Verdict::Passed)) + " passed";
    if (failed == 0 && skipped == 0)
        return "doctor: all " + std::to_string(checks.size()) + " checks passed\n";
    return "doctor: " + std::to_string(failed) + " failed, " + std::to_string(skipped) +
           " not checked, " + passed + '\n';
}

bool NoneFailed(const std::vector<Check>& checks) { return Counted(checks, Verdict::Failed) == 0; }
