#pragma once
// The home folder the system's account database gives the user running the program, for a
// start without HOME; empty when the account has none or is not in the database.

#include "core/text/str.h"

str AccountHome();
