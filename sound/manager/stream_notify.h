#pragma once
// Told when the sound a stream plays has ended. Streams hold it by weak reference.

class TSoundStream;

class TStreamNotify
{
public:
    virtual ~TStreamNotify() = default;
    virtual void StreamFinished(TSoundStream* stream) = 0;
};
