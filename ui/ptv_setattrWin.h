// The attributes window: for the pictures selected in the main window, what to do with the
// camera's "Downloaded" and "Delete protected" flags (Ignore, Set or Unset each). "Set" asks
// the application to apply both choices; the window stays open for the next selection.
#pragma once

#include <QWidget>
#include <cstdint>

#include "ui/WindowTarget.h"

class ptv_setattrWin : public QWidget {
 public:
  // Starts hidden with both groups on "Ignore"; "Set" posts the choices to `target`.
  // Closing the window deletes it.
  explicit ptv_setattrWin(WindowTarget target = WindowTarget());

  // 0 Ignore, 1 Unset, 2 Set.
  int32_t DownloadedChoice() const { return downloaded_; }
  int32_t ProtectedChoice() const { return protected_; }

 private:
  // A box of Ignore, Set and Unset buttons named "rbut<first>" onwards, "Ignore" on, whose
  // button switched on is kept in `choice`.
  void AddGroup(QWidget* parent, const char* name, const char* label, const QRect& frame, int first,
                int32_t* choice);
  void Apply();

  WindowTarget target_;
  int32_t downloaded_;
  int32_t protected_;
};

// Shows the attributes window in front, making one when there is none. GUI thread only.
void opensetattr();
// The attributes window as it is now; none when there is none.
ptv_setattrWin* SetattrWindow();
