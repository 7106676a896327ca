#include "common/log_capture.h"

#include <gtest/gtest.h>

TLogCapture::TLogCapture()
{
    testing::internal::CaptureStderr();
}

TLogCapture::~TLogCapture()
{
    Text();
}

std::string TLogCapture::Text()
{
    if (!mDone) {
        mDone = true;
        mText = testing::internal::GetCapturedStderr();
    }
    return mText;
}
