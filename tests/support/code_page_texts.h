// Texts of the ANSI code page a test runs under, as a host passes them and
// as the components receive them. In the double-byte code pages their
// second bytes include 0x5C (a backslash in ASCII) and bytes from 0x40 to
// 0x7E, which a byte-wise reading would take for ASCII characters.
#pragma once

#include <string>
#include <vector>

struct CodePageText {
    std::string ansi;
    std::wstring utf16;
};

// The texts of the running ANSI code page (GetACP()), none with a comma;
// empty for a code page the tests have no texts for.
std::vector<CodePageText> CodePageTexts();

// All of them as one comma-separated list, one field per text.
CodePageText CodePageList();

// The C runtime's multibyte code page set by the host (_setmbcp) for the
// lifetime of the scope, then the ANSI one again. The runtime is shared
// with the library, as it is with a host's DLLs on Windows.
class HostMultibyteCodePage {
public:
    explicit HostMultibyteCodePage(int codePage);
    ~HostMultibyteCodePage();
    HostMultibyteCodePage(const HostMultibyteCodePage&) = delete;
    HostMultibyteCodePage& operator=(const HostMultibyteCodePage&) = delete;
};
