// The log of calls the components received.
#pragma once

#include "probe_control.h"

#include <string>

namespace probe {

// One logged call. The ProbeCall's strings point into this record's own
// copies, so a record is made in place and never moved.
struct Record {
    Record() : call() {}
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    void setName(const wchar_t* text, size_t length);
    void setArgText(int index, const wchar_t* text, size_t length);

    ProbeCall call;
    std::wstring name;
    std::wstring argTexts[PROBE_MAX_ARGS];
};

// Counts the call; returns the record to fill when recording is on, null when
// the call is only counted. The record stays valid until forgetRecords().
Record* beginRecord();

void forgetRecords();

}  // namespace probe
