#pragma once
// SIGPIPE would end the game without its quit path (no final save): a write to a pipe or
// socket whose reader went away (the log piped into a program that ended, a server that hung
// up) fails with EPIPE instead, and a stray SIGPIPE does nothing. For the life of the process;
// the handler is a function, not SIG_IGN, so programs started from the game begin with the
// default handling.

void IgnoreBrokenPipes();
