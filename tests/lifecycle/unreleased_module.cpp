// A C++ module built as the project's modules are, but without the runtime
// ledger: what the lifecycle test's measures must see leak.
#include <stdexcept>

extern "C" __declspec(dllexport) int ThrowOnce() {
    try {
        throw std::runtime_error("once");
    } catch (const std::runtime_error&) {
        return 1;
    }
}
