/* Links the C test of the public header against libvellora.so: the nine symbols resolve
 * (QVPDF_QVKEXEC through its asm label) and the entry points answer as the header says. */
#include <stddef.h>

#include "vellora/vellora.h"

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
extern const struct EngineEntries kEngineEntries;

int main(void) {
  TQVPDFEngineContext* context = kEngineEntries.initialize(QVPDF_INTERFACE_VERSION, NULL, NULL);
  int failures = 0;
  if (context == NULL) return 1;
  failures += kEngineEntries.doCommand(context, QVPDF_CMD_INTERFACE_VERSION, 0, NULL) !=
              QVPDF_ENGINE_INTERFACE_VERSION;
  failures += !kEngineEntries.setSProp(context, QVPDF_SPROP_TITLE, "C");
  failures += kEngineEntries.setIProp(context, 8 + 8, 0); /* key 16 is refused */
  failures += kEngineEntries.xPos(NULL, 7) != 7 || kEngineEntries.yPos(NULL, 8) != 8;
  failures += kEngineEntries.qvkExec(context, NULL, NULL, NULL, 0, 0) != 0; /* always 0 */
  failures += kEngineEntries.initializePage(context, 0, NULL) != 0;
  kEngineEntries.finalize(context);
  return failures == 0 ? 0 : 1;
}
