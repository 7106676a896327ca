#pragma once
// A worker object whose Task runs on its own thread until it is stopped.
//   class Spooler : public TThread {
//   public:
//       ~Spooler() override { StopAndJoin(); }   // before this class's members go away
//   protected:
//       void Task(std::atomic<bool>* stop) override { while (!*stop) { ... } }
//   };
//   Spooler s; s.StartTask();

#include <atomic>
#include <memory>
#include <thread>

class TThread
{
public:
    TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    // Stops and joins; a derived class whose Task uses its own members calls StopAndJoin
    // in its own destructor.
    virtual ~TThread();

    // Starts Task on a new thread: 0, or an error number (EINVAL when already running).
    int StartTask();
    // Sets the stop request, waits for Task to return, then clears the request.
    // Harmless when the thread never started or has been joined; from Task itself it only
    // sets the request.
    void StopAndJoin();
    bool IsRunning() const { return mThread.joinable(); }

protected:
    // The thread body: loop until *stop becomes true, then return soon.
    virtual void Task(std::atomic<bool>* stop) = 0;

private:
    std::shared_ptr<std::atomic<bool>> mStop;
    std::thread mThread;
    std::atomic<std::thread::id> mWorker{};
};
