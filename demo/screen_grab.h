// The program's screenshot mode, for checking what it shows on a real display: with
// BRENLOW_GRAB_DIR set, the program takes its main window and then its open property dialog
// from the screen into brenlow-window.png and brenlow-dialog.png there, and quits.
#pragma once

namespace brenlow {

class TForm1;

// Schedules the grabs when the environment asks for them; false otherwise.
bool ScheduleScreenGrab(TForm1& form);

}  // namespace brenlow
