#pragma once
// A voice line's description, one command per line:
//   voice en+f3        synthesiser voice (letters, digits, "+", "-", "_"); default "en"
//   speed 150          words per minute, 80 to 450; default 160
//   pitch 60           0 to 99; default 50
//   text I have to find Pip.    the words to speak (required, once)

#include <string>

struct TVoiceDescription
{
    std::string voice = "en";
    int speed = 160;
    int pitch = 50;
    std::string text;
};

// False with "<source>:<line>: <message>" in *error.
bool ParseVoiceDescription(const std::string& sourceName, const std::string& text, TVoiceDescription* out,
                           std::string* error);
