/* minimal_host: the smallest complete host, in C11. It makes a metafile handle with the platform
 * library's C interface, loads the engine with dlopen, binds the nine entry points and converts
 * the metafile into a one-page PDF of the picture's size with a caption under it; then it frees
 * everything it made.
 *
 *   minimal_host IN.emf OUT.pdf [ENGINE]
 *
 * ENGINE is the engine library's file (default: QVPDF_LIBRARY_NAME, found by the loader). The
 * reasons of failed commands come through the platform's debug sink and are printed. */
#define _POSIX_C_SOURCE 200809L
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

#include "qvplatform/qvplatform_c.h"
#include "vellora/vellora.h"

typedef struct Engine {
  void* library;
  TQVPDFInitializeProc initialize;
  TQVPDFFinalizeProc finalize;
  TQVPDFSetSPropProc setSProp;
  TQVPDFSetIPropProc setIProp;
  TQVPDFDoProc doCommand;
  TQVPDFInitializePageProc initializePage;
  TQVPDFQVKExecProc paintElement;
  TQVPDFPosProc xPos;
  TQVPDFPosProc yPos;
} Engine;

/* dlsym gives object pointers; POSIX guarantees they convert to function pointers. */
static int Bind(void* library, const char* name, void* entry) {
  void* found = dlsym(library, name);
  if (found == NULL) fprintf(stderr, "minimal_host: the engine lacks %s\n", name);
  memcpy(entry, &found, sizeof found);
  return found != NULL;
}

static int LoadEngine(Engine* e, const char* file) {
  e->library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (e->library == NULL) {
    fprintf(stderr, "minimal_host: %s\n", dlerror());
    return 0;
  }
  int ok = Bind(e->library, QVPDF_SYMBOL_INITIALIZE, &e->initialize);
  ok &= Bind(e->library, QVPDF_SYMBOL_FINALIZE, &e->finalize);
  ok &= Bind(e->library, QVPDF_SYMBOL_SETSPROP, &e->setSProp);
  ok &= Bind(e->library, QVPDF_SYMBOL_SETIPROP, &e->setIProp);
  ok &= Bind(e->library, QVPDF_SYMBOL_DO, &e->doCommand);
  ok &= Bind(e->library, QVPDF_SYMBOL_INITIALIZEPAGE, &e->initializePage);
  ok &= Bind(e->library, QVPDF_SYMBOL_QVKEXEC, &e->paintElement);
  ok &= Bind(e->library, QVPDF_SYMBOL_XPOS, &e->xPos);
  ok &= Bind(e->library, QVPDF_SYMBOL_YPOS, &e->yPos);
  return ok;
}

static void OnEngine(void* userData, int32_t kind, int32_t value, const char* text) {
  (void)userData;
  if (kind == QVPDF_CALLBACK_MESSAGE && value != 20)
    fprintf(stderr, "minimal_host: engine message %d: %s\n", (int)value, text);
}

static void OnDebugLine(void* userData, const char* line) {
  (void)userData;
  fprintf(stderr, "minimal_host: %s\n", line);
}

enum { kCaptionHeight = 36, kResolution = 96 };

/* The picture's frame (0.01 mm) in pixels at 96 dpi; A4 when the frame is empty. */
static void PictureSize(QvMetafileHandle metafile, int32_t* width, int32_t* height) {
  QvEnhMetaHeader header;
  memset(&header, 0, sizeof header);
  QvGetEnhMetaFileHeader(metafile, sizeof header, &header);
  const double w = ((double)header.rclFrame.right - header.rclFrame.left) / 2540.0 * kResolution;
  const double h = ((double)header.rclFrame.bottom - header.rclFrame.top) / 2540.0 * kResolution;
  const int usable = w >= 1 && h >= 1 && w < 100000 && h < 100000;
  *width = usable ? (int32_t)(w + 0.5) : 794;
  *height = usable ? (int32_t)(h + 0.5) : 1123;
}

/* A line of text under the picture, painted as a word-processor element (twips). */
static void PaintCaption(const Engine* e, TQVPDFEngineContext* c, int32_t pictureHeight,
                         int32_t width) {
  static char caption[] = "Converted by minimal_host";
  TQVPDFElement element;
  memset(&element, 0, sizeof element);
  element.Kind = QVPDF_ELEMENT_TEXT;
  element.FontSize = 12;
  element.TextColor = 0x000000;
  element.BackColor = QVPDF_COLOR_NONE;
  strcpy(element.FaceName, "DejaVu Sans");
  const int32_t twipsPerPixel = 1440 / kResolution;
  TQVPDFElementRect rect;
  rect.Left = 8 * twipsPerPixel;
  rect.Top = pictureHeight * twipsPerPixel;
  rect.Right = width * twipsPerPixel;
  rect.Bottom = (pictureHeight + kCaptionHeight) * twipsPerPixel;
  element.Baseline = rect.Top + 24 * twipsPerPixel;
  e->paintElement(c, &element, &rect, caption, 0, 0);
}

static int Convert(const Engine* e, QvMetafileHandle metafile, char* output) {
  TQVPDFEngineContext* c = e->initialize(QVPDF_INTERFACE_VERSION, &OnEngine, NULL);
  if (c == NULL) return 0;
  e->setIProp(c, QVPDF_IPROP_COMPRESS_STREAM_METHOD, QVPDF_COMPRESS_FLATE);
  e->setSProp(c, QVPDF_SPROP_TITLE, "A metafile converted by minimal_host");

  TQVPDFPageInit page;
  memset(&page, 0, sizeof page);
  int32_t pictureHeight = 0;
  PictureSize(metafile, &page.Width, &pictureHeight);
  page.Height = pictureHeight + kCaptionHeight;
  page.XResolution = page.YResolution = kResolution;
  page.PageColor = QVPDF_COLOR_NONE;

  TQVPDFCommand place;
  memset(&place, 0, sizeof place);
  place.Width = page.Width;
  place.Height = pictureHeight;
  place.RecordForm = QVPDF_COMMAND_LONG_FORM;
  place.Metafile = metafile;

  int ok = e->doCommand(c, QVPDF_CMD_BEGIN_DOC, 0, output) == 0 &&
           e->initializePage(c, 0, &page) == 1 &&
           e->doCommand(c, QVPDF_CMD_BEGIN_PAGE, 0, NULL) == 0 &&
           e->doCommand(c, QVPDF_CMD_DRAW_METAFILE, 0, &place) == 0;
  if (ok) {
    PaintCaption(e, c, pictureHeight, page.Width);
    printf("page: %d x %d points\n", (int)e->xPos(c, page.Width), (int)e->yPos(c, page.Height));
  }
  if (e->doCommand(c, QVPDF_CMD_END_PAGE, 0, NULL) != 0) ok = 0;
  if (e->doCommand(c, QVPDF_CMD_END_DOC, 0, NULL) != 0) ok = 0;
  e->doCommand(c, QVPDF_CMD_CLOSE_OUTPUT_STREAM, 0, NULL);
  e->finalize(c);
  return ok;
}

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    fprintf(stderr, "usage: minimal_host IN.emf OUT.pdf [ENGINE]\n");
    return 2;
  }
  QvSetDebugLineHandler(&OnDebugLine, NULL);
  Engine engine;
  memset(&engine, 0, sizeof engine);
  int ok = LoadEngine(&engine, argc == 4 ? argv[3] : QVPDF_LIBRARY_NAME);
  if (ok) {
    int status = 0;
    const QvMetafileHandle metafile = QvGetEnhMetaFile(argv[1], &status);
    if (metafile == 0) {
      fprintf(stderr, "minimal_host: %s: %s\n", argv[1], QvMetafileStatusText(status));
      ok = 0;
    } else {
      ok = Convert(&engine, metafile, argv[2]);
      QvDeleteEnhMetaFile(metafile);
    }
  }
  if (engine.library != NULL) dlclose(engine.library);
  QvSetDebugLineHandler(NULL, NULL);
  if (!ok) fprintf(stderr, "minimal_host: the conversion failed\n");
  return ok ? 0 : 1;
}
