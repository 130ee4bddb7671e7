// The two COM classes the probe serves, one per component.
#pragma once

#include <windows.h>

namespace probe {

constexpr int componentCount = 2;

inline bool isComponent(int component) {
    return component >= 0 && component < componentCount;
}

// The fixed class identifier of a component (PROBE_NOLV or PROBE_SIVAT).
const CLSID& classId(int component);

}  // namespace probe
