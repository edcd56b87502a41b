// What the program's windows share as desktop windows: the program's icon, an auxiliary
// window's place beside the main window, and Escape closing a window that has nothing to lose.
#pragma once

#include <QIcon>

class QWidget;

// The program's icon, from its packaged picture.
QIcon ProgramIcon();

// Before a window is first shown: it goes beside the main window (right, else left), else
// centred on it, always inside the main window's screen. Without a main window on screen
// the window keeps the place it has.
void PlaceBesideMainWindow(QWidget* window);

// Escape closes the window, as its title bar's close button does.
void CloseOnEscape(QWidget* window);
