// libqvplatform.so gathers the static components of the platform layer; this file gives the shared
// library a translation unit of its own and a version that programs can ask for.
#include "qvplatform/qvplatform_c.h"

extern "C" const char* QvPlatformVersion(void) { return "0.1"; }
