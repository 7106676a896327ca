#include "core/debug/debug_log.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <unistd.h>
#include <vector>

void WriteDbg(const char* format, ...)
{
    if (!format)
        return;
    char small[1024];
    std::vector<char> big;
    char* text = small;

    va_list ap;
    va_start(ap, format);
    va_list first;
    va_copy(first, ap);
    int n = std::vsnprintf(small, sizeof small - 1, format, first);
    va_end(first);
    if (n < 0) {
        va_end(ap);
        return;
    }
    // Room for the text and the line end, so the line goes out in one write.
    if (static_cast<size_t>(n) + 1 >= sizeof small - 1) {
        big.resize(static_cast<size_t>(n) + 2);
        std::vsnprintf(big.data(), big.size() - 1, format, ap);
        text = big.data();
    }
    va_end(ap);
    text[n] = '\n';

    // Anything another caller left in stdio's stderr buffer goes first.
    std::fflush(stderr);
    size_t done = 0;
    const size_t total = static_cast<size_t>(n) + 1;
    while (done < total) {
        ssize_t w = ::write(STDERR_FILENO, text + done, total - done);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        done += static_cast<size_t>(w);
    }
}

void ResetDbg(const char*) {}

uint32_t zvGetTotalAllocated()
{
    return 0;
}

uint32_t zvGetMaxAllocated()
{
    return 0;
}
