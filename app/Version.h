#pragma once
// The program's version: the one place that names it. Read by the resource scripts' version
// blocks and by the code (the exception report).
#define FF_VERSION_MAJOR 1
#define FF_VERSION_MINOR 0
#define FF_VERSION_PATCH 0
#define FF_VERSION_BUILD 0

#define FF_STRINGIFY2(x) #x
#define FF_STRINGIFY(x) FF_STRINGIFY2(x)
#define FF_VERSION_TEXT                                                                                      \
    FF_STRINGIFY(FF_VERSION_MAJOR)                                                                           \
    "." FF_STRINGIFY(FF_VERSION_MINOR) "." FF_STRINGIFY(FF_VERSION_PATCH) "." FF_STRINGIFY(FF_VERSION_BUILD)
