#include "cli/Listing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <ctime>

namespace {

const char* PowerState(uint16_t flags) {
  return (flags & 0x01) ? "critical" : "ok";
}

const char* PowerSource(uint16_t flags) {
  return (flags & 0x02) ? "AC adaptor" : "battery";
}

QJsonObject Facts(const CameraFacts& facts) {
  QJsonObject object;
  object["model"] = QString::fromUtf8(facts.cameramodel);
  object["owner"] = QString::fromUtf8(facts.ownername);
  object["storage_free"] = qint64(facts.diskfree);
  object["storage_total"] = qint64(facts.disktotal);
  object["power"] = QString::fromLatin1(PowerState(facts.powerflags));
  object["power_source"] = QString::fromLatin1(PowerSource(facts.powerflags));
  return object;
}

}  // namespace

std::string DateText(uint32_t date) {
  const time_t seconds = time_t(date);
  tm calendar{};
  gmtime_r(&seconds, &calendar);
  char text[32];
  strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &calendar);
  return text;
}

std::string PicturesText(const std::vector<Picture>& pictures) {
  std::string text;
  for (const Picture& picture : pictures) {
    // A plain picture's line stays as it always was: what else a row is and holds follows
    // its columns, the kind first.
    std::string more;
    if (picture.kind != FileKind::kPicture || !picture.companions.empty())
      more = std::string(" ") + KindWord(picture.kind);
    for (const CompanionFile& companion : picture.companions) more += " +" + companion.name;
    char line[512];
    snprintf(line, sizeof line, "%-12s %9u %5ux%-5u %s %-3s %-*s%s\n", picture.name.c_str(),
             picture.size, picture.width, picture.height, DateText(picture.date).c_str(),
             picture.New() ? "new" : "-", more.empty() ? 0 : 9,
             picture.Protected() ? "protected" : "-", more.c_str());
    text += line;
  }
  return text;
}

std::string PicturesJson(const std::vector<Picture>& pictures) {
  QJsonArray array;
  for (const Picture& picture : pictures) {
    QJsonObject object;
    object["name"] = QString::fromLatin1(picture.name.c_str());
    object["path"] = QString::fromLatin1(picture.path.c_str());
    object["kind"] = QString::fromLatin1(KindWord(picture.kind));
    object["size"] = qint64(picture.size);
    object["width"] = qint64(picture.width);
    object["height"] = qint64(picture.height);
    object["date"] = QString::fromStdString(DateText(picture.date));
    object["new"] = picture.New();
    object["protected"] = picture.Protected();
    QJsonArray companions;
    for (const CompanionFile& companion : picture.companions)
      companions.append(QJsonObject{{"name", QString::fromLatin1(companion.name.c_str())},
                                    {"size", qint64(companion.size)}});
    object["companions"] = companions;
    array.append(object);
  }
  return QJsonDocument(array).toJson(QJsonDocument::Indented).toStdString();
}

std::string FactsText(const CameraFacts& facts) {
  char text[512];
  // In the camera information window's words.
  snprintf(text, sizeof text,
           "model: %s\nowner: %s\nstorage: %u bytes free / %u bytes total\n"
           "power status: %s, running on %s\n",
           facts.cameramodel, facts.ownername, facts.diskfree, facts.disktotal,
           PowerState(facts.powerflags), PowerSource(facts.powerflags));
  return text;
}

std::string FactsJson(const CameraFacts& facts) {
  return QJsonDocument(Facts(facts)).toJson(QJsonDocument::Indented).toStdString();
}
