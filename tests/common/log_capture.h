#pragma once
// Captures what the code under test writes to the debug log (standard error) from construction
// until the first Text() call.

#include <string>

class TLogCapture
{
public:
    TLogCapture();
    ~TLogCapture();
    std::string Text();

private:
    bool mDone = false;
    std::string mText;
};
