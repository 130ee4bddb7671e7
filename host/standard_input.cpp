#include "standard_input.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

std::string ReadStandardInput() {
    _setmode(_fileno(stdin), _O_BINARY);
    std::string bytes;
    char buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) bytes.append(buffer, count);
    return bytes;
}
