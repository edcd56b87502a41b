// Pictures stored turned: jpegtran turns them upright into a hidden file of their own, which
// takes the picture's name once its EXIF block says that it stands upright; a turn that
// fails leaves the camera's picture under its name as it was stored, and says why.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "sim/PictureMaker.h"
#include "tests/camera/download_fixture.h"
#include "tests/camera/thumbs_pictures.h"
#include "tests/camera/turn_checks.h"
#include "tests/support/Environment.h"
#include "tests/support/Samples.h"

namespace download_test {
namespace {

using Names = std::vector<std::string>;
using testsupport::OnPath;

std::vector<uint8_t> Text(const std::string& text) {
  return {text.begin(), text.end()};
}

std::vector<std::string> Lines(const std::string& path) {
  std::vector<uint8_t> bytes = ReadFile(path);
  std::vector<std::string> lines;
  std::string line;
  for (uint8_t byte : bytes) {
    if (byte != '\n') {
      line += char(byte);
      continue;
    }
    lines.push_back(line);
    line.clear();
  }
  return lines;
}

std::string Angle(uint32_t orientation) {
  return orientation == 6 ? "90" : orientation == 7 ? "180" : "270";
}

std::vector<uint8_t> Long(int32_t value) {
  return Typed("LONG", &value, 4);
}

// A folder beside the download folder for the programs a test puts on PATH.
class Turn : public Download {
 protected:
  Turn() {
    tools_ = std::filesystem::temp_directory_path() / "pictrove_tools_XXXXXX";
    if (mkdtemp(tools_.data()) == nullptr) tools_.clear();
  }
  ~Turn() override {
    std::error_code error;
    std::filesystem::remove_all(tools_, error);
  }

  // A jpegtran of the test's own, the only program on PATH besides what /bin has. It is
  // given "-copy all -trim -rotate ANGLE -outfile OUTPUT INPUT": OUTPUT is "$7", INPUT "$8".
  void FakeJpegtran(const std::string& body) {
    WriteScript(tools_ + "/jpegtran", body);
    path_.emplace("PATH", tools_ + ":/usr/bin:/bin");
  }
  // No jpegtran anywhere.
  void NoJpegtran() { path_.emplace("PATH", tools_); }
  std::string Tool(const std::string& name) const { return tools_ + "/" + name; }

  std::string tools_;
  std::optional<EnvironmentSetting> path_;
};

// The turned file's EXIF segment is the camera's, but for the values of the entries that
// say how the picture stands and how large it is: same types, same places.
void ExpectUprightExif(const std::vector<uint8_t>& camera, const std::vector<uint8_t>& turned,
                       int width, int height) {
  ASSERT_EQ(turned.size(), camera.size());
  TurnEntries before = FindTurnEntries(camera);
  TurnEntries after = FindTurnEntries(turned);
  auto within = [](const std::optional<ExifValue>& value, size_t at) {
    return value && at >= value->offset && at < value->offset + value->size;
  };
  for (size_t at = 0; at < camera.size(); at++) {
    if (camera[at] == turned[at]) continue;
    EXPECT_TRUE(within(before.orientation, at) || within(before.width, at) ||
                within(before.height, at))
        << "changed at " << at;
  }
  ASSERT_EQ(after.orientation.has_value(), before.orientation.has_value());
  ASSERT_EQ(after.width.has_value(), before.width.has_value());
  ASSERT_EQ(after.height.has_value(), before.height.has_value());
  EXPECT_EQ(after.orientation.value_or(ExifValue{0, 0, 1}).value, 1u);
  EXPECT_EQ(after.width.value_or(ExifValue{0, 0, uint32_t(width)}).value, uint32_t(width));
  EXPECT_EQ(after.height.value_or(ExifValue{0, 0, uint32_t(height)}).value, uint32_t(height));
}

struct TurnCase {
  const char* label;
  const char* sample;  // a file of the real camera pictures; none: a generated 2272 x 1704 one
  uint32_t orientation;
  int width, height;  // of the turned picture, its partial edge blocks trimmed
};

void PrintTo(const TurnCase& turn, std::ostream* out) {
  *out << turn.label;
}

class RealTurn : public Turn, public testing::WithParamInterface<TurnCase> {};

TEST_P(RealTurn, KeepsAllTheCameraWroteButThePartialEdge) {
  if (!OnPath("jpegtran")) GTEST_SKIP() << "no jpegtran";
  const TurnCase& turn = GetParam();
  std::vector<uint8_t> stored;
  if (turn.sample != nullptr) {
    SKIP_WITHOUT_SAMPLES();
    stored = ReadFile(testsupport::SamplesDirectory() + "/" + turn.sample);
  } else {
    sim::PictureSpec spec;
    spec.name = kExampleName;
    spec.width = 2272;
    spec.height = 1704;
    spec.orientation = uint16_t(turn.orientation);
    spec.date = 1000;
    stored = sim::MakePicture(spec);
  }
  std::optional<Decoded> before = DecodePlanes(stored);
  ASSERT_TRUE(before);
  Put({kExampleName, 0x20, 1000, stored});
  Plug();
  std::unique_ptr<pic_Item> record =
      Record(kExamplePath, turn.orientation, uint32_t(before->width), uint32_t(before->height));
  ASSERT_TRUE(Get(kExamplePath, record.get()));
  EXPECT_TRUE(alerts.Texts().empty());
  EXPECT_EQ(printed, "\n rotate " + Angle(turn.orientation) + "\n");
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  std::vector<uint8_t> turned = ReadFile(kExampleName);

  // The same pixels as the camera's picture turned in memory, within the trimmed edge. The
  // components are compared as decoded, before the chroma is upsampled and converted to
  // RGB: the smoothing filter that upsampling applies does not turn with the picture and
  // reaches across the trimmed edge. A lossless turn moves and transposes the DCT blocks;
  // the decoder's inverse DCT rounds between its column and row passes, and a transposed
  // block runs them in the other order (and rounds negated halves upwards), so a sample
  // may come out 1 off, never more.
  std::optional<Decoded> after = DecodePlanes(turned);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->width, turn.width);
  EXPECT_EQ(after->height, turn.height);
  std::optional<int> difference =
      LargestDifference(*before, *after, std::stoi(Angle(turn.orientation)));
  ASSERT_TRUE(difference);
  EXPECT_LE(*difference, 1);

  // Every marker segment the camera wrote besides those that code the picture, in order and
  // as it was, the EXIF block but for orientation and size.
  std::vector<std::vector<uint8_t>> camera_segments = MetadataSegments(stored);
  std::vector<std::vector<uint8_t>> kept = MetadataSegments(turned);
  std::vector<uint8_t> exif = ExifSegment(stored);
  ASSERT_FALSE(exif.empty());
  ASSERT_EQ(kept.size(), camera_segments.size());
  for (size_t i = 0; i < kept.size(); i++) {
    if (camera_segments[i] == exif) {
      ExpectUprightExif(exif, kept[i], turn.width, turn.height);
    } else {
      EXPECT_EQ(kept[i], camera_segments[i]) << "segment " << i;
    }
  }
  if (turn.sample == nullptr) {
    TurnEntries entries = FindTurnEntries(exif);
    EXPECT_TRUE(entries.orientation && entries.width && entries.height);
  }

  // Typed and described as it shows.
  EXPECT_EQ(Attribute(kExampleName, "mime_type"), Text("image/jpeg"));
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Width"), Long(turn.width));
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Height"), Long(turn.height));
  EXPECT_TRUE(Attribute(kExampleName, "EXIF:Date"));
}

// 2272 x 1704 in 16 x 16 blocks leaves a partial row of blocks at the bottom; the 640 x 480
// IXUS picture has 16 x 8 blocks, which fit; the S40 picture (rescaled to 480 x 360, 16 x 16
// blocks) has a partial row too.
INSTANTIATE_TEST_SUITE_P(
    Pictures, RealTurn,
    testing::Values(TurnCase{"Generated6", nullptr, 6, 1696, 2272},
                    TurnCase{"Generated7", nullptr, 7, 2272, 1696},
                    TurnCase{"Generated8", nullptr, 8, 1704, 2272},
                    TurnCase{"Ixus6", "canon-ixus.jpg", 6, 480, 640},
                    TurnCase{"Ixus7", "canon-ixus.jpg", 7, 640, 480},
                    TurnCase{"Ixus8", "canon-ixus.jpg", 8, 480, 640},
                    TurnCase{"S40_6", "canon-powershot-s40-jfif.jpg", 6, 352, 480},
                    TurnCase{"S40_7", "canon-powershot-s40-jfif.jpg", 7, 480, 352},
                    TurnCase{"S40_8", "canon-powershot-s40-jfif.jpg", 8, 360, 480}),
    [](const testing::TestParamInfo<TurnCase>& info) { return info.param.label; });

class EachTurn : public Turn, public testing::WithParamInterface<uint32_t> {};

TEST_P(EachTurn, JpegtranTurnsTheDownloadedFileIntoAHiddenOne) {
  FakeJpegtran("printf '%s\\n' \"$@\" > " + Tool("args") + "\nls -A > " + Tool("folder") +
               "\ncp \"$8\" " + Tool("input") + "\ncp \"$8\" \"$7\"");
  uint32_t orientation = GetParam();
  sim::CameraFile file = listing_test::Picture(kExampleName, uint16_t(orientation));
  Put(file);
  Plug();
  ASSERT_TRUE(GetExample(orientation));
  EXPECT_TRUE(alerts.Texts().empty());
  EXPECT_EQ(printed, "\n rotate " + Angle(orientation) + "\n");

  Names args = Lines(Tool("args"));
  ASSERT_EQ(args.size(), 8u);
  EXPECT_EQ(Names(args.begin(), args.begin() + 6),
            (Names{"-copy", "all", "-trim", "-rotate", Angle(orientation), "-outfile"}));
  // Both inside the download folder, whatever the program's current folder.
  EXPECT_EQ(args[6].rfind("./.pictrove-", 0), 0u) << args[6];
  EXPECT_EQ(args[7].rfind("./.pictrove-", 0), 0u) << args[7];
  // While it ran, the folder held the two hidden files and nothing else.
  Names seen = Lines(Tool("folder"));
  std::sort(seen.begin(), seen.end());
  Names hidden = {args[6].substr(2), args[7].substr(2)};
  std::sort(hidden.begin(), hidden.end());
  EXPECT_EQ(seen, hidden);
  EXPECT_EQ(ReadFile(Tool("input")), file.bytes);

  // Its output takes the name, the EXIF block saying now that it stands upright; its size
  // is that of its frame (640 x 480: this jpegtran only copies).
  std::vector<uint8_t> expected = file.bytes;
  TurnEntries entries = FindTurnEntries(ExifSegment(file.bytes));
  ASSERT_TRUE(entries.orientation);
  expected[2 + entries.orientation->offset] = 1;  // after the start of image; Intel order
  EXPECT_EQ(ReadFile(kExampleName), expected);
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  EXPECT_EQ(Attribute(kExampleName, "mime_type"), Text("image/jpeg"));
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Width"), Long(640));
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Height"), Long(480));
  EXPECT_TRUE(Attribute(kExampleName, "EXIF:Date"));
}

INSTANTIATE_TEST_SUITE_P(Orientations, EachTurn, testing::Values(6u, 7u, 8u));

struct FailedCase {
  const char* label;
  const char* jpegtran;  // the fake's script; none: no jpegtran at all
  uint32_t orientation;
  const char* why;
};

void PrintTo(const FailedCase& failed, std::ostream* out) {
  *out << failed.label;
}

class FailedTurn : public Turn, public testing::WithParamInterface<FailedCase> {};

TEST_P(FailedTurn, LeavesTheCamerasPictureUnderItsName) {
  const FailedCase& failed = GetParam();
  if (failed.jpegtran != nullptr)
    FakeJpegtran(failed.jpegtran);
  else
    NoJpegtran();
  sim::CameraFile file = listing_test::Picture(kExampleName, uint16_t(failed.orientation));
  Put(file);
  Plug();
  ASSERT_TRUE(GetExample(failed.orientation));
  EXPECT_TRUE(alerts.Texts().empty());
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  EXPECT_EQ(ReadFile(kExampleName), file.bytes);
  // Typed, and described as it is stored: 640 wide, 480 high.
  EXPECT_EQ(Attribute(kExampleName, "mime_type"), Text("image/jpeg"));
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Width"), Long(640));
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Height"), Long(480));
  // One line says why.
  std::string start = "\n rotate " + Angle(failed.orientation) +
                      "\nIMG_1205.JPG kept as stored, not turned: " + failed.why;
  EXPECT_EQ(printed.substr(0, start.size()), start);
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 3);
  EXPECT_EQ(printed.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(
    Ways, FailedTurn,
    testing::Values(
        FailedCase{"ExitsWithStatus1", "echo half > \"$7\"\nexit 1", 6,
                   "jpegtran exited with status 1\n"},
        FailedCase{"KilledBySignal", "head -c 1000 \"$8\" > \"$7\"\nkill -9 $$", 8,
                   "jpegtran was killed by signal 9 ("},
        FailedCase{"Missing", nullptr, 7, "jpegtran not found (package libjpeg-turbo-progs)\n"},
        FailedCase{"WritesNoJpeg", "echo nonsense > \"$7\"", 6,
                   "jpegtran's picture has no frame size\n"},
        FailedCase{"PutsALinkInPlaceOfItsOutput", "ln -sf /nonexistent \"$7\"", 6,
                   "jpegtran's picture is no plain file"},
        // Its picture without the EXIF segment, which starts the camera's file.
        FailedCase{"DropsTheExifBlock",
                   "end=$(od -An -tu1 -j4 -N2 \"$8\" | awk '{ print 4 + $1 * 256 + $2 }')\n"
                   "{ head -c 2 \"$8\"; tail -c +$((end + 1)) \"$8\"; } > \"$7\"",
                   8, "its EXIF block cannot say it is upright ("}),
    [](const testing::TestParamInfo<FailedCase>& info) { return info.param.label; });

TEST_F(Turn, PictureJpegtranRefusesStaysAsStored) {
  if (!OnPath("jpegtran")) GTEST_SKIP() << "no jpegtran";
  sim::CameraFile file = Counting(5000);  // no JPEG at all
  Put(file);
  Plug();
  ASSERT_TRUE(GetExample(6));
  EXPECT_TRUE(alerts.Texts().empty());
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  EXPECT_EQ(ReadFile(kExampleName), file.bytes);
  EXPECT_NE(printed.find("IMG_1205.JPG kept as stored, not turned: jpegtran exited with status"),
            std::string::npos)
      << printed;
}

TEST_F(Turn, NameTakenDuringTheTransferIsNotOverwritten) {
  FakeJpegtran("touch " + Tool("ran") + "\ncp \"$8\" \"$7\"");
  camera = std::make_shared<IntrudingCamera>(kExampleName);
  Put(listing_test::Picture(kExampleName, 6));
  Plug();
  EXPECT_FALSE(GetExample(6));
  EXPECT_EQ(alerts.Texts(), Names{"The file already exists."});
  EXPECT_FALSE(std::filesystem::exists(Tool("ran")));
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  EXPECT_EQ(ReadFile(kExampleName), Text("mine"));
}

TEST_F(Turn, NameTakenWhileJpegtranRunsIsNotOverwritten) {
  FakeJpegtran("printf mine > IMG_1205.JPG\ncp \"$8\" \"$7\"");
  Put(listing_test::Picture(kExampleName, 8));
  Plug();
  EXPECT_FALSE(GetExample(8));
  EXPECT_EQ(alerts.Texts(), Names{"The file already exists."});
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  EXPECT_EQ(ReadFile(kExampleName), Text("mine"));
}

}  // namespace
}  // namespace download_test
