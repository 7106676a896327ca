#pragma once
// Runs a test body as a user without root's rights, so that file modes bind: as root a
// read-only file is still writable. Under root the body runs in a child process that has
// given up its rights (the folder is handed to that user first); otherwise it runs in place.

#include <functional>
#include <string>

// `user` is the user id taken under root (the default is nobody's).
void RunUnprivileged(const std::string& folder, const std::function<void()>& body, unsigned user = 65534);

// A path to the program `file` that the body can run: `file` itself when that user reaches it,
// else a copy in `folder` (a checkout in root's home is closed to others). Empty when neither
// can be had.
std::string RunnableUnprivileged(const std::string& file, const std::string& folder);
