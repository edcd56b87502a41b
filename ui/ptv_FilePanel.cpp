#include "ui/ptv_FilePanel.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFile>
#include <QFontMetrics>
#include <QPushButton>

#include "app/messages.h"
#include "ui/PicturesFolder.h"
#include "ui/PostToApp.h"

namespace {

const QString kCurrentDirLabel = QStringLiteral("Select Current Directory");
constexpr int kGap = 10;
constexpr int kPadding = 40;

kit::Message FolderMessage(uint32_t what, const QString& folder, bool deleting) {
  kit::Message message(what);
  message.AddRef("refs", kit::EntryRef{QFile::encodeName(folder).toStdString()});
  if (deleting) message.AddInt32("delete", 1);
  return message;
}

}  // namespace

ptv_FilePanel::ptv_FilePanel() {
  // Qt's own dialog: the extra button needs its widgets, and it never blocks a thread.
  setOption(QFileDialog::DontUseNativeDialog);
  setAcceptMode(QFileDialog::AcceptOpen);
  setFileMode(QFileDialog::Directory);
  setOption(QFileDialog::ShowDirsOnly);
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(QStringLiteral("pictrove : select directory"));
  setLabelText(QFileDialog::Accept, QStringLiteral("Select"));
  connect(this, &QFileDialog::filesSelected, this, &ptv_FilePanel::SelectChosen);
  HideFileTypes();
  AddCurrentDirButton();
  // Until a download folder is remembered, the panel opens where pictures belong.
  setDirectory(PicturesFolder());
}

void ptv_FilePanel::Show() {
  show();
  raise();
  activateWindow();
}

void ptv_FilePanel::HideFileTypes() {
  // No filter to choose: the row would only say "Directories", under the extra button.
  for (const char* name : {"fileTypeLabel", "fileTypeCombo"}) {
    if (auto* widget = findChild<QWidget*>(QLatin1String(name))) widget->hide();
  }
}

void ptv_FilePanel::AddCurrentDirButton() {
  auto* buttons = findChild<QDialogButtonBox*>();
  cancel_ = buttons != nullptr ? buttons->button(QDialogButtonBox::Cancel) : nullptr;
  if (cancel_ == nullptr) return;
  current_ = new QPushButton(kCurrentDirLabel, this);
  current_->setObjectName(QStringLiteral("current dir button"));
  connect(current_, &QPushButton::clicked, this, &ptv_FilePanel::SelectCurrent);
  // Cancel moves with the dialog's edges, within the boxes the layout moves; the button
  // follows it wherever the layout puts it.
  for (QWidget* moving = cancel_; moving != this; moving = moving->parentWidget())
    moving->installEventFilter(this);
  PlaceCurrentDirButton();
}

bool ptv_FilePanel::eventFilter(QObject* watched, QEvent* event) {
  const bool moved = event->type() == QEvent::Move || event->type() == QEvent::Resize;
  if (moved && current_ != nullptr) PlaceCurrentDirButton();
  return QFileDialog::eventFilter(watched, event);
}

void ptv_FilePanel::PlaceCurrentDirButton() {
  const QRect cancel(cancel_->mapTo(this, QPoint(0, 0)), cancel_->size());
  const int width = QFontMetrics(cancel_->font()).horizontalAdvance(kCurrentDirLabel) + kPadding;
  const int right = cancel.left() - kGap;
  current_->setGeometry(right - width + 1, cancel.top(), width, cancel.height());
}

void ptv_FilePanel::SelectCurrent() {
  PostToApp(FolderMessage(kSelectCurrent, directory().absolutePath(), deleting_));
}

void ptv_FilePanel::SelectChosen(const QStringList& folders) {
  if (!folders.isEmpty()) PostToApp(FolderMessage(kRefsReceived, folders.first(), deleting_));
}
