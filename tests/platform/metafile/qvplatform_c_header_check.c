/* The platform's C header compiles on its own as C11 and as C++ under -pedantic, and its
 * header structure has the record's size. */
#include "qvplatform/qvplatform_c.h"

#ifdef __cplusplus
static_assert(sizeof(QvEnhMetaHeader) == 108, "the header record with both extensions");
#else
_Static_assert(sizeof(QvEnhMetaHeader) == 108, "the header record with both extensions");
#endif

typedef QvMetafileHandle (*LoadProc)(const char*, int*);
typedef void (*HandlerProc)(QvDebugLineHandler, void*);

LoadProc QvHeaderCheckLoad(void) { return QvGetEnhMetaFile; }
HandlerProc QvHeaderCheckHandler(void) { return QvSetDebugLineHandler; }
