#pragma once
// Signals that would end the game without its quit path (no final save) although the fault
// behind them is only a failed write: SIGPIPE (the log piped into a program that ended, a
// server that hung up) and SIGXFSZ (a file-size limit reached while saving). With these
// handlers the write fails with EPIPE or EFBIG instead and is handled as any failed write; a
// stray signal does nothing. For the life of the process; the handler is a function, not
// SIG_IGN, so programs started from the game begin with the default handling.

void IgnoreHarmlessSignals();
