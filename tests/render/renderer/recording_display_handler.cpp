#include "recording_display_handler.h"

TRecordingDisplayHandler* TRecordingDisplayHandler::sLast = nullptr;

TDisplayHandler* TRecordingDisplayHandler::Make()
{
    return new TRecordingDisplayHandler;
}

TRecordingDisplayHandler::~TRecordingDisplayHandler()
{
    if (sLast == this)
        sLast = nullptr;
}
