#pragma once
// What a shell command writes to its standard output (tools the tests run, such as the
// preferences dump); empty when it does not start.

#include <cstdio>
#include <string>

inline std::string CommandOutput(const std::string& command)
{
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0)
        out.append(buffer, n);
    pclose(p);
    return out;
}
