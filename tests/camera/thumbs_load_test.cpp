// Loading the pictures of a listing from the simulated camera: records, camera paths,
// thumbnail commands, decoding, turning, failures and the final order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/pic_Item.h"
#include "camera/ixus_dir.h"
#include "camera/ixus_thumbs.h"
#include "tests/camera/listing_bytes.h"
#include "tests/camera/listing_camera.h"
#include "tests/camera/thumbs_host.h"
#include "tests/camera/thumbs_pictures.h"

namespace listing_test {
namespace {

std::vector<std::string> NamesOf(const RecordingHost& host) {
  std::vector<std::string> names;
  for (const auto& item : host.items) names.push_back(item->GetName());
  return names;
}

struct Thumbs : testing::Test {
  RecordingHost host;
  std::shared_ptr<sim::SimCamera> camera = std::make_shared<sim::SimCamera>();
  std::string printed;

  // The listing, read before any fault is armed.
  ixus_direntry* Listing(const PluggedDevice& plugged) {
    testing::internal::CaptureStderr();
    ixus_direntry* first = ixus_getdir(plugged.Device(), host.CameraBuffer(), nullptr);
    testing::internal::GetCapturedStderr();
    return first;
  }

  void LoadThumbs(const PluggedDevice& plugged, ixus_direntry* first) {
    testing::internal::CaptureStderr();
    ixus_getthumbs(plugged.Device(), host.CameraBuffer(), first);
    printed = testing::internal::GetCapturedStderr();
    ixus_freedir(first);
  }

  void Load(const PluggedDevice& plugged) { LoadThumbs(plugged, Listing(plugged)); }
};

TEST_F(Thumbs, CameraPathsOfTheExampleTree) {
  camera->AddFile("112CANON", Picture("IMG_1205.JPG", 1));
  camera->AddFile("113CANON", Picture("IMG_1300.JPG", 1));
  PluggedDevice plugged(camera);
  Load(plugged);
  EXPECT_EQ(NamesOf(host), (std::vector<std::string>{"D:\\DCIM\\112CANON\\IMG_1205.JPG",
                                                     "D:\\DCIM\\113CANON\\IMG_1300.JPG"}));
  EXPECT_TRUE(camera->Problems().empty()) << camera->Problems()[0];
  EXPECT_EQ(camera->PendingReply(), 0u);
  EXPECT_EQ(printed, "");
}

TEST_F(Thumbs, ThumbnailCommandBytes) {
  camera->AddFile("100CANON", Picture("IMG_0001.JPG", 1));
  PluggedDevice plugged(camera);
  ixus_direntry* first = Listing(plugged);
  camera->ClearTransfers();
  LoadThumbs(plugged, first);
  std::vector<sim::TransferRecord> commands = plugged.Commands();
  ASSERT_EQ(commands.size(), 1u);
  const std::string path = "D:\\DCIM\\100CANON\\IMG_0001.JPG";
  std::vector<uint8_t> expected(path.size() + 89);
  expected[0] = uint8_t(path.size() + 25);
  expected[4] = 0x02;
  expected[5] = 0x02;
  expected[64] = 0x02;
  expected[68] = 1;
  expected[71] = 0x11;
  expected[72] = uint8_t(path.size() + 25);
  expected[76] = 0x78;
  expected[77] = 0x56;
  expected[78] = 0x34;
  expected[79] = 0x12;
  expected[80] = 1;
  expected[85] = 0x14;
  std::copy(path.begin(), path.end(), expected.begin() + 88);
  EXPECT_EQ(commands[0].data, expected);
  EXPECT_EQ(commands[0].request_type, 0x40);
  EXPECT_EQ(commands[0].request, 0x04);
  EXPECT_EQ(commands[0].value, 0x10);
  // The header, then the data in pieces of at most 4096 bytes.
  std::vector<uint32_t> reads = plugged.BulkRequests();
  ASSERT_GE(reads.size(), 2u);
  EXPECT_EQ(reads[0], 64u);
  for (size_t i = 1; i < reads.size(); i++) EXPECT_LE(reads[i], 4096u);
}

TEST_F(Thumbs, RecordFromListingAndExif) {
  sim::CameraFile file = Picture("IMG_0001.JPG", 1, 1000000000, 0x21, 0x19);
  camera->AddFile("100CANON", file);
  PluggedDevice plugged(camera);
  Load(plugged);
  ASSERT_EQ(host.items.size(), 1u);
  const pic_Item& record = *host.items[0];
  EXPECT_EQ(record.attributes, 0x21u);
  EXPECT_EQ(record.size, file.bytes.size());
  EXPECT_EQ(record.date, 1000000000u);
  EXPECT_EQ(record.xres, 640u);
  EXPECT_EQ(record.yres, 480u);
  EXPECT_EQ(record.flash, 0x19u);
  EXPECT_EQ(record.orientation, 1u);
  ASSERT_NE(record.Thumbnail(), nullptr);
  std::unique_ptr<kit::Bitmap> embedded = EmbeddedThumbnail(file.bytes);
  ASSERT_NE(embedded, nullptr);
  EXPECT_EQ(record.Thumbnail()->Width(), 160);
  EXPECT_EQ(record.Thumbnail()->Height(), 120);
  ASSERT_EQ(record.Thumbnail()->BitsLength(), embedded->BitsLength());
  EXPECT_TRUE(std::equal(embedded->Bits(), embedded->Bits() + embedded->BitsLength(),
                         record.Thumbnail()->Bits()));
}

// Loads one picture of that orientation: its record's thumbnail and the one it carries.
struct Turned {
  std::unique_ptr<kit::Bitmap> stored;
  const kit::Bitmap* loaded = nullptr;
};

class Orientation : public Thumbs {
 protected:
  Turned LoadOne(uint16_t orientation) {
    sim::CameraFile file = Picture("IMG_0001.JPG", orientation);
    camera->AddFile("100CANON", file);
    plugged_ = std::make_unique<PluggedDevice>(camera);
    Load(*plugged_);
    Turned turned{EmbeddedThumbnail(file.bytes), nullptr};
    if (host.items.size() == 1) turned.loaded = host.items[0]->Thumbnail();
    return turned;
  }
  std::unique_ptr<PluggedDevice> plugged_;
};

TEST_F(Orientation, SixIsTurnedClockwise) {
  Turned turned = LoadOne(6);
  ASSERT_NE(turned.stored, nullptr);
  ASSERT_NE(turned.loaded, nullptr);
  const kit::Bitmap& stored = *turned.stored;
  ASSERT_EQ(turned.loaded->Width(), stored.Height());
  ASSERT_EQ(turned.loaded->Height(), stored.Width());
  int last_row = stored.Height() - 1;
  for (int y = 0; y < stored.Height(); y++)
    for (int x = 0; x < stored.Width(); x++)
      ASSERT_EQ(turned.loaded->PixelAt(last_row - y, x), stored.PixelAt(x, y)) << x << "," << y;
  EXPECT_EQ(host.items[0]->orientation, 6u);
}

TEST_F(Orientation, EightIsTurnedCounterClockwise) {
  Turned turned = LoadOne(8);
  ASSERT_NE(turned.stored, nullptr);
  ASSERT_NE(turned.loaded, nullptr);
  const kit::Bitmap& stored = *turned.stored;
  ASSERT_EQ(turned.loaded->Width(), stored.Height());
  int last_column = stored.Width() - 1;
  for (int y = 0; y < stored.Height(); y++)
    for (int x = 0; x < stored.Width(); x++)
      ASSERT_EQ(turned.loaded->PixelAt(y, last_column - x), stored.PixelAt(x, y)) << x << "," << y;
}

// Half turns (3 and 7) are turned at load too: see the table of orientation codes.
TEST_F(Orientation, NoTurnIsLeftAsStored) {
  for (uint16_t orientation : {1, 0}) {
    host.items.clear();
    camera = std::make_shared<sim::SimCamera>();
    Turned turned = LoadOne(orientation);
    ASSERT_NE(turned.stored, nullptr);
    ASSERT_NE(turned.loaded, nullptr) << orientation;
    EXPECT_EQ(turned.loaded->Width(), turned.stored->Width()) << orientation;
    EXPECT_EQ(turned.loaded->PixelAt(3, 100), turned.stored->PixelAt(3, 100)) << orientation;
  }
}

TEST_F(Thumbs, AddedInListingOrderThenSortedNewestFirst) {
  camera->AddFile("100CANON", Picture("IMG_0001.JPG", 1, 100));
  camera->AddFile("100CANON", Picture("IMG_0002.JPG", 1, 0x80000001));
  camera->AddFile("100CANON", Picture("IMG_0003.JPG", 1, 200));
  camera->AddFile("101CANON", Picture("IMG_0004.JPG", 1, 0));
  PluggedDevice plugged(camera);
  Load(plugged);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"add D:\\DCIM\\100CANON\\IMG_0001.JPG",
                                                  "add D:\\DCIM\\100CANON\\IMG_0002.JPG",
                                                  "add D:\\DCIM\\100CANON\\IMG_0003.JPG",
                                                  "add D:\\DCIM\\101CANON\\IMG_0004.JPG", "sort"}));
  std::vector<uint32_t> dates;
  for (const auto& item : host.items) dates.push_back(item->date);
  EXPECT_EQ(dates, (std::vector<uint32_t>{0x80000001, 200, 100, 0}));
}

// Decoding goes on while the next thumbnail crosses the bus: a record may come a command or
// more after its own, but complete and in order, and all before the load ends.
TEST_F(Thumbs, EachRecordIsAddedCompleteInOrder) {
  for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"})
    camera->AddFile("100CANON", Picture(name, 6, 5000, 0x21));
  PluggedDevice plugged(camera);
  ixus_direntry* first = Listing(plugged);
  camera->ClearTransfers();
  std::vector<size_t> commands_seen;
  std::vector<std::string> names;
  host.on_add = [&](const pic_Item& record) {
    commands_seen.push_back(plugged.Commands().size());
    names.push_back(record.GetName());
    EXPECT_EQ(record.size, camera->Folders()[0].files[0].bytes.size());
    EXPECT_EQ(record.date, 5000u);
    EXPECT_EQ(record.attributes, 0x21u);
    EXPECT_EQ(record.orientation, 6u);
    ASSERT_NE(record.Thumbnail(), nullptr);
    EXPECT_EQ(record.Thumbnail()->Height(), 160);
  };
  LoadThumbs(plugged, first);
  ASSERT_EQ(commands_seen.size(), 3u);
  for (size_t i = 0; i < commands_seen.size(); ++i) EXPECT_GE(commands_seen[i], i + 1);
  EXPECT_THAT(names, testing::ElementsAre(testing::EndsWith("IMG_0001.JPG"),
                                          testing::EndsWith("IMG_0002.JPG"),
                                          testing::EndsWith("IMG_0003.JPG")));
}

// Whichever transfer of a thumbnail fails, the picture is listed without one, with the
// listing's values. Transfers: 1 the command, 2 the header, 3 the data.
TEST_F(Thumbs, FailedThumbnailLeavesThePictureWithoutOne) {
  const std::pair<uint64_t, const char*> cases[] = {
      {1, "Error in getthumb 1\n"}, {2, "Error in getthumb 2\n"}, {3, ""}};
  for (auto [transfer, message] : cases) {
    host.items.clear();
    camera = std::make_shared<sim::SimCamera>();
    camera->AddFile("100CANON", Picture("IMG_0001.JPG", 6, 300, 0x01));
    PluggedDevice plugged(camera);
    ixus_direntry* first = Listing(plugged);
    camera->FailTransfer(plugged.Next(transfer));
    LoadThumbs(plugged, first);
    EXPECT_EQ(printed, message);
    ASSERT_EQ(host.items.size(), 1u);
    const pic_Item& failed = *host.items[0];
    EXPECT_STREQ(failed.GetName(), "D:\\DCIM\\100CANON\\IMG_0001.JPG");
    EXPECT_EQ(failed.Thumbnail(), nullptr) << transfer;
    EXPECT_EQ(failed.xres, 0u);
    EXPECT_EQ(failed.orientation, 0u);
    EXPECT_EQ(failed.attributes, 0x01u);
    EXPECT_EQ(failed.date, 300u);
    EXPECT_EQ(failed.size, camera->Folders()[0].files[0].bytes.size());
    EXPECT_EQ(host.calls.back(), "sort");
  }
}

TEST_F(Thumbs, PictureAfterAFailedCommandLoads) {
  camera->AddFile("100CANON", Picture("IMG_0001.JPG", 6, 300));
  camera->AddFile("100CANON", Picture("IMG_0002.JPG", 1, 200));
  PluggedDevice plugged(camera);
  ixus_direntry* first = Listing(plugged);
  camera->FailTransfer(plugged.Next(1));
  LoadThumbs(plugged, first);
  ASSERT_EQ(host.items.size(), 2u);
  EXPECT_EQ(host.items[0]->Thumbnail(), nullptr);
  ASSERT_NE(host.items[1]->Thumbnail(), nullptr);
  EXPECT_EQ(host.items[1]->orientation, 1u);
  EXPECT_EQ(host.items[1]->Thumbnail()->Width(), 160);
}

TEST_F(Thumbs, ShortReadsStillGiveTheThumbnail) {
  camera->AddFile("100CANON", Picture("IMG_0001.JPG", 8));
  PluggedDevice plugged(camera);
  ixus_direntry* first = Listing(plugged);
  camera->ShortenTransfer(plugged.Next(2), 30);
  camera->ShortenTransfer(plugged.Next(4), 0);
  camera->ShortenTransfer(plugged.Next(5), 700);
  LoadThumbs(plugged, first);
  ASSERT_EQ(host.items.size(), 1u);
  ASSERT_NE(host.items[0]->Thumbnail(), nullptr);
  EXPECT_EQ(host.items[0]->Thumbnail()->Width(), 120);
  EXPECT_EQ(camera->PendingReply(), 0u);
}

TEST_F(Thumbs, UndecodableThumbnailKeepsTheExifValues) {
  sim::CameraFile file = Picture("IMG_0001.JPG", 6);
  file.bytes = WithBrokenThumbnail(file.bytes);
  camera->AddFile("100CANON", file);
  PluggedDevice plugged(camera);
  pic_Item record;
  testing::internal::CaptureStderr();
  bool read = ixus_getthumb(plugged.Device(), host.CameraBuffer(),
                            "D:\\DCIM\\100CANON\\IMG_0001.JPG", &record);
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(read);
  EXPECT_EQ(record.Thumbnail(), nullptr);
  EXPECT_EQ(record.xres, 640u);
  EXPECT_EQ(record.orientation, 6u);
  EXPECT_EQ(camera->PendingReply(), 0u);
}

TEST_F(Thumbs, EmptyThumbnailReplyIsReadWithoutThumbnail) {
  camera->AddFile("100CANON", {"IMG_0001.JPG", 0x20, 7, {1, 2, 3, 4}});
  PluggedDevice plugged(camera);
  pic_Item record;
  EXPECT_TRUE(ixus_getthumb(plugged.Device(), host.CameraBuffer(),
                            "D:\\DCIM\\100CANON\\IMG_0001.JPG", &record));
  EXPECT_EQ(record.Thumbnail(), nullptr);
  EXPECT_EQ(plugged.BulkRequests(), (std::vector<uint32_t>{64}));
}

TEST_F(Thumbs, NoInputPipeNoTransfer) {
  auto device = std::make_shared<sim::SimDevice>(sim::MakeEndpointlessSet(0x04A9, 0x3049));
  PluggedDevice plugged(device);
  pic_Item record;
  EXPECT_FALSE(ixus_getthumb(plugged.Device(), host.CameraBuffer(), "D:\\A.JPG", &record));
  EXPECT_TRUE(plugged.Transfers().empty());
}

TEST_F(Thumbs, PathsUpTo255CharactersAreLoaded) {
  // D:\DCIM\ and \IMG_0001.JPG take 21 characters.
  camera->AddFile(std::string(234, 'F'), Picture("IMG_0001.JPG", 1));
  camera->AddFile(std::string(235, 'G'), Picture("IMG_0002.JPG", 1));
  camera->AddFile("100CANON", Picture("IMG_0003.JPG", 1));
  PluggedDevice plugged(camera);
  ixus_direntry* first = Listing(plugged);
  camera->ClearTransfers();
  LoadThumbs(plugged, first);
  // The camera lists its 100CANON folder first.
  std::vector<std::string> names = NamesOf(host);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], "D:\\DCIM\\100CANON\\IMG_0003.JPG");
  EXPECT_EQ(names[1].size(), 255u);
  EXPECT_NE(host.items[1]->Thumbnail(), nullptr);
  EXPECT_EQ(printed, "Camera path too long, IMG_0002.JPG not loaded.\n");
  EXPECT_EQ(plugged.Commands().size(), 2u);
}

TEST_F(Thumbs, LongPathIsNotSent) {
  PluggedDevice plugged(camera);
  pic_Item record;
  std::string path = "D:\\" + std::string(253, 'X');
  EXPECT_FALSE(ixus_getthumb(plugged.Device(), host.CameraBuffer(), path.c_str(), &record));
  EXPECT_TRUE(plugged.Transfers().empty());
}

TEST_F(Thumbs, DotDotAtTheTopStaysOnTheDrive) {
  sim::CameraFile picture = Picture("IMG_0001.JPG", 1);
  camera->AddFile("100CANON", picture);
  PluggedDevice plugged(camera);
  std::vector<uint8_t> bytes = EncodeListing({{0x10, 0, 0, ".."},
                                              {0x10, 0, 0, "D:"},
                                              {0x10, 0, 0, ".."},
                                              {0x10, 0, 0, ".."},
                                              {0x10, 0, 0, ".\\DCIM"},
                                              {0x10, 0, 0, ".\\100CANON"},
                                              {0x20, picture.Size(), 10, "IMG_0001.JPG"}});
  testing::internal::CaptureStderr();
  ixus_direntry* first = ixus_parsedir(bytes.data(), bytes.size());
  testing::internal::GetCapturedStderr();
  LoadThumbs(plugged, first);
  EXPECT_EQ(NamesOf(host), (std::vector<std::string>{"D:\\DCIM\\100CANON\\IMG_0001.JPG"}));
  ASSERT_EQ(host.items.size(), 1u);
  EXPECT_NE(host.items[0]->Thumbnail(), nullptr);
}

TEST_F(Thumbs, EmptyListingStillSorts) {
  PluggedDevice plugged(camera);
  LoadThumbs(plugged, nullptr);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"sort"}));
  EXPECT_TRUE(plugged.Transfers().empty());
}

}  // namespace
}  // namespace listing_test
