#include "doctor/doctor.h"

DoctorOptions ParseDoctorOptions(const std::vector<std::string>& words) {
    DoctorOptions options;
    for (std::size_t next = 0; next < words.size(); ++next) {
        if (words[next] != "--library")
            throw SessionError(ExitStatus::WrongInvocation,
                               "doctor: unknown option \"" + words[next] + "\"");
        if (options.library)
            throw SessionError(ExitStatus::WrongInvocation, "doctor: --library given twice");
        if (++next == words.size())
            throw SessionError(ExitStatus::WrongInvocation, "doctor: --library needs a PATH");
        options.library = words[next];
    }
    return options;
}
