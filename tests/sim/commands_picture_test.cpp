#include <gtest/gtest.h>

#include "tests/sim/commands_blocks.h"

namespace {

using simtest::CameraHost;
using simtest::Exchange;
using simtest::Little32;
using simtest::Noted;
using simtest::Silent;

const char* const kPath = "D:\\DCIM\\112CANON\\IMG_1205.JPG";

// A camera holding IMG_1205.JPG in 112CANON (attribute byte `attributes`) and one other
// picture beside it.
std::unique_ptr<CameraHost> CameraWithPicture(uint8_t attributes = 0x20) {
  auto host = std::make_unique<CameraHost>();
  host->Camera().AddFile("112CANON", {"IMG_1205.JPG", attributes, 7, {0xFF, 0xD8, 0xFF, 0xD9}});
  host->Camera().AddFile("112CANON", {"IMG_1206.JPG", 0x20, 8, {1, 2, 3}});
  return host;
}

std::vector<std::string> NamesIn(const sim::SimCamera& camera, const std::string& folder) {
  std::vector<std::string> names;
  for (const sim::CameraFolder& f : camera.Folders())
    if (f.name == folder)
      for (const sim::CameraFile& file : f.files) names.push_back(file.name);
  return names;
}

TEST(PictureCommands, BlocksAreLaidOutAsTheHostSendsThem) {
  std::vector<uint8_t> attributes = simtest::SetAttributesCommand(kPath, 0x01);
  ASSERT_EQ(attributes.size(), 114u);
  EXPECT_EQ(Little32(attributes, 0), 50u);
  EXPECT_EQ(std::string(attributes.begin() + 84, attributes.begin() + 100), "D:\\DCIM\\112CANON");
  EXPECT_EQ(attributes[100], 0);
  EXPECT_EQ(attributes[113], 0);
  std::vector<uint8_t> deletion = simtest::DeleteCommand(kPath);
  ASSERT_EQ(deletion.size(), 110u);
  EXPECT_EQ(Little32(deletion, 0), 46u);
  EXPECT_EQ(deletion[96], 0);
  EXPECT_EQ(std::string(deletion.begin() + 97, deletion.begin() + 109), "IMG_1205.JPG");
}

TEST(PictureCommands, SetAttributesStoresTheByteAndAnswersWithItsStatus) {
  auto host = CameraWithPicture(0x20);
  std::vector<uint8_t> reply;
  ASSERT_TRUE(Exchange(*host, simtest::SetAttributesCommand(kPath, 0x81), 84, &reply));
  EXPECT_EQ(Little32(reply, 80), 0x02000086u);
  EXPECT_EQ(Little32(reply, 0), 20u) << "the reply's own length word";
  EXPECT_EQ(reply[68], 0x0E);
  EXPECT_EQ(reply[71], 0x11);
  EXPECT_EQ(host->Camera().FindFile(kPath)->attributes, 0x81) << "every bit is carried";
  EXPECT_EQ(host->Camera().FindFile("D:\\DCIM\\112CANON\\IMG_1206.JPG")->attributes, 0x20);
  EXPECT_EQ(host->Camera().PendingReply(), 0u);
  EXPECT_TRUE(host->Camera().Problems().empty());

  std::vector<uint8_t> listing;
  ASSERT_TRUE(host->Send(simtest::ListingCommand("D:")));
  ASSERT_TRUE(host->ReadDataReply(&listing));
  std::string text(listing.begin(), listing.end());
  size_t entry = text.find("IMG_1205.JPG");
  ASSERT_NE(entry, std::string::npos);
  EXPECT_EQ(listing[entry - 10], 0x81) << "the listing shows the new byte";
}

TEST(PictureCommands, StatusWordsCanBeChanged) {
  auto host = CameraWithPicture(0x21);
  sim::StatusWords status;
  status.attributes_set = 0;
  status.deleted = 0;
  status.delete_refused = 0x11;
  status.no_picture = 0x22;
  host->Camera().SetStatus(status);
  EXPECT_EQ(host->Camera().Status().delete_refused, 0x11u);
  std::vector<uint8_t> reply;
  ASSERT_TRUE(Exchange(*host, simtest::SetAttributesCommand(kPath, 0x20), 84, &reply));
  EXPECT_EQ(Little32(reply, 80), 0u);
  EXPECT_EQ(host->Camera().FindFile(kPath)->attributes, 0x20);
  ASSERT_TRUE(Exchange(*host, simtest::DeleteCommand(kPath), 84, &reply));
  EXPECT_EQ(Little32(reply, 80), 0u) << "a camera that answers 0";
  EXPECT_FALSE(host->Camera().FindFile(kPath).has_value()) << "and still deletes";
  ASSERT_TRUE(Exchange(*host, simtest::DeleteCommand(kPath), 84, &reply));
  EXPECT_EQ(Little32(reply, 80), 0x22u);
}

TEST(PictureCommands, DeleteRemovesThePicture) {
  auto host = CameraWithPicture();
  std::vector<uint8_t> reply;
  ASSERT_TRUE(Exchange(*host, simtest::DeleteCommand(kPath), 84, &reply));
  EXPECT_EQ(Little32(reply, 80), 0x02000086u);
  EXPECT_EQ(reply[68], 0x0D);
  EXPECT_EQ(NamesIn(host->Camera(), "112CANON"), std::vector<std::string>{"IMG_1206.JPG"});
  EXPECT_TRUE(host->Camera().Problems().empty());
  ASSERT_TRUE(host->Send(simtest::PictureCommand(kPath, 0)));
  EXPECT_TRUE(Silent(*host, "no picture at")) << "its data is gone too";
}

TEST(PictureCommands, AProtectedPictureIsRefusedAndKept) {
  auto host = CameraWithPicture(0x21);
  std::vector<uint8_t> reply;
  ASSERT_TRUE(Exchange(*host, simtest::DeleteCommand(kPath), 84, &reply));
  EXPECT_EQ(Little32(reply, 80), 0x0200008Cu);
  EXPECT_NE(Little32(reply, 80), host->Camera().Status().deleted);
  EXPECT_EQ(NamesIn(host->Camera(), "112CANON"),
            (std::vector<std::string>{"IMG_1205.JPG", "IMG_1206.JPG"}));
  // Lifting the protection lets it go.
  ASSERT_TRUE(Exchange(*host, simtest::SetAttributesCommand(kPath, 0x20), 84, &reply));
  ASSERT_TRUE(Exchange(*host, simtest::DeleteCommand(kPath), 84, &reply));
  EXPECT_EQ(Little32(reply, 80), 0x02000086u);
  EXPECT_FALSE(host->Camera().FindFile(kPath).has_value());
}

TEST(PictureCommands, APathThatHoldsNothingIsAnsweredAndNoted) {
  const std::string missing = "D:\\DCIM\\112CANON\\IMG_9999.JPG";
  for (const auto& command :
       {simtest::SetAttributesCommand(missing, 0), simtest::DeleteCommand(missing)}) {
    auto host = CameraWithPicture();
    std::vector<uint8_t> reply;
    ASSERT_TRUE(Exchange(*host, command, 84, &reply));
    EXPECT_EQ(Little32(reply, 80), 0x0200008Au);
    EXPECT_TRUE(Noted(host->Camera(), "IMG_9999.JPG"));
    EXPECT_EQ(NamesIn(host->Camera(), "112CANON").size(), 2u);
  }
}

// Each is answered with nothing, noted with the reason, and changes nothing.
void ExpectRefused(std::vector<uint8_t> command, const std::string& reason) {
  auto host = CameraWithPicture();
  ASSERT_TRUE(host->Send(command)) << reason;
  EXPECT_TRUE(Silent(*host, reason)) << reason;
  EXPECT_EQ(host->Camera().FindFile(kPath)->attributes, 0x20) << reason;
  EXPECT_EQ(NamesIn(host->Camera(), "112CANON").size(), 2u) << reason;
}

// The block with the payload replaced, its length words made to fit.
std::vector<uint8_t> WithPayload(std::vector<uint8_t> command, const std::string& payload) {
  command.resize(80);
  command.insert(command.end(), payload.begin(), payload.end());
  uint32_t length_word = uint32_t(payload.size() + 16);
  for (size_t at : {0, 72})
    for (int i = 0; i < 4; ++i) command[at + i] = uint8_t(length_word >> (8 * i));
  return command;
}

TEST(PictureCommands, MalformedBlocksChangeNothing) {
  using std::string_literals::operator""s;
  std::vector<uint8_t> attributes = simtest::SetAttributesCommand(kPath, 0x01);
  std::vector<uint8_t> deletion = simtest::DeleteCommand(kPath);
  ExpectRefused(WithPayload(attributes, "\x01\0\0\0D:\\DCIM\\112CANON\\IMG_1205.JPG\0"s),
                "malformed set picture attributes payload");
  ExpectRefused(WithPayload(attributes, "\x01\0\0\0D:\\DCIM\\112CANON\0IMG_1205.JPG\0\0\0"s),
                "malformed set picture attributes payload");
  ExpectRefused(WithPayload(attributes, "\x01\0\x01\0D:\\DCIM\\112CANON\0IMG_1205.JPG\0"s),
                "malformed set picture attributes payload");
  ExpectRefused(WithPayload(attributes, "\x01\0\0"s), "malformed set picture attributes payload");
  ExpectRefused(WithPayload(deletion, "D:\\DCIM\\112CANON\\IMG_1205.JPG\0"s),
                "malformed delete picture payload");
  ExpectRefused(WithPayload(deletion, "\0IMG_1205.JPG\0"s), "malformed delete picture payload");
  ExpectRefused(WithPayload(deletion, "D:\\DCIM\\112CANON\0IMG_1205.JPG"s),
                "malformed delete picture payload");
  ExpectRefused(WithPayload(deletion, "D:\\DCIM\\112CANON\0IMG_1205.JPG\0x"s),
                "malformed delete picture payload");
  std::vector<uint8_t> wrong_request = deletion;
  wrong_request[4] = 0x02;
  ExpectRefused(wrong_request, "delete picture command with the wrong request word");
  std::vector<uint8_t> wrong_length = deletion;
  wrong_length[0] = wrong_length[72] = 47;
  ExpectRefused(wrong_length, "length word 47");
}

}  // namespace
