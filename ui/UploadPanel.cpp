#include "ui/UploadPanel.h"

#include <utility>

#include "app/messages.h"
#include "ui/SingleWindow.h"

namespace {

SingleWindow<UploadPanel>& Panel() {
  static SingleWindow<UploadPanel> panel;
  return panel;
}

}  // namespace

UploadPanel::UploadPanel(WindowTarget target) : target_(std::move(target)) {
  // Qt's own dialog: shown without a nested event loop, it never blocks a thread.
  setOption(QFileDialog::DontUseNativeDialog);
  setAcceptMode(QFileDialog::AcceptOpen);
  setFileMode(QFileDialog::ExistingFile);
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(QStringLiteral("pictrove : select file"));
  setLabelText(QFileDialog::Accept, QStringLiteral("Select"));
  // The dialog hides itself when it is answered or cancelled; a cancel asks nothing.
  connect(this, &QFileDialog::fileSelected, this, &UploadPanel::FileChosen);
}

void UploadPanel::FileChosen(const QString& file) {
  kit::Message message(kUpload);
  message.AddRef("refs", kit::EntryRef{QFile::encodeName(file).toStdString()});
  target_.Send(std::move(message));
}

void ShowUploadPanel() {
  BringToFront(Panel().Obtain([] { return new UploadPanel; }));
}

UploadPanel* CurrentUploadPanel() {
  return Panel().Get();
}
