#include "common/log_capture.h"

#include <gtest/gtest.h>

#include <sstream>

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

std::vector<std::string> LogLinesWith(const std::string& log, const std::vector<std::string>& words,
                                      const std::string& unless)
{
    std::vector<std::string> found;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        if (!unless.empty() && line.find(unless) != std::string::npos)
            continue;
        for (const std::string& word : words) {
            if (line.find(word) != std::string::npos) {
                found.push_back(line);
                break;
            }
        }
    }
    return found;
}
