// Ctrl+C and a service manager's stop: the run in flight is asked to stop at its next piece
// of picture data (the application drops that picture's partial file), and the program
// ends with the signal's status. A second signal ends the program at once.
#pragma once

void InstallInterruptHandlers();
// The signal that asked the program to stop, or 0.
int Interrupted();
// Asks the running download to stop again when a signal has come: a run that starts after
// the signal clears the request it finds.
void RepeatCancel();
