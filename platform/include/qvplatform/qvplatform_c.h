/* The platform library's C interface: what a host program does with metafiles before it hands
 * them to the engine, and the engine's debug lines. It compiles as C11 and as C++; every name
 * starts with Qv, and libqvplatform.so exports it unmangled.
 *
 * A metafile handle is a 32-bit number of the platform's process-wide handle table; the engine
 * (loaded into the same process) reads the picture from it, so it is what a host puts in the
 * Metafile field of a TQVPDFCommand (include/vellora/vellora.h). A metafile's bytes never change
 * once it has a handle. Every function is thread-safe.
 *
 * The functions keep the meaning of the Windows calls whose names they carry after "Qv":
 *   QvGetEnhMetaFile       GetEnhMetaFileA (with the reason of a failure)
 *   QvSetEnhMetaFileBits   SetEnhMetaFileBits
 *   QvSetWinMetaFileBits   SetWinMetaFileBits (old-style bytes into an enhanced metafile)
 *   QvCopyEnhMetaFile      CopyEnhMetaFileA
 *   QvGetEnhMetaFileHeader GetEnhMetaFileHeader
 *   QvGetEnhMetaFileBits   GetEnhMetaFileBits
 *   QvDeleteEnhMetaFile    DeleteEnhMetaFile */
#ifndef QVPLATFORM_QVPLATFORM_C_H
#define QVPLATFORM_QVPLATFORM_C_H

#include <stdint.h>

#if defined(__GNUC__)
#define QVPLATFORM_C_API __attribute__((visibility("default")))
#else
#define QVPLATFORM_C_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t QvMetafileHandle; /* 0 is no metafile */

/* Why a call failed: the status a loading function writes where its last argument points. */
typedef enum QvMetafileStatus {
  QV_METAFILE_OK = 0,
  QV_METAFILE_CANNOT_OPEN = 1,    /* the file cannot be opened or read, or is not a regular file */
  QV_METAFILE_EMPTY = 2,          /* no bytes at all */
  QV_METAFILE_TOO_LARGE = 3,      /* above 2^31 - 1 bytes */
  QV_METAFILE_NOT_A_METAFILE = 4, /* neither an enhanced nor an old-style metafile */
  QV_METAFILE_BAD_HEADER = 5,     /* an enhanced-metafile header whose sizes do not hold */
  QV_METAFILE_BAD_OLD_STYLE = 6,  /* an old-style header that is damaged or cut short */
  QV_METAFILE_OLD_STYLE = 7,      /* an old-style (WMF) metafile where an enhanced one is needed */
  QV_METAFILE_INVALID_HANDLE = 8, /* not a live enhanced-metafile handle */
  QV_METAFILE_CANNOT_WRITE = 9,   /* the copy's file cannot be written */
  QV_METAFILE_NO_HANDLES = 10     /* the handle space is used up */
} QvMetafileStatus;

/* A fixed English text for a status ("" for QV_METAFILE_OK, "unknown status" for others). */
QVPLATFORM_C_API const char* QvMetafileStatusText(int status);

typedef struct QvRectL {
  int32_t left, top, right, bottom;
} QvRectL;

typedef struct QvSizeL {
  int32_t cx, cy;
} QvSizeL;

/* The enhanced-metafile header record (ENHMETAHEADER), 108 bytes with both extensions. */
typedef struct QvEnhMetaHeader {
  uint32_t iType;
  uint32_t nSize;
  QvRectL rclBounds; /* device units of the reference device, inclusive */
  QvRectL rclFrame;  /* 0.01 mm, inclusive: the picture's frame */
  uint32_t dSignature;
  uint32_t nVersion;
  uint32_t nBytes;
  uint32_t nRecords; /* including the header */
  uint16_t nHandles;
  uint16_t sReserved;
  uint32_t nDescription; /* UTF-16 code units */
  uint32_t offDescription;
  uint32_t nPalEntries;
  QvSizeL szlDevice;      /* the reference device in pixels */
  QvSizeL szlMillimeters; /* the reference device in millimetres */
  uint32_t cbPixelFormat;
  uint32_t offPixelFormat;
  uint32_t bOpenGL;
  QvSizeL szlMicrometers;
} QvEnhMetaHeader;

/* Reads an enhanced metafile file (the name's bytes go to the file system as they are) and
 * gives it a handle; 0 on failure. status may be NULL; otherwise it receives the reason (an
 * old-style metafile gives QV_METAFILE_OLD_STYLE). The header is checked now, the records when
 * the engine plays them: a file cut short still plays as far as it goes. */
QVPLATFORM_C_API QvMetafileHandle QvGetEnhMetaFile(const char* fileName, int* status);

/* A new enhanced metafile holding a copy of size bytes at data; 0 when they are not one. */
QVPLATFORM_C_API QvMetafileHandle QvSetEnhMetaFileBits(uint32_t size, const uint8_t* data);

/* The picture of an old-style (WMF) metafile's bytes (from its header on, or with the placeable
 * header in front) as a new enhanced metafile; 0 when they are not one. Its frame comes from
 * picture when it gives an anisotropic or isotropic mapping (mm 8 or 7) with positive extents
 * in 0.01 mm, else from the placeable header, else from the metafile's window. picture may be
 * NULL. Damaged records end the translation there: what came before is kept. */
typedef struct QvMetaFilePict {
  int32_t mm;
  int32_t xExt, yExt; /* 0.01 mm */
  uint32_t hMF;       /* not read */
} QvMetaFilePict;
QVPLATFORM_C_API QvMetafileHandle QvSetWinMetaFileBits(uint32_t size, const uint8_t* data,
                                                       const QvMetaFilePict* picture);

/* With fileName NULL: a new handle to the same metafile in memory. Otherwise writes the bytes to
 * the file (created or replaced) and returns a handle to the copy. 0 on failure. */
QVPLATFORM_C_API QvMetafileHandle QvCopyEnhMetaFile(QvMetafileHandle metafile,
                                                    const char* fileName);

/* With header NULL: the size of the header record. Otherwise writes min(size, 108) bytes of the
 * header's fields (those the record does not hold are zero) and returns the count. 0 for an
 * invalid handle. */
QVPLATFORM_C_API uint32_t QvGetEnhMetaFileHeader(QvMetafileHandle metafile, uint32_t size,
                                                 QvEnhMetaHeader* header);

/* With buffer NULL: the metafile's size in bytes. Otherwise copies min(size, that) bytes and
 * returns the count. 0 for an invalid handle. */
QVPLATFORM_C_API uint32_t QvGetEnhMetaFileBits(QvMetafileHandle metafile, uint32_t size,
                                               uint8_t* buffer);

/* Frees the handle: 1, or 0 for anything but a live enhanced-metafile handle. Other handles to
 * copies stay valid. The engine does not free the handles a host gives it. */
QVPLATFORM_C_API int QvDeleteEnhMetaFile(QvMetafileHandle metafile);

/* The debug sink carries the reasons of failed commands (an engine command that raised answers
 * -1 and sends its message here) and other diagnostics of the engine and the platform. A line
 * goes to stderr when the environment variable VELLORA_DEBUG is set to anything but "" or "0",
 * and to the handler set here, if any: one call per line, without its line end, from whichever
 * thread sent it, never two at once. NULL removes the handler. */
typedef void (*QvDebugLineHandler)(void* userData, const char* line);
QVPLATFORM_C_API void QvSetDebugLineHandler(QvDebugLineHandler handler, void* userData);

/* The library's version text, "0.1". */
QVPLATFORM_C_API const char* QvPlatformVersion(void);

#ifdef __cplusplus
}
#endif

#endif
