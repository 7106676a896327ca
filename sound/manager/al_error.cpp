#include "sound/manager/al_error.h"

#include <cstdio>

#include <AL/al.h>

bool ReportALError()
{
    ALenum error = alGetError();
    if (error == AL_NO_ERROR)
        return false;
    std::fprintf(stderr, "An OpenAL error was raised : 0x%08x\n", static_cast<unsigned>(error));
    return true;
}
