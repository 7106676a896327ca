#pragma once
// Runs a test body as a user without root's rights, so that file modes bind: as root a
// read-only file is still writable. Under root the body runs in a child process that has
// given up its rights; otherwise it runs in place.

#include <functional>
#include <string>

// `folder` (which holds what the body works on) is handed to that user first; `user` is the
// user id taken under root (the default is nobody's).
void RunUnprivileged(const std::string& folder, const std::function<void()>& body, unsigned user = 65534);

// The same for a body that starts `program`: it is given a path to it that the user can run,
// the program itself when that user reaches it, else a copy in `folder` (a checkout in root's
// home is closed to others).
void RunUnprivileged(const std::string& folder, const std::string& program,
                     const std::function<void(const std::string& runnable)>& body, unsigned user = 65534);
