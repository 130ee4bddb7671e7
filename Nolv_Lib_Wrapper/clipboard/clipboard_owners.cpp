#include "clipboard/clipboard_owners.h"

namespace {
// 25 attempts 20 ms apart: about half a second in all.
constexpr int kOpenAttempts = 25;
constexpr DWORD kPauseBetweenAttempts = 20;
}  // namespace

OpenedClipboard::OpenedClipboard() {
    for (int attempt = 1; attempt <= kOpenAttempts; ++attempt) {
        if (OpenClipboard(nullptr)) {
            opened_ = true;
            return;
        }
        if (attempt < kOpenAttempts) Sleep(kPauseBetweenAttempts);
    }
}

OpenedClipboard::~OpenedClipboard() {
    if (opened_) CloseClipboard();
}
