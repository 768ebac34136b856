/* The public header as a C program sees it: every entry point and record type is usable from
 * C11, and each entry point has the type of its pointer typedef (what a host that uses dlsym
 * declares). Compiled as C and, by a second check, as C++. */
#include "vellora/vellora.h"

#include <string.h>

struct EngineEntries {
  TQVPDFInitializeProc initialize;
  TQVPDFFinalizeProc finalize;
  TQVPDFSetSPropProc setSProp;
  TQVPDFSetIPropProc setIProp;
  TQVPDFDoProc doCommand;
  TQVPDFInitializePageProc initializePage;
  TQVPDFQVKExecProc qvkExec;
  TQVPDFPosProc xPos;
  TQVPDFPosProc yPos;
};

/* Not static, so that the object file references all nine symbols. */
extern const struct EngineEntries kEngineEntries;
const struct EngineEntries kEngineEntries = {
    &QVPDF_Initialize,     &QVPDF_Finalize, &QVPDF_SetSProp, &QVPDF_SetIProp, &QVPDF_Do,
    &QVPDF_InitializePage, &QVPDF_QVKEXEC,  &QVPDF_XPOS,     &QVPDF_YPOS,
};

/* A host's use of the records, in C: zero-filled, then the fields a command reads. */
int32_t DrawMetafileFromC(TQVPDFEngineContext* context, uint32_t metafile);
int32_t DrawMetafileFromC(TQVPDFEngineContext* context, uint32_t metafile) {
  TQVPDFPageInit page;
  TQVPDFCommand command;
  memset(&page, 0, sizeof page);
  memset(&command, 0, sizeof command);
  page.Width = 595;
  page.Height = 842;
  page.XResolution = page.YResolution = 72;
  page.PageColor = QVPDF_COLOR_NONE;
  if (QVPDF_InitializePage(context, 0, &page) != 1) return -1;
  command.Width = page.Width;
  command.Height = page.Height;
  command.Arg1 = command.Arg2 = 72;
  command.RecordForm = QVPDF_COMMAND_LONG_FORM;
  command.Metafile = metafile;
  return QVPDF_Do(context, QVPDF_CMD_DRAW_METAFILE, 0, &command);
}

QVPDF_STATIC_ASSERT(sizeof(TQVPDFCommand) == 640, "command record as C sees it");
QVPDF_STATIC_ASSERT(sizeof(TQVPDFElement) == 280, "element record as C sees it");
