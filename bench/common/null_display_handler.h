#pragma once
// A display handler that sends nothing to the GPU: frames drawn through it cost only the
// engine's own work, which is what "CPU time outside GL" measures.

#include "render/renderer/display_handler.h"

TDisplayHandler* MakeNullDisplayHandler();
