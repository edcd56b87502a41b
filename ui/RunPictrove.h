// The program's life: the application thread and the GUI thread, from start to quit.
#pragma once

class QApplication;

// Runs pictrove on the installed platform until the user quits; the exit status.
int RunPictrove(QApplication& qt);
