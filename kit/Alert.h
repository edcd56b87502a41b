// Modal alerts callable from any thread: from the GUI thread the alert runs there; from
// another thread it runs on the GUI thread while only the caller waits. The kit holds only
// the interface; the windows' own handler (Qt message boxes, ui/QtAlerts) is installed as
// the standard one by whoever has windows.
#pragma once

#include <string>
#include <vector>

namespace kit {

enum class AlertIcon { Info, Warning, Stop };

struct AlertRequest {
  std::string title;
  std::string text;
  // A second line under the text: what it concerns and what the user can do; may be empty.
  std::string detail;
  std::vector<std::string> buttons;  // left to right; the last is the default
  AlertIcon icon = AlertIcon::Warning;
  int escape_button = -1;  // the button Escape presses, or -1
};

class AlertHandler {
 public:
  virtual ~AlertHandler() = default;
  // The index of the button pressed.
  virtual int Show(const AlertRequest& request) = 0;
  // Told when the GUI thread's event loop has ended, or runs again (see SetGuiLoopEnded).
  virtual void GuiLoopEnded(bool) {}
};

// What an alert closed without a choice answers: the button Escape presses, else the default.
int EscapeAnswer(const AlertRequest& request);

// Shows the alert through the installed handler (the standard one unless a test installed
// its own) and returns the index of the button pressed. With no handler at all, the default
// button is pressed.
int ShowAlert(const AlertRequest& request);

// Replaces the handler; none restores the standard one. The caller keeps ownership.
void SetAlertHandler(AlertHandler* handler);

// The handler that shows alerts when no other is installed: the windows' own. The caller
// keeps ownership.
void SetStandardAlertHandler(AlertHandler* handler);

// Told when the GUI thread's event loop has ended (and when one runs again): from then on an
// alert asked for on another thread is answered at once as dismissed, as are those waiting,
// since nothing would ever show them. Passed to the standard handler.
void SetGuiLoopEnded(bool ended);

}  // namespace kit
