// Separating commas of a parts-name list, aware of the double-byte
// characters of the runtime's current multibyte code page.
#pragma once

int CountCommas(const char* text);
