#pragma once
// The program's own name and version, as the installed program presents itself.

#ifndef TV_PRODUCT_NAME
#define TV_PRODUCT_NAME "Tessivander"
#endif
#ifndef TV_PRODUCT_VERSION
#define TV_PRODUCT_VERSION "1.0.0"
#endif
