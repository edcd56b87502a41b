// Takes the README's screenshots: runs pictrove in-process on the demo's generated camera,
// opens each window through the program's own commands and saves it as a PNG file in the
// folder given. Meant for Xvfb, where no window manager adds frames, so a window's picture is
// its widget's own rendering:
//
//   QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" build/tools/pictrove-screenshots
//   docs
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPixmap>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/PictureList.h"
#include "app/messages.h"
#include "app/pic_Item.h"
#include "app/ptv_App.h"
#include "camera/DownloadAdvice.h"
#include "kit/Alert.h"
#include "kit/Platform.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "ui/QtAlerts.h"
#include "ui/QtAppWindows.h"
#include "ui/ptv_aboutWin.h"
#include "ui/ptv_camerainfoWin.h"
#include "ui/ptv_mainWin.h"
#include "ui/ptv_picListView.h"
#include "ui/ptv_setattrWin.h"
#include "ui/ptv_statusWin.h"

namespace {

constexpr char kNode[] = "/dev/bus/usb/001/002";
constexpr uint64_t kSlowBusBytesPerSecond = 200000;

// Serves the GUI thread's events until the condition holds; false after twenty seconds.
bool WaitFor(const std::function<bool()>& condition) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// Serves events for a while, so that queued layouts and repaints are done before a grab.
void Pump(int milliseconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  WaitFor([&] { return std::chrono::steady_clock::now() >= until; });
}

bool Fail(const std::string& what) {
  fprintf(stderr, "pictrove-screenshots: %s\n", what.c_str());
  return false;
}

// An alert means the program met an error, and a picture of that is no use: each one is
// answered with its escape button (else its default) so the run can end, and remembered.
class AlertCatcher : public kit::AlertHandler {
 public:
  int Show(const kit::AlertRequest& request) override {
    texts_.push_back(request.text);
    if (request.escape_button >= 0) return request.escape_button;
    return request.buttons.empty() ? 0 : int(request.buttons.size()) - 1;
  }
  const std::vector<std::string>& Texts() const { return texts_; }

 private:
  std::vector<std::string> texts_;
};

class Shooter {
 public:
  Shooter(QString output, std::shared_ptr<sim::SimCamera> camera)
      : output_(std::move(output)), camera_(std::move(camera)) {}

  // Starts the program as RunPictrove does, takes every picture and quits it again.
  bool Run() {
    auto application = std::make_unique<ptv_App>(windows_, [this] { quit_ = true; });
    app = application.get();
    app->Start();
    bool taken =
        Empty() && MainWindow() && Attributes() && CameraInfo() && About() && Status() && Alert();
    // What the Quit command sends, and there even when the main window never came.
    app->PostMessage(kit::Message(kQuitRequested));
    bool quit = WaitFor([this] { return quit_.load(); });
    application.reset();
    app = nullptr;
    return taken && (quit || Fail("the program did not quit"));
  }

 private:
  ptv_mainWin* Window() const {
    return app != nullptr ? dynamic_cast<ptv_mainWin*>(app->MainWin()) : nullptr;
  }

  // As the window's menus and buttons send them.
  void Command(uint32_t code) {
    kit::Message message(code);
    Window()->MessageReceived(&message);
  }

  // After `settle` milliseconds of events; none where the window must not move on meanwhile.
  bool Save(QWidget* window, const char* name, int settle = 300) {
    Pump(settle);
    QString path = QDir(output_).filePath(name);
    if (!window->grab().save(path, "PNG")) return Fail("cannot write " + path.toStdString());
    printf("%s\n", path.toLocal8Bit().constData());
    return true;
  }

  // The window as it opens before a camera is plugged in: nothing but its list's sentence.
  bool Empty() {
    ptv_mainWin empty;
    empty.show();
    if (!WaitFor([&] { return empty.isVisible(); })) return Fail("no empty window showed");
    return Save(&empty, "empty-window.png");
  }

  // Every row of the generated card listed with its thumbnail, in the window as it opens. Each
  // thumbnail file and sound note of that card goes with a movie, raw picture or picture.
  bool MainWindow() {
    size_t expected = 0;
    for (const sim::CameraFolder& folder : camera_->Folders())
      for (const sim::CameraFile& file : folder.files)
        expected += !file.name.ends_with(".THM") && !file.name.ends_with(".WAV");
    bool listed = WaitFor([&] {
      ptv_mainWin* window = Window();
      if (window == nullptr || !window->isVisible()) return false;
      std::lock_guard<std::recursive_mutex> guard(window->List().Mutex());
      if (size_t(window->List().CountItems()) != expected) return false;
      for (int row = 0; row < int(expected); row++)
        if (window->List().ItemAt(row)->Thumbnail() == nullptr) return false;
      return true;
    });
    if (!listed) return Fail("the pictures were not listed");
    return Save(Window(), "main-window.png");
  }

  // For the newest picture, as after a click on it.
  bool Attributes() {
    Window()->List().Select(0);
    Command(kAttributesCommand);
    if (!WaitFor([] { return SetattrWindow() != nullptr && SetattrWindow()->isVisible(); }))
      return Fail("the attributes window did not open");
    bool saved = Save(SetattrWindow(), "attributes-window.png");
    SetattrWindow()->close();
    return saved;
  }

  bool CameraInfo() {
    Command(kCameraInfoCommand);
    auto shown = [this] {
      return windows_.CameraInfoWindow() != nullptr && windows_.CameraInfoWindow()->isVisible();
    };
    if (!WaitFor(shown)) return Fail("the camera information window did not open");
    bool saved = Save(windows_.CameraInfoWindow(), "camera-info-window.png");
    windows_.CameraInfoWindow()->close();
    return saved;
  }

  bool About() {
    Command(kAboutCommand);
    if (!WaitFor([] { return AboutWindow() != nullptr && AboutWindow()->isVisible(); }))
      return Fail("the About window did not open");
    bool saved = Save(AboutWindow(), "about-window.png");
    AboutWindow()->close();
    return saved;
  }

  // Every picture downloaded over a slow bus into a scratch folder, taken when the bar stands
  // at about a third and the figures under it tell the rate: at full speed the dozen come
  // in less time than the figures take to show.
  bool Status() {
    QTemporaryDir folder;
    if (!folder.isValid()) return Fail("cannot make a download folder");
    camera_->PaceBulk(kSlowBusBytesPerSecond);
    Command(kSelectAll);
    kit::Message answer(kSelectCurrent);
    answer.AddRef("refs", {folder.path().toStdString()});
    app->PostMessage(answer);
    auto underway = [this] {
      ptv_statusWin* status = windows_.StatusWindow();
      if (status == nullptr || !status->isVisible()) return false;
      uint64_t value = status->View()->Value(), maximum = status->View()->Maximum();
      return value * 3 >= maximum && value < maximum &&
             status->View()->FiguresLine().endsWith(QStringLiteral(" left"));
    };
    if (!WaitFor(underway)) return Fail("no download was seen under way");
    bool saved = Save(windows_.StatusWindow(), "status-window.png", 0);
    bool done = WaitFor([this] { return !windows_.StatusWindow()->isVisible(); });
    return saved && (done || Fail("the download did not end"));
  }

  // An alert with its second line, as a download into a folder that has the picture shows it.
  bool Alert() {
    QMessageBox box;
    FillMessageBox(
        box, {"pictrove error",
              "The file already exists.",
              DownloadAdvice("The file already exists.", "IMG_0012.JPG", "/home/ann/Pictures"),
              {"Ok"}});
    box.show();
    if (!WaitFor([&] { return box.isVisible(); })) return Fail("no alert showed");
    return Save(&box, "alert.png");
  }

  QString output_;
  std::shared_ptr<sim::SimCamera> camera_;
  QtAppWindows windows_;
  std::atomic<bool> quit_{false};
};

// Runs the program on a fresh simulated camera with the stable look and saves the pictures
// into `output`, which is made when missing.
bool TakeScreenshots(const QString& output) {
  if (!QDir().mkpath(output)) return Fail("cannot make " + output.toStdString());
  // The download remembers its folder in the settings: keep the user's own out of it.
  QTemporaryDir config;
  if (!config.isValid()) return Fail("cannot make a settings folder");
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());

  QApplication::setStyle("Fusion");
  if (!QFontDatabase::families().contains("DejaVu Sans"))
    return Fail("the DejaVu Sans font is not installed");
  QApplication::setFont(QFont("DejaVu Sans", 9));

  auto platform = std::make_shared<sim::SimPlatform>();
  auto camera = std::make_shared<sim::SimCamera>(sim::kDefaultCameraProduct);
  if (camera->LoadGenerated() == 0) return Fail("the camera holds no pictures");
  platform->Bus().Plug(kNode, camera);
  kit::InstallPlatform(platform);
  AlertCatcher alerts;
  kit::SetAlertHandler(&alerts);
  bool taken = Shooter(output, camera).Run();
  kit::SetAlertHandler(nullptr);
  kit::InstallPlatform(nullptr);
  for (const std::string& text : alerts.Texts()) Fail("alert: " + text);
  return taken && alerts.Texts().empty();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QStringList arguments = qt.arguments();
  if (arguments.size() != 2) {
    fprintf(stderr, "usage: pictrove-screenshots FOLDER\n");
    return 2;
  }
  // Absolute, since the download changes the working directory.
  return TakeScreenshots(QDir(arguments[1]).absolutePath()) ? 0 : 1;
}
