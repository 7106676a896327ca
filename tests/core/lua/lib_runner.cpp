#include "lib_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace tv_lua_test {

namespace {

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') q += "'\\''";
    else q += c;
  }
  return q + "'";
}

}  // namespace

ProcessResult RunProgram(const std::string& program, const std::string& script,
                         const std::string& extra_args, bool merge_stderr, const std::string& workdir) {
  // A working folder lets callers pass bare script names: error messages carry the chunk
  // name, and a long absolute path is shortened differently by each interpreter.
  std::string cmd = (workdir.empty() ? "" : "cd " + Quote(workdir) + " && ") + Quote(program) + " " +
                    Quote(script) + " " + extra_args +
                    (merge_stderr ? " 2>&1" : " 2>/dev/null") + " </dev/null";
  ProcessResult r;
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int status = pclose(p);
  r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string SourceDir() {
  if (const char* env = std::getenv("TV_TEST_SOURCE_DIR")) return env;
  return TV_TEST_SOURCE_DIR;
}

std::string VluaPath() {
#ifdef TV_VLUA_PATH
  return TV_VLUA_PATH;
#else
  // Build tree layout: <build>/tests/core/lua/<test> and <build>/core/lua/vlua.
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (self.parent_path() / "../../../core/lua/vlua").lexically_normal().string();
#endif
}

std::string PeerPath() {
  const char* peer = "/usr/bin/lua5.1";
  return access(peer, X_OK) == 0 ? peer : "";
}

bool VluaAvailable() { return access(VluaPath().c_str(), X_OK) == 0; }

}  // namespace tv_lua_test
