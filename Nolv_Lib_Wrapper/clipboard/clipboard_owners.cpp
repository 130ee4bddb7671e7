#include "clipboard/clipboard_owners.h"

#include "frame/failure_record.h"
#include "frame/fixed_text.h"

namespace {

// Attempts 20 ms apart for half a second. Counted in time, not in
// attempts: on a busy machine each attempt and each pause take longer.
constexpr ULONGLONG kTryFor = 500;
constexpr DWORD kPauseBetweenAttempts = 20;

// "held by NAME.exe (process N)", as far as Windows tells who has the
// clipboard open: only a program that opened it with a window can be named.
void AppendHolder(FixedText& detail) {
    DWORD processId = 0;
    const HWND window = GetOpenClipboardWindow();
    if (window == nullptr || GetWindowThreadProcessId(window, &processId) == 0 || processId == 0) {
        detail.Append(L"held by another program");
        return;
    }
    wchar_t image[MAX_PATH] = L"";
    DWORD length = ARRAYSIZE(image);
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr || !QueryFullProcessImageNameW(process, 0, image, &length)) length = 0;
    if (process != nullptr) CloseHandle(process);
    const wchar_t* name = image;
    for (DWORD i = 0; i < length; ++i)
        if (image[i] == L'\\' || image[i] == L'/') name = image + i + 1;
    detail.Append(L"held by ").Append(length > 0 ? name : L"a program").Append(L" (process ")
        .AppendDecimal(processId).Append(L")");
}

void RecordNotOpened(ULONGLONG milliseconds) {
    if (!RecordFailure(FailureStep::ClipboardOpen, CLIPBRD_E_CANT_OPEN)) return;
    wchar_t buffer[MAX_PATH + 64];
    FixedText detail(buffer, ARRAYSIZE(buffer));
    AppendHolder(detail);
    detail.Append(L"; tried for ").AppendDecimal(static_cast<unsigned long>(milliseconds))
        .Append(L" ms");
    AddFailureDetail(detail.text());
}

}  // namespace

OpenedClipboard::OpenedClipboard() {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (OpenClipboard(nullptr)) {
            opened_ = true;
            return;
        }
        if (GetTickCount64() - start + kPauseBetweenAttempts > kTryFor) break;
        Sleep(kPauseBetweenAttempts);
    }
    RecordNotOpened(GetTickCount64() - start);
}

OpenedClipboard::~OpenedClipboard() {
    if (opened_) CloseClipboard();
}
