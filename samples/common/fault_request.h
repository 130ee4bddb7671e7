// A text that asks the sample to misbehave, so that a host's handling of a
// component that crashes or hangs can be shown and tested with the samples
// themselves: "crash:" writes through a null pointer (an access violation
// inside the method, as a faulty component would make), "hang:<ms>" sleeps
// that many milliseconds inside the method before going on.
#pragma once

#include <string_view>

// Does what the text asks, if it asks for anything. True when it did (after
// a hang; a crash does not return), false for any other text.
bool ActOnFaultRequest(std::wstring_view text);
