/*
 * vellora.h: the public interface of the engine library libvellora.so, which turns enhanced
 * metafiles and direct drawing into PDF documents. The engine includes this same header, so
 * host and library agree on every declaration by construction. Plain C (C11) or C++.
 *
 * What a host may rely on
 *
 * Loading. The library exports exactly the nine entry points declared below and nothing else.
 * A host either links it or loads it with dlopen(QVPDF_LIBRARY_NAME) and looks the entries up
 * with dlsym under the QVPDF_SYMBOL_* names (one of them, "_QVPDF_QVKEXEC", has a leading
 * underscore; see QVPDF_QVKEXEC). Metafile and bitmap handles are 32-bit values of the platform
 * library libqvplatform.so, which a host links (as a Windows host links gdi32): a handle made by
 * the host means the same object inside the engine. A C host makes and frees metafile handles
 * with the C interface qvplatform/qvplatform_c.h (QvGetEnhMetaFile from a file,
 * QvSetEnhMetaFileBits from bytes, QvDeleteEnhMetaFile); the platform's C++ headers serve C++
 * hosts.
 *
 * Errors. Nothing is ever thrown across the boundary. Every pointer and length a host passes is
 * checked; a null context makes every entry point return at once with its failure value (false,
 * 0, -1 or the coordinate unchanged, as each declaration says). A command that fails inside the
 * engine (it raised) returns -1 and writes its message and the command number to the
 * platform's debug sink; the context stays usable. The debug sink goes to stderr when the
 * environment variable VELLORA_DEBUG is set, and to the handler a host sets with
 * QvSetDebugLineHandler (qvplatform/qvplatform_c.h): that is the only place a failed command's
 * reason goes. Recoverable problems of a document (a font that cannot be embedded, damaged
 * metafile data, ...) are numbered messages sent through the callback (kind
 * QVPDF_CALLBACK_MESSAGE); they never stop the document.
 *
 * Callbacks. A host receives, on the thread of the entry point that causes them:
 *   QVPDF_CALLBACK_MESSAGE      numbered messages, during any command: 1 bookmark not found,
 *                               2 invalid bitmap, 3 cannot open file, 4 metafile error,
 *                               6 problem in the input file, 7 page has not been started,
 *                               8 page already started, 11 a notice in plain words (a page
 *                               larger than 14400 points a side is cut to that size),
 *                               12 cannot embed font; with QVPDF_IPROP_EXTRA_MESSAGES also
 *                               10 embed font; 20 page begun ("width;height", device units)
 *   QVPDF_CALLBACK_INPUT_PAGES  once at every QVPDF_CMD_BEGIN_DOC, with the input PDF's page
 *                               count: 0 when there is no input
 *   QVPDF_CALLBACK_READ_CONTENT in read mode, once for each page read
 *   QVPDF_CALLBACK_MERGE_TEXT   never sent by this engine
 *
 * Threads. A context is used by one thread at a time; different contexts may be used on
 * different threads at once. The callback runs on the calling thread, inside the entry point
 * that caused it, and may call the entry points again (for example QVPDF_SetSProp with
 * QVPDF_SPROP_MERGE_TEXT from a merge-text request). Into the context whose command is
 * running, QVPDF_Do then runs only the queries QVPDF_CMD_COPY_TO_BUFFER,
 * QVPDF_CMD_INTERFACE_VERSION and QVPDF_CMD_METAFILE_ERROR and answers -1 to every other
 * command. The process-wide integer keys 54 to 56 are atomic and affect every context of the
 * process.
 *
 * Ownership. A context is allocated by QVPDF_Initialize and freed by QVPDF_Finalize; the host
 * holds only its address. Texts given to QVPDF_SetSProp are copied before the call returns.
 * Records and buffers passed to QVPDF_Do, QVPDF_InitializePage and QVPDF_QVKEXEC stay the
 * host's and are read (and where stated written) during the call only. Metafile and bitmap
 * handles stay the host's: the engine never deletes them. Texts and records the engine passes
 * to the callback are valid during the callback only.
 *
 * Encodings. 8-bit texts are in code page 1252 unless a property or a record says UTF-8
 * (QVPDF_IPROP_INFO_UTF8 for the document information, QVPDF_FIELD_UTF8 for form-field texts,
 * QVPDF_IPROP_OUTLINE_CHARSET 65001 for outline titles) or UTF-16 (QVPDF_TEXT_WIDE_TITLE,
 * QVPDF_ELEMENT_WIDE_TEXT). File names are passed to the file system as the bytes given.
 *
 * Records. All records are little-endian wire formats with every scalar at the byte offset of
 * the 32-bit layout they come from; the static assertions at the end of this file state every
 * size and offset. Where the 32-bit layout held a pointer in 4 bytes, the pointer travels in an
 * 8-byte field appended after the record's 32-bit end, and the old 4-byte slot (named ...32)
 * stays zero; the engine reads only the appended field. Unused bytes must be zero: a host
 * zero-fills a record before setting the fields a command reads.
 */
#ifndef VELLORA_VELLORA_H
#define VELLORA_VELLORA_H

#include <stddef.h>
#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#if !defined(__GNUC__) && !defined(__clang__)
#error "vellora.h needs GCC or Clang (asm labels, packed records)"
#endif

/* The engine marks its entry points for export when it compiles with VELLORA_BUILDING_ENGINE. */
#if defined(VELLORA_BUILDING_ENGINE)
#define QVPDF_API __attribute__((visibility("default")))
#else
#define QVPDF_API
#endif

#if defined(__cplusplus)
#define QVPDF_STATIC_ASSERT(condition, message) static_assert(condition, message)
#else
#define QVPDF_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define QVPDF_LIBRARY_NAME "libvellora.so"

/* Interface versions: QVPDF_Initialize accepts up to QVPDF_INTERFACE_VERSION_MAX (hosts pass
 * QVPDF_INTERFACE_VERSION); command QVPDF_CMD_INTERFACE_VERSION answers the engine's own. */
enum {
  QVPDF_INTERFACE_VERSION = 1,
  QVPDF_INTERFACE_VERSION_MAX = 3,
  QVPDF_ENGINE_INTERFACE_VERSION = 285
};

/* ---- Engine context and callback ------------------------------------------------------- */

/* One document of one host; opaque. */
typedef struct TQVPDFEngineContext TQVPDFEngineContext;

/* Callback kinds. */
enum {
  QVPDF_CALLBACK_MESSAGE = 1,      /* value: message code; text: message text */
  QVPDF_CALLBACK_INPUT_PAGES = 2,  /* value: page count of the input PDF; text: empty */
  QVPDF_CALLBACK_READ_CONTENT = 3, /* read mode: value: data size; text: a TQVPDFReadContent,
                                      whose Answer the host may set to stop the import */
  QVPDF_CALLBACK_MERGE_TEXT = 4    /* text: the text to merge; the host answers by setting
                                      QVPDF_SPROP_MERGE_TEXT before it returns. The engine
                                      itself sends no such request. */
};

/* Called with the user data given to QVPDF_Initialize. text is never null. */
typedef void (*TQVPDFEngineCallback)(void* userData, int32_t kind, int32_t value, const char* text);

/* ---- Property keys --------------------------------------------------------------------- */

/* String keys (QVPDF_SetSProp). Any other key, 8 included, is refused. */
enum {
  QVPDF_SPROP_AUTHOR = 1,
  /* Accepted and stored, but the document's /CreationDate and /ModDate (and the XMP dates) are
   * always the time QVPDF_CMD_BEGIN_DOC ran: these two keys are overwritten there. */
  QVPDF_SPROP_CREATION_DATE = 2, /* PDF date text, "D:YYYYMMDDHHMMSS" */
  QVPDF_SPROP_MOD_DATE = 3,
  /* The application that made the document: /Creator and xmp:CreatorTool (a host's "Producer"
   * setting sends it). The /Producer entry is always the engine's own name. */
  QVPDF_SPROP_CREATOR = 4,
  QVPDF_SPROP_TITLE = 5,
  QVPDF_SPROP_SUBJECT = 6,
  QVPDF_SPROP_KEYWORDS = 7,
  /* Comma text of faces never embedded. Items are separated by commas or blanks, so a face
   * whose name holds a blank is quoted with double quotes ("\"Courier New\",Arial"); a quote
   * inside quotes is doubled. */
  QVPDF_SPROP_EXCLUDED_FONTS = 9,
  QVPDF_SPROP_OWNER_PASSWORD = 10,
  QVPDF_SPROP_USER_PASSWORD = 11,
  QVPDF_SPROP_INPUT_FILE = 12, /* input PDF file name */
  /* Comma text as key 9: when set, only these faces are embedded. */
  QVPDF_SPROP_EMBED_ONLY_FONTS = 13,
  QVPDF_SPROP_MERGE_START = 14,  /* stored; the engine does not read it */
  QVPDF_SPROP_MERGE_TEXT = 15,   /* answer to QVPDF_CALLBACK_MERGE_TEXT; stored only */
  QVPDF_SPROP_INFO_STRINGS = 16, /* lines of name=value: further information entries */
  QVPDF_SPROP_FIRST = 1,
  QVPDF_SPROP_LAST = 16
};

/* Integer keys (QVPDF_SetIProp). "Byte" keys take the low 8 bits of the value. Keys 16 to 20,
 * 23 and 30 to 49 are refused, as is any key outside 1..56. */
enum {
  QVPDF_IPROP_ENCODE_STREAM_METHOD = 1,   /* byte, QVPDF_ENCODE_* */
  QVPDF_IPROP_COMPRESS_STREAM_METHOD = 2, /* byte, QVPDF_COMPRESS_* */
  QVPDF_IPROP_PAGE_MODE = 3,              /* byte, QVPDF_PAGE_MODE_* */
  QVPDF_IPROP_FONT_MODE = 4,              /* byte, QVPDF_FONT_MODE_* */
  QVPDF_IPROP_FAST_FLATE = 5,             /* non-zero: compression := QVPDF_COMPRESS_FAST_FLATE */
  QVPDF_IPROP_CONVERT_JPEG_DATA = 6,      /* boolean */
  QVPDF_IPROP_ENCRYPTION = 7,             /* low 16 bits: set of QVPDF_ENCRYPT_* bits */
  QVPDF_IPROP_INPUTFILE_MODE = 8,         /* QVPDF_INPUT_* */
  QVPDF_IPROP_READ_MODE = 9,              /* QVPDF_READ_STANDARD, or any other value: read only */
  QVPDF_IPROP_ELEMENT_RESOLUTION = 10,    /* QVPDF_QVKEXEC units: QVPDF_ELEMENT_PAGE_UNITS or more
                                             means page units, below it twips; hosts send 300 */
  QVPDF_IPROP_THUMBNAIL_MONOCHROME = 11,  /* non-zero: 1-bit page thumbnails, 0: 24-bit */
  /* QVPDF_JPEG_*; negative: JPEG on with quality := -value (at most 100) */
  QVPDF_IPROP_JPEG_QUALITY = 12,
  QVPDF_IPROP_COMPRESSION = 13,    /* byte, the same as key 2 */
  QVPDF_IPROP_ZOOM_MODE = 14,      /* byte, QVPDF_ZOOM_* */
  QVPDF_IPROP_SECURITY = 15,       /* byte, QVPDF_SECURITY_* */
  QVPDF_IPROP_EXTRA_MESSAGES = 21, /* boolean: messages such as "font embedded" */
  QVPDF_IPROP_TEXT_SCALING = 22,   /* horizontal text scale in percent; 0: none */
  /* Character set of 8-bit outline titles (a Windows charset; 65001: UTF-8). */
  QVPDF_IPROP_OUTLINE_CHARSET = 24,
  QVPDF_IPROP_CREATE_THUMBNAILS = 25, /* boolean */
  QVPDF_IPROP_MODES = 26,             /* the whole 32-bit set of QVPDF_MODE_* bits */
  QVPDF_IPROP_OPTIONS = 27,           /* byte: set of QVPDF_OPTION_* bits */
  QVPDF_IPROP_HOST_FLAG = 28,         /* marks the context as driven by a host; value unused */
  QVPDF_IPROP_CJK_CHARSET = 29,       /* charset given to ideographs in 8-bit text; default 136 */
  QVPDF_IPROP_PDFA_MODE = 50,         /* byte, QVPDF_PDFA_* */
  QVPDF_IPROP_CID_FONT_MODE = 51,     /* byte, QVPDF_CID_* */
  QVPDF_IPROP_DEVICE_BYTE = 52, /* a byte setting of the drawing device; hosts do not send it */
  QVPDF_IPROP_INFO_UTF8 = 53,   /* boolean: the document information texts are UTF-8 */
  /* Process-wide (every context): */
  QVPDF_IPROP_DEFAULT_DIVISOR = 54, /* 0 or more: coordinate divisor of devices made afterwards
                                       (0 is taken as 1) */
  QVPDF_IPROP_NO_HIGH_RES = 55,     /* boolean: large pictures keep the divisor */
  QVPDF_IPROP_ITALIC_AS_ARIAL = 56, /* boolean: italic text without an italic face uses Arial */
  QVPDF_IPROP_FIRST = 1,
  QVPDF_IPROP_LAST = 56
};

/* ---- Values of the integer keys -------------------------------------------------------- */

/* Sets cross as integers in which value n is bit n. */
#define QVPDF_BIT(n) (1u << (n))

/* Armour (key 1). */
enum { QVPDF_ENCODE_NONE = 0, QVPDF_ENCODE_ASCII85 = 1, QVPDF_ENCODE_ASCIIHEX = 2 };

/* Compression (keys 2 and 13). */
enum {
  QVPDF_COMPRESS_NONE = 0,
  QVPDF_COMPRESS_FLATE = 1,
  QVPDF_COMPRESS_RUNLENGTH = 2,
  QVPDF_COMPRESS_FAST_FLATE = 3
};

/* Page mode of the viewer (key 3). */
enum {
  QVPDF_PAGE_MODE_NONE = 0,
  QVPDF_PAGE_MODE_OUTLINES = 1,
  QVPDF_PAGE_MODE_THUMBS = 2,
  QVPDF_PAGE_MODE_FULL_SCREEN = 3
};

/* Fonts (key 4). */
enum {
  QVPDF_FONT_MODE_USE_TRUETYPE = 0,
  QVPDF_FONT_MODE_EMBED_TRUETYPE = 1,
  QVPDF_FONT_MODE_EMBED_SYMBOL_TRUETYPE = 2,
  QVPDF_FONT_MODE_USE_BASE14 = 3,
  QVPDF_FONT_MODE_SUBSET_CHARSETS = 4,
  QVPDF_FONT_MODE_SUBSET_USED_CHARS = 5
};

/* Permissions (key 7): bit numbers. */
enum {
  QVPDF_ENCRYPT_FILE = 0, /* encrypt the document at all */
  QVPDF_ENABLE_PRINTING = 1,
  QVPDF_ENABLE_CHANGING = 2,
  QVPDF_ENABLE_COPYING = 3,
  QVPDF_ENABLE_FORMS = 4,
  QVPDF_LOW_QUALITY_PRINT_ONLY = 5,
  QVPDF_ENABLE_DOC_ASSEMBLY = 6,
  QVPDF_ENABLE_FORM_FIELD_FILL_IN = 7,
  QVPDF_ENABLE_ACCESSIBILITY = 8
};

/* Input PDF (key 8); 4 and 5 are accepted by number. */
enum {
  QVPDF_INPUT_IGNORE = 0,
  QVPDF_INPUT_APPEND = 1,
  QVPDF_INPUT_CONVERT_TO_WATERMARK = 2,
  QVPDF_INPUT_USE_AS_WATERMARK = 3
};

/* Read mode (key 9): anything but standard only reads the input PDF. */
enum { QVPDF_READ_STANDARD = 0 };

/* JPEG quality (key 12): 0 off, 1 to 5 the qualities 10, 25, 50, 75, 100. */
enum {
  QVPDF_JPEG_OFF = 0,
  QVPDF_JPEG_10 = 1,
  QVPDF_JPEG_25 = 2,
  QVPDF_JPEG_50 = 3,
  QVPDF_JPEG_75 = 4,
  QVPDF_JPEG_100 = 5
};

/* Open action (key 14). */
enum {
  QVPDF_ZOOM_DEFAULT = 0,
  QVPDF_ZOOM_FIT_PAGE = 1,
  QVPDF_ZOOM_FIT_VERTICAL = 2,
  QVPDF_ZOOM_FIT_HORIZONTAL = 3
};

/* Key strength (key 15). */
enum { QVPDF_SECURITY_40BIT = 0, QVPDF_SECURITY_128BIT = 1 };

/* Drawing modes (key 26): bit numbers. Values without a name are accepted by number. */
enum {
  QVPDF_MODE_NO_BITBLT_FILL_RECT = 0,
  QVPDF_MODE_NEVER_FILL = 1,
  QVPDF_MODE_WHITE_BRUSH_IS_TRANSPARENT = 2,
  QVPDF_MODE_EXACT_TEXT_POSITIONING = 3,
  QVPDF_MODE_NO_TEXT_RECT_CLIPPING = 4,
  QVPDF_MODE_CLIP_RECT_SUPPORT = 5, /* clip records are played only with it; hosts set it */
  QVPDF_MODE_DONT_STACK_WORLD_MODIFICATIONS = 6,
  QVPDF_MODE_DONT_ADJUST_TEXT_SPACING = 7,
  QVPDF_MODE_DONT_CROP_BITMAPS = 8,
  QVPDF_MODE_ALLOW_TRANSPARENT_BIT = 9,
  QVPDF_MODE_ALWAYS_HIGH_RES = 10,
  QVPDF_MODE_NEVER_HIGH_RES = 11,
  QVPDF_MODE_USE_FONT_WIDTH_ARGUMENT = 12,
  QVPDF_MODE_NO_TEXT_SCALING = 13,
  QVPDF_MODE_META_IS_DOTNET_EMF = 14,
  QVPDF_MODE_INPUT_IS_WMF_DATA = 15,
  QVPDF_MODE_HATCH_BRUSH_IS_SOLID = 16,
  QVPDF_MODE_TEST_IF_WE_HAVE_CID = 17,
  QVPDF_MODE_COLORS_AS_CMYK = 22,
  QVPDF_MODE_TOUNICODE_FOR_SIMPLE_FONTS = 23,
  QVPDF_MODE_NO_AUTO_STRUCTURE_TAGS = 26,
  QVPDF_MODE_GLOBAL_DESTINATIONS = 31
};

/* Viewer options (key 27): bit numbers. */
enum {
  QVPDF_OPTION_AUTO_LINKS = 0,
  QVPDF_OPTION_HIDE_TOOLBAR = 1,
  QVPDF_OPTION_HIDE_MENU_BAR = 2,
  QVPDF_OPTION_HIDE_WINDOW_UI = 3
};

/* PDF/A (key 50). */
enum { QVPDF_PDFA_OFF = 0, QVPDF_PDFA_LEVEL_A = 1, QVPDF_PDFA_LEVEL_B = 2 };

/* CID fonts (key 51). */
enum { QVPDF_CID_OFF = 0, QVPDF_CID_UNICODE = 1, QVPDF_CID_SYMBOL_ONLY = 2 };

/* ---- Page record ----------------------------------------------------------------------- */

/* Colour values of page records and elements. */
#define QVPDF_COLOR_NONE 0x1FFFFFFFu         /* no page colour */
#define QVPDF_COLOR_HOST_DEFAULT 0xFF000010u /* what hosts put in the page record */

/* Rotation flags: both low bits set means 270 degrees, else bit 0 means 90, else the value is
 * the rotation in degrees. */
enum { QVPDF_ROTATE_90 = 1, QVPDF_ROTATE_270 = 3 };

#pragma pack(push, 1)
/* QVPDF_InitializePage: the next page (37 bytes, packed). */
typedef struct TQVPDFPageInit {
  int32_t Width;       /* device units */
  int32_t Height;      /* device units */
  int32_t XResolution; /* device units per inch; 0 or below is taken as 72 */
  int32_t YResolution;
  uint32_t RotationFlags;
  uint32_t PageColor; /* QVPDF_COLOR_NONE: none */
  int32_t OriginX;
  int32_t OriginY;
  uint8_t CreateThumbnails; /* non-zero: yes */
  uint8_t Reserved33[4];    /* not read */
} TQVPDFPageInit;
#pragma pack(pop)

/* ---- Commands ---------------------------------------------------------------------------- */

/* QVPDF_Do commands. The record argument is a TQVPDFCommand, a text or a buffer as stated;
 * results are 0 unless stated. Any failure gives -1: a command that raised inside the engine
 * (its reason goes to the debug sink), a command that needs a record and gets null (every
 * command that reads a record but 5558, 5569 and 5573, which say what null means), and any
 * command outside 5558..5581. */
enum {
  /* record: output file name, or null to keep the stored one; "" writes to memory. Result 0;
   * -1 when the file cannot be created (message 3 as well) or while a document is open (end it
   * with QVPDF_CMD_END_DOC first: the open one stays as it is). */
  QVPDF_CMD_BEGIN_DOC = 5558,
  QVPDF_CMD_END_DOC = 5559, /* writes the document's end; 0 also when none is open */
  /* The page of the last TQVPDFPageInit; a page still open is ended first (message 8). */
  QVPDF_CMD_BEGIN_PAGE = 5560,
  QVPDF_CMD_END_PAGE = 5561, /* 0; with no page open it does nothing but send message 7 */
  /* record null: result the size of the document's bytes so far (the finished document's
   * after QVPDF_CMD_END_DOC); else a buffer of value bytes that receives min(size, value)
   * bytes; result the count copied. */
  QVPDF_CMD_COPY_TO_BUFFER = 5562,
  QVPDF_CMD_SAVE_TO_FILE = 5563, /* record: file name (null: -1) */
  QVPDF_CMD_CLOSE_OUTPUT_STREAM = 5564,
  /* value: bitmap handle: the open page's thumbnail. -1 without a page or for a handle that is
   * no bitmap. */
  QVPDF_CMD_PAGE_THUMBNAIL = 5565,
  /* A link over X, Y, Width, Height (device units) on the open page. Name is the target:
   * "http://", "https://" or "mailto:" an address, "Launch://" or "LaunchN://" (new window) or
   * "file://" a program or file, "GoToR://file.pdf#n" page n of another file, anything else
   * the name of a destination. With QVPDF_TEXT_LINK_TARGET the text at Text is the link's
   * action dictionary body instead (written inside "<< >>"; a text that would break the file
   * gives -1). Without an open page, -1. */
  QVPDF_CMD_ADD_LINK = 5566,
  /* A named destination Name at X, Y (device units) of the open page, or of the next page
   * begun when none is open; local (for links and outline entries) unless the drawing modes
   * make every destination global. */
  QVPDF_CMD_ADD_DESTINATION = 5567,
  /* An outline entry, filed by Level and Parent (see "Outline filing" below); the title is
   * Head.Name.Text (8-bit, in the outline charset) or the UTF-16 text at Text with
   * QVPDF_TEXT_WIDE_TITLE; Name a destination name, else the entry points at X, Y of the open
   * (or last) page with mode Arg1 and zoom Arg2. Result: the entry's number (1, 2, ... in the
   * order of the calls); -1 for a record that cannot be filed. Null record: -1. */
  QVPDF_CMD_ADD_OUTLINE = 5568,
  /* value: metafile handle (or Metafile with RecordForm QVPDF_COMMAND_LONG_FORM); record may be
   * null (placement all 0). Drawn into the open page or form, or onto a page of the picture's
   * own size begun for it; -1 before QVPDF_CMD_BEGIN_DOC. Damaged data is drawn as far as it
   * goes and reported by QVPDF_CMD_METAFILE_ERROR, not by the result. */
  QVPDF_CMD_DRAW_METAFILE = 5569,
  /* A form object named Head.Name.Text of Width x Height device units, option Arg1; what is
   * drawn until QVPDF_CMD_END_XFORM goes into it. -1 while a page is open, for a name already
   * used or null record. */
  QVPDF_CMD_BEGIN_XFORM = 5570,
  QVPDF_CMD_END_XFORM = 5571,
  /* Places the form named Head.Name.Text on the open page; -1 without a page, for an unknown
   * name or a null record. */
  QVPDF_CMD_DRAW_XFORM = 5572,
  /* value QVPDF_FONT_ALIAS_ADD, record: text "name=target" (split at the first "="): maps the
   * face name to the target face. The result is -1 whenever the value is QVPDF_FONT_ALIAS_ADD
   * and a record is given, also when the alias was added; 0 for any other value or no record. */
  QVPDF_CMD_FONT_ALIAS = 5573,
  QVPDF_CMD_DRAW_IMAGE = 5574, /* the image command, QVPDF_EXBITMAP */
  /* A check box or text field over the head's X, Y, Width, Height (device units) of the open
   * page, with the texts at FieldValue and Tooltip (either may be null); named "Field" + a
   * counter, "Field2" first. Without an open page, -1. */
  QVPDF_CMD_ADD_FORM_FIELD = 5575,
  QVPDF_CMD_RESET_DEVICE = 5576, /* the drawing state back to its start; the document stays */
  /* record: text "name=script"; result the action's object number, -1 without "=" or a
   * record, and in PDF/A (which allows no JavaScript). */
  QVPDF_CMD_ADD_JAVASCRIPT = 5577,
  /* record: text "event=action name"; event "OPENACTION" runs every action of that name when
   * the document opens. The result is always -1. */
  QVPDF_CMD_BIND_DOC_ACTION = 5578,
  QVPDF_CMD_INTERFACE_VERSION = 5579, /* result QVPDF_ENGINE_INTERFACE_VERSION */
  QVPDF_CMD_METAFILE_ERROR = 5580,    /* result 1 when damaged metafile data was met, else 0 */
  QVPDF_CMD_ADD_ICC_COLOR_SPACE = 5581,
  QVPDF_CMD_FIRST = 5558,
  QVPDF_CMD_LAST = 5581
};

enum { QVPDF_FONT_ALIAS_ADD = 101 };

/* TQVPDFCommand.TextFlags. */
enum {
  QVPDF_TEXT_LINK_TARGET = 1, /* ADD_LINK: Text is the 8-bit action text (Name the target) */
  QVPDF_TEXT_WIDE_TITLE = 2   /* ADD_OUTLINE: Text is the UTF-16 title */
};

/* TQVPDFFieldHead.Kind and .Flags. */
enum {
  QVPDF_FIELD_CHECK_BOX = 1,
  QVPDF_FIELD_MULTI_LINE = 1,
  QVPDF_FIELD_RIGHT_ALIGNED = 2,
  QVPDF_FIELD_CENTRED = 4,
  QVPDF_FIELD_UTF8 = 0x100 /* the value and tooltip texts are UTF-8 */
};

/* Outline filing: TQVPDFCommand.Level is the filing kind and Parent its number N (neither is a
 * depth or a parent entry as such). "Current" is the entry most recently filed; Level 4 is
 * filed as kind 6.
 *
 *   kind      N          where the entry goes
 *   2         0          one level up: after Current's parent, on the parent's level
 *   2         other      refused: -1, nothing filed, Current unchanged
 *   3         N > 0      N levels below Current (N - 1 untitled entries are put between)
 *   3         N <= 0     after the entry -N levels above Current (stopping at the top level)
 *   4, 6      0          at the end of the top level
 *   4, 6      1..count-1 as the last child of entry N
 *   4, 6      >= count   as the last child of Current
 *   4, 6      N < 0      refused: -1
 *   5         0          at the end of the top level
 *   5         1..count-1 after entry N, on its level
 *   5         >= count   after Current, on its level
 *   5         N < 0      after the entry -N levels above Current (stopping at the top level)
 *   any other any        after Current, on its level (the top level when there is none)
 *
 * count is the number of entries with the new one: N = count names the new entry itself.
 * So Level 4 with Parent 0 files at the top level, not below Current. Embedded outline
 * commands in metafiles keep their own rules. */

/* TQVPDFCommand.RecordForm: DRAW_METAFILE takes the handle from Metafile. */
enum { QVPDF_COMMAND_LONG_FORM = 1 };

/* The first 264 bytes of a command record, as each command reads them. Texts are
 * zero-terminated and read at most up to the end of their field. */
typedef struct TQVPDFImageHead {         /* DRAW_IMAGE */
  int32_t X, Y, Width, Height;           /* where to draw, page units */
  int32_t ImageNumber;                   /* below 1: create the image; receives its number */
  uint32_t Bitmap;                       /* bitmap handle, first choice */
  uint32_t DibBits32, DibInfo32, Data32; /* old pointer slots: zero */
  int32_t DataLength;                    /* image data (third choice): length, */
  int32_t Format;                        /* format number, */
  int32_t PixelWidth, PixelHeight;       /* and size in pixels */
} TQVPDFImageHead;

typedef struct TQVPDFFieldHead { /* ADD_FORM_FIELD */
  int32_t X, Y, Width, Height;   /* device units */
  int32_t Kind;                  /* QVPDF_FIELD_CHECK_BOX, else a text field */
  int32_t Flags;                 /* QVPDF_FIELD_* */
  int32_t Checked;               /* check box state */
  int32_t Reserved28, Reserved32;
  uint32_t Tooltip32, Value32; /* old pointer slots: zero */
} TQVPDFFieldHead;

typedef struct TQVPDFColorSpaceHead { /* ADD_ICC_COLOR_SPACE */
  int32_t Components;                 /* of the profile's colour space */
  char Name[32];                      /* resource name */
  char Alternate[120];                /* alternate colour space text */
  uint32_t Profile32;                 /* old pointer slot: zero */
  int32_t ProfileLength;              /* bytes at IccProfile */
} TQVPDFColorSpaceHead;

typedef struct TQVPDFNameHead { /* ADD_OUTLINE title; BEGIN_XFORM, DRAW_XFORM form name */
  int32_t Reserved0, Reserved4;
  char Text[256];
} TQVPDFNameHead;

typedef union TQVPDFCommandHead {
  TQVPDFImageHead Image;
  TQVPDFFieldHead Field;
  TQVPDFColorSpaceHead ColorSpace;
  TQVPDFNameHead Name;
  uint8_t Bytes[264];
} TQVPDFCommandHead;

/* The command record: 580 bytes of the 32-bit long form, then the pointers. */
typedef struct TQVPDFCommand {
  TQVPDFCommandHead Head;
  char Name[256]; /* link name (ADD_LINK); destination name (ADD_DESTINATION, ADD_OUTLINE) */
  int32_t X, Y, Width, Height; /* device units; converted to points with the resolution */
  int32_t Arg1;                /* outline destination mode; metafile x resolution; form option */
  int32_t Arg2;                /* outline destination zoom; metafile y resolution */
  int32_t Level;               /* outline filing kind (4 is taken as 6): see above */
  int32_t Parent;              /* the filing kind's N: see above */
  int32_t TextFlags;           /* QVPDF_TEXT_* */
  int32_t Reserved556;
  uint32_t Text32; /* old pointer slot: zero */
  uint8_t Reserved564[8];
  int32_t RecordForm; /* QVPDF_COMMAND_LONG_FORM: DRAW_METAFILE uses Metafile */
  uint32_t Metafile;  /* metafile handle */
  /* End of the 32-bit record; the pointers follow, 8-byte aligned. */
  uint32_t Reserved580;
  const void* DibBits;    /* DRAW_IMAGE, second choice: DIB pixels, */
  const void* DibInfo;    /* and its BITMAPINFO */
  const void* ImageData;  /* DRAW_IMAGE, third choice */
  const char* Tooltip;    /* ADD_FORM_FIELD */
  const char* FieldValue; /* ADD_FORM_FIELD, text fields */
  const void* IccProfile; /* ADD_ICC_COLOR_SPACE; null: the built-in sRGB profile */
  const void* Text;       /* link target (8-bit) or outline title (UTF-16), see TextFlags */
} TQVPDFCommand;

enum {
  QVPDF_COMMAND_SHORT_SIZE = 576, /* the 32-bit forms */
  QVPDF_COMMAND_LONG_SIZE = 580,
  QVPDF_COMMAND_SIZE = 640
};

/* ---- Read mode ------------------------------------------------------------------------- */

/* QVPDF_CALLBACK_READ_CONTENT: one imported page's decoded content (92 bytes of the 32-bit
 * record, then the pointer). */
typedef struct TQVPDFReadContent {
  int32_t DataSize; /* bytes at Data */
  int32_t Number;   /* 1, 2, ... for each callback of the document */
  int32_t Answer;   /* the host sets it non-zero to stop the import */
  int32_t Reserved12;
  int32_t One; /* always 1 */
  int32_t Reserved20, Reserved24;
  float PageWidth; /* points, from the page's media box */
  float PageHeight;
  int32_t Reserved36, Reserved40;
  uint32_t Data32; /* old pointer slot: zero */
  uint8_t Reserved48[44];
  uint32_t Reserved92;
  const void* Data;
} TQVPDFReadContent;

enum { QVPDF_READ_CONTENT_SHORT_SIZE = 92, QVPDF_READ_CONTENT_SIZE = 104 };

/* ---- Word-processor elements (QVPDF_QVKEXEC) -------------------------------------------- */

/* TQVPDFElement.Kind. */
enum {
  QVPDF_ELEMENT_TEXT = 0,
  QVPDF_ELEMENT_IMAGE = 2,
  QVPDF_ELEMENT_LINE_TOP = 3,
  QVPDF_ELEMENT_LINE_LEFT = 4,
  QVPDF_ELEMENT_LINE_BOTTOM = 5,
  QVPDF_ELEMENT_LINE_RIGHT = 6,
  QVPDF_ELEMENT_FILLED_RECT = 7,
  QVPDF_ELEMENT_BASELINE_LINE = 10
};

/* TQVPDFElement.Style, .Flags and special values. */
enum {
  QVPDF_ELEMENT_ITALIC = 0x01,
  QVPDF_ELEMENT_BOLD = 0x02,
  QVPDF_ELEMENT_SUPERSCRIPT = 0x08,
  QVPDF_ELEMENT_SUBSCRIPT = 0x10,
  QVPDF_ELEMENT_STRIKEOUT = 0x20,
  QVPDF_ELEMENT_IMAGE_DATA = 0x01,    /* Flags: the image comes as data at WideTextOrData */
  QVPDF_ELEMENT_CHARSET_VALID = 0x02, /* Flags: Charset is valid */
  QVPDF_ELEMENT_WIDE_TEXT = 345612,   /* TextForm: WideTextOrData holds the text as UTF-16 */
  QVPDF_ELEMENT_SHADING_FILL = 3,     /* FillStyle of a filled rectangle */
  QVPDF_ELEMENT_PAGE_UNITS = 200      /* QVPDF_IPROP_ELEMENT_RESOLUTION from which coordinates
                                         are page units */
};

/* Further colour values that mean no colour in elements. */
#define QVPDF_COLOR_NONE_WINDOW 0xFF000005u
#define QVPDF_COLOR_NONE_SYSTEM 0x80000005u

/* Element rectangle: twips (1/1440 inch) unless the element resolution says page units. */
typedef struct TQVPDFElementRect {
  int32_t Left, Top, Right, Bottom;
} TQVPDFElementRect;

#pragma pack(push, 1)
/* A word processor's paint element (272 bytes of its 32-bit record, packed, then the pointer);
 * only the named fields are read. */
typedef struct TQVPDFElement {
  uint8_t Reserved0[16];
  uint8_t Style; /* QVPDF_ELEMENT_ITALIC ... */
  uint8_t Reserved17[3];
  int32_t FontSize; /* points */
  uint8_t Reserved24[12];
  uint8_t Kind; /* QVPDF_ELEMENT_TEXT ... */
  uint8_t Reserved37[12];
  int32_t PenWidth; /* lines */
  uint8_t Reserved53[4];
  int32_t FillStyle; /* filled rectangles */
  uint8_t Reserved61[20];
  uint32_t ImageSource; /* bitmap or image handle */
  int32_t ImageNumber;  /* below 0: create the image; receives its number */
  uint8_t Reserved89[17];
  uint8_t UsePageColor; /* text in the page colour of the page record */
  uint8_t Reserved107[2];
  int32_t Baseline; /* text and baseline lines, units of the rectangle */
  uint32_t TextColor;
  uint32_t BackColor; /* text background; fill colour of a filled rectangle */
  uint8_t Flags;      /* QVPDF_ELEMENT_IMAGE_DATA, QVPDF_ELEMENT_CHARSET_VALID */
  uint8_t Reserved122[7];
  char FaceName[130];        /* zero-terminated */
  int32_t TextForm;          /* text: QVPDF_ELEMENT_WIDE_TEXT; image: the data argument */
  uint32_t WideTextOrData32; /* old pointer slot: zero */
  int32_t ImageDataSize;
  uint8_t Charset;
  const void* WideTextOrData; /* UTF-16 text, or image data */
} TQVPDFElement;
#pragma pack(pop)

enum { QVPDF_ELEMENT_SHORT_SIZE = 272, QVPDF_ELEMENT_SIZE = 280 };

/* ---- Entry points ---------------------------------------------------------------------- */

/* A new context, or null when version is above QVPDF_INTERFACE_VERSION_MAX. The callback may
 * be null. */
QVPDF_API TQVPDFEngineContext* QVPDF_Initialize(int32_t version, TQVPDFEngineCallback callback,
                                                void* userData);

/* Frees the context and everything it holds; null does nothing. A document still open is ended
 * first when it goes to a file, so the file is complete; one in memory is dropped. */
QVPDF_API void QVPDF_Finalize(TQVPDFEngineContext* context);

/* True when the key is known; text null counts as "". */
QVPDF_API bool QVPDF_SetSProp(TQVPDFEngineContext* context, int32_t key, const char* text);
QVPDF_API bool QVPDF_SetIProp(TQVPDFEngineContext* context, int32_t key, int32_t value);

/* A command (QVPDF_CMD_*); -1 for a null context, an unknown command or a failure. */
QVPDF_API int32_t QVPDF_Do(TQVPDFEngineContext* context, int32_t command, int32_t value,
                           void* record);

/* Takes the page record for the next page command; 1, or 0 for a null context or record. The
 * second argument is not read. */
QVPDF_API int32_t QVPDF_InitializePage(TQVPDFEngineContext* context, int32_t unused,
                                       const TQVPDFPageInit* page);

/* Paints one word-processor element into the open page. The exported symbol is
 * "_QVPDF_QVKEXEC" (QVPDF_SYMBOL_QVKEXEC); that name is reserved in C and C++, so the function
 * is declared as QVPDF_QVKEXEC and bound to the symbol with an asm label. The last two
 * arguments are not read. The result is 0 in every case (hosts rely on it): for a null
 * context, element or rectangle, with no page open, from inside the engine's callback (where
 * nothing is painted) and when the element fails (its message goes to the debug sink). A null
 * text is empty. Coordinates are twips, turned into the page's device units by the page
 * record's resolutions, or device units when QVPDF_IPROP_ELEMENT_RESOLUTION is
 * QVPDF_ELEMENT_PAGE_UNITS or more; x counts from the page record's origin x. An image
 * element whose ImageNumber is below 0 receives the number of the image it made. */
QVPDF_API int32_t QVPDF_QVKEXEC(TQVPDFEngineContext* context, TQVPDFElement* element,
                                const TQVPDFElementRect* rect, const char* text, int32_t reserved1,
                                int32_t reserved2) __asm__("_QVPDF_QVKEXEC");

/* Page coordinates of the last page record: round((x - origin x) * 72 / x resolution) and
 * round(y * 72 / y resolution), halves to even; the coordinate itself for a null context. */
QVPDF_API int32_t QVPDF_XPOS(TQVPDFEngineContext* context, int32_t x);
QVPDF_API int32_t QVPDF_YPOS(TQVPDFEngineContext* context, int32_t y);

/* Names for dlsym and the matching pointer types. */
#define QVPDF_SYMBOL_INITIALIZE "QVPDF_Initialize"
#define QVPDF_SYMBOL_FINALIZE "QVPDF_Finalize"
#define QVPDF_SYMBOL_SETSPROP "QVPDF_SetSProp"
#define QVPDF_SYMBOL_SETIPROP "QVPDF_SetIProp"
#define QVPDF_SYMBOL_DO "QVPDF_Do"
#define QVPDF_SYMBOL_INITIALIZEPAGE "QVPDF_InitializePage"
#define QVPDF_SYMBOL_QVKEXEC "_QVPDF_QVKEXEC"
#define QVPDF_SYMBOL_XPOS "QVPDF_XPOS"
#define QVPDF_SYMBOL_YPOS "QVPDF_YPOS"

typedef TQVPDFEngineContext* (*TQVPDFInitializeProc)(int32_t, TQVPDFEngineCallback, void*);
typedef void (*TQVPDFFinalizeProc)(TQVPDFEngineContext*);
typedef bool (*TQVPDFSetSPropProc)(TQVPDFEngineContext*, int32_t, const char*);
typedef bool (*TQVPDFSetIPropProc)(TQVPDFEngineContext*, int32_t, int32_t);
typedef int32_t (*TQVPDFDoProc)(TQVPDFEngineContext*, int32_t, int32_t, void*);
typedef int32_t (*TQVPDFInitializePageProc)(TQVPDFEngineContext*, int32_t, const TQVPDFPageInit*);
typedef int32_t (*TQVPDFQVKExecProc)(TQVPDFEngineContext*, TQVPDFElement*, const TQVPDFElementRect*,
                                     const char*, int32_t, int32_t);
typedef int32_t (*TQVPDFPosProc)(TQVPDFEngineContext*, int32_t);

/* ---- Layout checks ----------------------------------------------------------------------- */

QVPDF_STATIC_ASSERT(sizeof(bool) == 1, "booleans cross as one byte");
QVPDF_STATIC_ASSERT(sizeof(void*) == 8, "the records are laid out for 64-bit pointers");

QVPDF_STATIC_ASSERT(sizeof(TQVPDFPageInit) == 37, "page record size");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFPageInit, Width) == 0, "page record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFPageInit, Height) == 4, "page record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFPageInit, XResolution) == 8, "page record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFPageInit, YResolution) == 12, "page record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFPageInit, RotationFlags) == 16, "page record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFPageInit, PageColor) == 20, "page record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFPageInit, OriginX) == 24, "page record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFPageInit, OriginY) == 28, "page record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFPageInit, CreateThumbnails) == 32, "page record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFPageInit, Reserved33) == 33, "page record");

QVPDF_STATIC_ASSERT(sizeof(TQVPDFImageHead) == 52, "image head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFImageHead, X) == 0, "image head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFImageHead, Y) == 4, "image head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFImageHead, Width) == 8, "image head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFImageHead, Height) == 12, "image head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFImageHead, ImageNumber) == 16, "image head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFImageHead, Bitmap) == 20, "image head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFImageHead, DibBits32) == 24, "image head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFImageHead, DibInfo32) == 28, "image head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFImageHead, Data32) == 32, "image head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFImageHead, DataLength) == 36, "image head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFImageHead, Format) == 40, "image head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFImageHead, PixelWidth) == 44, "image head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFImageHead, PixelHeight) == 48, "image head");

QVPDF_STATIC_ASSERT(sizeof(TQVPDFFieldHead) == 44, "field head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFFieldHead, X) == 0, "field head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFFieldHead, Y) == 4, "field head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFFieldHead, Width) == 8, "field head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFFieldHead, Height) == 12, "field head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFFieldHead, Kind) == 16, "field head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFFieldHead, Flags) == 20, "field head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFFieldHead, Checked) == 24, "field head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFFieldHead, Tooltip32) == 36, "field head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFFieldHead, Value32) == 40, "field head");

QVPDF_STATIC_ASSERT(sizeof(TQVPDFColorSpaceHead) == 164, "colour space head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFColorSpaceHead, Components) == 0, "colour space head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFColorSpaceHead, Name) == 4, "colour space head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFColorSpaceHead, Alternate) == 36, "colour space head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFColorSpaceHead, Profile32) == 156, "colour space head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFColorSpaceHead, ProfileLength) == 160, "colour space head");

QVPDF_STATIC_ASSERT(sizeof(TQVPDFNameHead) == 264, "name head");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFNameHead, Text) == 8, "name head");
QVPDF_STATIC_ASSERT(sizeof(TQVPDFCommandHead) == 264, "command head");

QVPDF_STATIC_ASSERT(sizeof(TQVPDFCommand) == QVPDF_COMMAND_SIZE, "command record size");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Head) == 0, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Name) == 264, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, X) == 520, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Y) == 524, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Width) == 528, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Height) == 532, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Arg1) == 536, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Arg2) == 540, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Level) == 544, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Parent) == 548, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, TextFlags) == 552, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Text32) == 560, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, RecordForm) == 572, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Metafile) == QVPDF_COMMAND_SHORT_SIZE,
                    "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Reserved580) == QVPDF_COMMAND_LONG_SIZE,
                    "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, DibBits) == 584, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, DibInfo) == 592, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, ImageData) == 600, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Tooltip) == 608, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, FieldValue) == 616, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, IccProfile) == 624, "command record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFCommand, Text) == 632, "command record");

QVPDF_STATIC_ASSERT(sizeof(TQVPDFReadContent) == QVPDF_READ_CONTENT_SIZE, "read record size");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFReadContent, DataSize) == 0, "read record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFReadContent, Number) == 4, "read record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFReadContent, Answer) == 8, "read record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFReadContent, One) == 16, "read record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFReadContent, PageWidth) == 28, "read record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFReadContent, PageHeight) == 32, "read record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFReadContent, Data32) == 44, "read record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFReadContent, Reserved92) == QVPDF_READ_CONTENT_SHORT_SIZE,
                    "read record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFReadContent, Data) == 96, "read record");

QVPDF_STATIC_ASSERT(sizeof(TQVPDFElementRect) == 16, "element rectangle");
QVPDF_STATIC_ASSERT(sizeof(TQVPDFElement) == QVPDF_ELEMENT_SIZE, "element record size");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, Style) == 16, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, FontSize) == 20, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, Kind) == 36, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, PenWidth) == 49, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, FillStyle) == 57, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, ImageSource) == 81, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, ImageNumber) == 85, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, UsePageColor) == 106, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, Baseline) == 109, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, TextColor) == 113, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, BackColor) == 117, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, Flags) == 121, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, FaceName) == 129, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, TextForm) == 259, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, WideTextOrData32) == 263, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, ImageDataSize) == 267, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, Charset) == 271, "element record");
QVPDF_STATIC_ASSERT(offsetof(TQVPDFElement, WideTextOrData) == QVPDF_ELEMENT_SHORT_SIZE,
                    "element record");

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* VELLORA_VELLORA_H */
