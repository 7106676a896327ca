#pragma once
// Helpers for the content tools' checks: a scratch folder and running a tool program.

#include <string>
#include <vector>

// A fresh folder under /tmp, removed with everything in it at the end of the scope.
class TScratchDir
{
public:
    TScratchDir();
    ~TScratchDir();
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;

    const std::string& Path() const { return mPath; }
    // Path() + "/" + name.
    std::string File(const std::string& name) const;
    // Writes `text` to File(name) and returns that path.
    std::string Write(const std::string& name, const std::string& text) const;

private:
    std::string mPath;
};

struct TToolResult
{
    int exitCode = -1;   // -1 when the program did not end normally
    std::string output;  // standard error and standard output together
};

// Runs `program` with `args` (no shell) and waits for it.
TToolResult RunTool(const std::string& program, const std::vector<std::string>& args);

// `size` bytes of every value, newlines and zero bytes among them, the same on every call.
std::string BinaryGarbage(size_t size);
