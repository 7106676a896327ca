#include "core/system/failure.h"

#include "core/debug/debug_log.h"

void TFailure::Failure(const char* message, int line, const char* file)
{
    WriteDbg("%s(%d): %s", file ? file : "", line, message ? message : "");
}
