#pragma once
// Reports a failure with the place in the source where it was found. The default writes
// "file(line): message" to the debug log; components may install their own handler.
//   failure->Failure("bad parameter index", __LINE__, __FILE__);

class TFailure
{
public:
    virtual ~TFailure() = default;
    virtual void Failure(const char* message, int line, const char* file);
};
