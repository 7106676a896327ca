#include "core/text/str.h"
