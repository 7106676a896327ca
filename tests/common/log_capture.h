#pragma once
// Captures what the code under test writes to the debug log (standard error) from construction
// until the first Text() call.

#include <string>
#include <vector>

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

// The lines of `log` that hold any of `words`, leaving out those that also hold `unless` (when
// it is not empty).
std::vector<std::string> LogLinesWith(const std::string& log, const std::vector<std::string>& words,
                                      const std::string& unless = "");
