#include "tool_run.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

TScratchDir::TScratchDir()
{
    char pattern[] = "/tmp/tv_tools_XXXXXX";
    if (mkdtemp(pattern))
        mPath = pattern;
}

TScratchDir::~TScratchDir()
{
    if (!mPath.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(mPath, ec);
    }
}

std::string TScratchDir::File(const std::string& name) const
{
    return mPath + "/" + name;
}

std::string TScratchDir::Write(const std::string& name, const std::string& text) const
{
    const std::string path = File(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TToolResult RunTool(const std::string& program, const std::vector<std::string>& args)
{
    TToolResult result;
    char captureName[] = "/tmp/tv_tool_output_XXXXXX";
    const int capture = mkstemp(captureName);
    if (capture < 0)
        return result;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, capture, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, capture, STDERR_FILENO);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned == 0) {
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            result.exitCode = WEXITSTATUS(status);
    }
    close(capture);
    std::ifstream in(captureName, std::ios::binary);
    result.output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::remove(captureName);
    return result;
}

std::string BinaryGarbage(size_t size)
{
    std::string bytes;
    for (size_t i = 0; i < size; ++i)
        bytes += static_cast<char>((i * 7919 + 13) & 0xFF);
    return bytes;
}
