/* The one platform service the consumer needs, for C: a metafile handle of the platform's
 * handle table, which the engine reads the picture from. */
#ifndef VELLORA_CONSUMER_METAFILE_HANDLE_H
#define VELLORA_CONSUMER_METAFILE_HANDLE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The enhanced metafile in the file as a handle; 0 when the file is not one. */
uint32_t ConsumerLoadMetafile(const char* fileName);
void ConsumerDeleteMetafile(uint32_t handle);

#ifdef __cplusplus
}
#endif

#endif
