// pictrove-cli clock [--set] [--json]: the camera's clock, set to the computer's local time
// first with --set.
#include <QJsonDocument>
#include <QJsonObject>

#include "app/ClockText.h"
#include "cli/Commands.h"

namespace {

std::string ClockJson(const CameraFacts& facts) {
  QJsonObject object;
  object["clock"] = QString::fromStdString(ClockTime(facts.clock, true));
  object["seconds"] = qint64(facts.clock);
  object["ahead"] = qint64(facts.clock_ahead);
  return QJsonDocument(object).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace

int ShowClock(CommandContext& context) {
  CameraFacts facts;
  if (context.options.set) {
    bool set = false;
    context.session.Run([&] { set = context.session.App().SetCameraClock(); });
    // The application read the clock back into the window's facts.
    if (!set) return 1;
    facts = context.windows.Facts();
  } else {
    facts = ReadFacts(context);
  }
  if (!facts.clock_read) {
    context.progress.Say("pictrove-cli: the camera's clock could not be read", context.errors);
    return 1;
  }
  std::string text = context.options.json ? ClockJson(facts) : ClockLine(facts) + "\n";
  fputs(text.c_str(), context.out);
  return 0;
}
