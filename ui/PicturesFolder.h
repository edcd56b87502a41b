// Where the download folder panel starts before any folder has been remembered: the user's
// pictures folder as the desktop names it.
#pragma once

#include <QString>

// What `xdg-user-dir PICTURES` answers (run as a program, never through a shell) when that
// is a folder; else ~/Pictures when it is one; else the home folder.
QString PicturesFolder();
