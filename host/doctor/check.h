// One line of nolvhost doctor's report: what was checked, what was found
// and, for a failure, why the library cannot work so and what to do.
#pragma once

#include <string>
#include <vector>

enum class Verdict { Passed, Failed, NotChecked };

struct Check {
    Verdict verdict;
    std::string subject;  // "library architecture", "NOLV_Lib.NOLVComClass creation"
    std::string finding;
    std::string cause;  // failures only: in plain words
    std::string fix;    // failures only: what to do
};

Check Passed(std::string subject, std::string finding);
Check Failed(std::string subject, std::string finding, std::string cause, std::string fix);
// A check that an earlier failure makes pointless; the reason names it.
Check NotChecked(std::string subject, std::string reason);

// "ok    SUBJECT: FINDING" ("FAIL", "skip"), and beneath a failure its cause
// and fix, indented; each line ends in a newline.
std::string FormatCheck(const Check& check);
// The report's closing line: how many checks passed, failed, were skipped.
std::string Summary(const std::vector<Check>& checks);
// No check failed: the doctor's exit status is 0.
bool NoneFailed(const std::vector<Check>& checks);
