#include "ui/PicturesFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

// The tool answers at once; a hung one must not keep the panel from opening.
constexpr int kAnswerMilliseconds = 2000;

bool IsFolder(const QString& path) {
  return !path.isEmpty() && QFileInfo(path).isDir();
}

QString DesktopAnswer() {
  QProcess tool;
  tool.start(QStringLiteral("xdg-user-dir"), {QStringLiteral("PICTURES")});
  if (!tool.waitForFinished(kAnswerMilliseconds)) {
    tool.kill();
    tool.waitForFinished();
    return QString();
  }
  if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) return QString();
  return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

}  // namespace

QString PicturesFolder() {
  if (QString answer = DesktopAnswer(); IsFolder(answer)) return answer;
  if (QString pictures = QDir::home().filePath(QStringLiteral("Pictures")); IsFolder(pictures))
    return pictures;
  return QDir::homePath();
}
