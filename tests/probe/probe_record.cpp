// The call log, and the exports that read it.
#include "probe_record.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace probe {
namespace {

// Only recorded calls take memory: a soak with recording off must not grow.
struct Entry {
    int index;
    std::unique_ptr<Record> record;
};

std::vector<Entry> entries;  // in increasing index order
int callCount;
bool recording = true;

}  // namespace

void Record::setName(const wchar_t* text, size_t length) {
    name.assign(text, length);
    call.name = name.c_str();
}

void Record::setArgText(int index, const wchar_t* text, size_t length) {
    argTexts[index].assign(text, length);
    call.args[index].text = argTexts[index].c_str();
}

Record* beginRecord() {
    const int index = callCount++;
    if (!recording) return nullptr;
    entries.push_back(Entry{index, std::make_unique<Record>()});
    return entries.back().record.get();
}

void forgetRecords() {
    entries.clear();
    entries.shrink_to_fit();
    callCount = 0;
    recording = true;
}

}  // namespace probe

using namespace probe;

extern "C" {

void ProbeSetRecording(int on) {
    recording = on != 0;
}

int ProbeCallCount(void) {
    return callCount;
}

const ProbeCall* ProbeGetCall(int index) {
    const auto found = std::lower_bound(
        entries.begin(), entries.end(), index,
        [](const Entry& entry, int wanted) { return entry.index < wanted; });
    if (found == entries.end() || found->index != index) return nullptr;
    return &found->record->call;
}

}  // extern "C"
