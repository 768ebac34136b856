/* A host built against the installed package, outside the project: loads the installed engine
 * with dlopen and converts one enhanced metafile to a one-page PDF through the entry points.
 *
 *   consumer IN.emf OUT.pdf
 *
 * The engine's file is VELLORA_CONSUMER_ENGINE, given by the build from the package. The
 * program prints the file the engine was loaded from, so that the test can tell it is the
 * installed one. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>

#include "qvplatform/qvplatform_c.h"
#include "vellora/vellora.h"

#ifndef VELLORA_CONSUMER_ENGINE
#error "VELLORA_CONSUMER_ENGINE names the installed engine library"
#endif

typedef struct Engine {
  TQVPDFInitializeProc initialize;
  TQVPDFFinalizeProc finalize;
  TQVPDFSetIPropProc setIProp;
  TQVPDFDoProc doCommand;
  TQVPDFInitializePageProc initializePage;
} Engine;

static void* Entry(void* library, const char* name) {
  void* entry = dlsym(library, name);
  if (entry == NULL) fprintf(stderr, "consumer: the engine lacks %s\n", name);
  return entry;
}

static int LoadEngine(Engine* engine) {
  void* library = dlopen(VELLORA_CONSUMER_ENGINE, RTLD_NOW | RTLD_LOCAL);
  if (library == NULL) {
    fprintf(stderr, "consumer: %s\n", dlerror());
    return 0;
  }
  /* dlsym gives object pointers; POSIX guarantees they convert to function pointers. */
  *(void**)&engine->initialize = Entry(library, QVPDF_SYMBOL_INITIALIZE);
  *(void**)&engine->finalize = Entry(library, QVPDF_SYMBOL_FINALIZE);
  *(void**)&engine->setIProp = Entry(library, QVPDF_SYMBOL_SETIPROP);
  *(void**)&engine->doCommand = Entry(library, QVPDF_SYMBOL_DO);
  *(void**)&engine->initializePage = Entry(library, QVPDF_SYMBOL_INITIALIZEPAGE);
  if (!engine->initialize || !engine->finalize || !engine->setIProp || !engine->doCommand ||
      !engine->initializePage)
    return 0;
  Dl_info info;
  if (dladdr(*(void**)&engine->initialize, &info) != 0 && info.dli_fname != NULL)
    printf("engine: %s\n", info.dli_fname);
  return 1;
}

static void OnMessage(void* userData, int32_t kind, int32_t value, const char* text) {
  (void)userData;
  if (kind == QVPDF_CALLBACK_MESSAGE) fprintf(stderr, "consumer: message %d: %s\n", value, text);
}

/* One A4 page with the picture stretched over it. */
static int Convert(const Engine* engine, uint32_t metafile, char* output) {
  TQVPDFEngineContext* context = engine->initialize(QVPDF_INTERFACE_VERSION, &OnMessage, NULL);
  if (context == NULL) return 0;
  engine->setIProp(context, QVPDF_IPROP_COMPRESS_STREAM_METHOD, QVPDF_COMPRESS_FLATE);
  TQVPDFPageInit page = {0};
  page.Width = 595;
  page.Height = 842;
  page.XResolution = page.YResolution = 72;
  page.PageColor = QVPDF_COLOR_NONE;
  TQVPDFCommand place = {0};
  place.Width = page.Width;
  place.Height = page.Height;
  place.RecordForm = QVPDF_COMMAND_LONG_FORM;
  place.Metafile = metafile;
  int ok = engine->doCommand(context, QVPDF_CMD_BEGIN_DOC, 0, output) == 0 &&
           engine->initializePage(context, 0, &page) == 1 &&
           engine->doCommand(context, QVPDF_CMD_BEGIN_PAGE, 0, NULL) == 0 &&
           engine->doCommand(context, QVPDF_CMD_DRAW_METAFILE, 0, &place) == 0 &&
           engine->doCommand(context, QVPDF_CMD_END_PAGE, 0, NULL) == 0;
  if (engine->doCommand(context, QVPDF_CMD_END_DOC, 0, NULL) != 0) ok = 0;
  engine->doCommand(context, QVPDF_CMD_CLOSE_OUTPUT_STREAM, 0, NULL);
  engine->finalize(context);
  return ok;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: consumer IN.emf OUT.pdf\n");
    return 2;
  }
  Engine engine = {0};
  if (!LoadEngine(&engine)) return 1;
  int status = 0;
  const QvMetafileHandle metafile = QvGetEnhMetaFile(argv[1], &status);
  if (metafile == 0) {
    fprintf(stderr, "consumer: %s: %s\n", argv[1], QvMetafileStatusText(status));
    return 1;
  }
  const int ok = Convert(&engine, metafile, argv[2]);
  QvDeleteEnhMetaFile(metafile);
  if (!ok) fprintf(stderr, "consumer: the conversion failed\n");
  return ok ? 0 : 1;
}
