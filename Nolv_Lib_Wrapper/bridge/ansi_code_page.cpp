#include "bridge/ansi_code_page.h"

#include <windows.h>

namespace {

class AnsiCodePage {
public:
    AnsiCodePage() : utf8_(GetACP() == CP_UTF8) {
        CPINFO info;
        if (utf8_ || !GetCPInfo(CP_ACP, &info)) return;
        for (int range = 0; range + 1 < MAX_LEADBYTES && info.LeadByte[range] != 0; range += 2)
            for (unsigned byte = info.LeadByte[range]; byte <= info.LeadByte[range + 1]; ++byte)
                lead_[byte] = true;
    }

    std::size_t CharacterUnits(const char* text) const {
        const unsigned char first = static_cast<unsigned char>(text[0]);
        std::size_t units = 1;
        if (utf8_)
            units = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
        else if (lead_[first])
            units = 2;
        for (std::size_t i = 1; i < units; ++i)
            if (text[i] == '\0') return i;
        return units;
    }

    bool IsLeadByte(unsigned char byte) const { return lead_[byte]; }

private:
    bool utf8_;
    bool lead_[256] = {};
};

const AnsiCodePage ansiCodePage;

}  // namespace

std::size_t AnsiCharacterUnits(const char* text) { return ansiCodePage.CharacterUnits(text); }

bool IsAnsiLeadByte(unsigned char byte) { return ansiCodePage.IsLeadByte(byte); }
