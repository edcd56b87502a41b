// Requests in the forms that cameras take although pictrove does not send them: each is
// answered as pictrove's own form would be, and noted as a problem.
#include <gtest/gtest.h>

#include "tests/sim/commands_blocks.h"

namespace {

using simtest::CameraHost;
using simtest::Little32;

const char* const kPath = "D:\\DCIM\\100CANON\\IMG_0001.JPG";

// The command with its tag word replaced and, when asked, one more NUL after its payload.
std::vector<uint8_t> Lenient(std::vector<uint8_t> command, uint32_t tag, bool trailing_nul) {
  for (int i = 0; i < 4; ++i) command[76 + i] = uint8_t(tag >> (8 * i));
  if (trailing_nul) {
    command.push_back(0);
    for (size_t at : {0, 72}) ++command[at];
  }
  return command;
}

std::unique_ptr<CameraHost> CameraWithPictures() {
  auto host = std::make_unique<CameraHost>();
  host->Camera().AddFile("100CANON", {"IMG_0001.JPG", 0x20, 0x3B2A1F00, {0xFF, 0xD8, 0xFF, 0xD9}});
  host->Camera().AddFile("100CANON", {"IMG_0002.JPG", 0x00, 0x01020304, {1, 2, 3}});
  host->Camera().AddFile("101CANON", {"IMG_0100.JPG", 0x21, 5, {4}});
  return host;
}

// The whole reply to the command: a fixed-size one of `size` bytes, or with `size` 0 the
// data of a data reply.
std::vector<uint8_t> Answer(CameraHost& host, const std::vector<uint8_t>& command, uint32_t size) {
  std::vector<uint8_t> reply;
  EXPECT_TRUE(host.Send(command));
  EXPECT_TRUE(size == 0 ? host.ReadDataReply(&reply) : host.Read(size, &reply));
  EXPECT_EQ(host.Camera().PendingReply(), 0u);
  return reply;
}

TEST(LenientCommands, AnsweredAsPictrovesFormAndNoted) {
  struct Case {
    const char* name;
    std::vector<uint8_t> pictrove;
    uint32_t tag;
    bool trailing_nul;
    uint32_t reply_size;  // 0: a data reply
    std::vector<std::string> noted;
  };
  const Case cases[] = {
      {"identification",
       simtest::IdentifyCommand(),
       1,
       false,
       156,
       {"camera identification command with the tag word 0x00000001"}},
      {"power", simtest::PowerCommand(), 0x12345679, false, 88, {"tag word 0x12345679"}},
      {"disk", simtest::DiskInfoCommand("D:"), 3, false, 92, {"tag word 0x00000003"}},
      {"listing",
       simtest::ListingCommand("D:"),
       4,
       false,
       0,
       {"directory listing command with the tag word 0x00000004"}},
      {"listing with the command tag",
       simtest::ListingCommand("D:"),
       0x12345678,
       false,
       0,
       {"tag word 0x12345678"}},
      {"picture", simtest::PictureCommand(kPath, 0), 5, false, 0, {"tag word 0x00000005"}},
      {"attributes",
       simtest::SetAttributesCommand(kPath, 0x20),
       0x12345678,
       true,
       84,
       {"set picture attributes payload with a trailing NUL"}},
      {"attributes, tag",
       simtest::SetAttributesCommand(kPath, 0x20),
       6,
       true,
       84,
       {"tag word 0x00000006", "trailing NUL"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto exact = CameraWithPictures();
    auto lenient = CameraWithPictures();
    EXPECT_EQ(Answer(*lenient, Lenient(c.pictrove, c.tag, c.trailing_nul), c.reply_size),
              Answer(*exact, c.pictrove, c.reply_size));
    EXPECT_TRUE(exact->Camera().Problems().empty());
    std::vector<std::string> problems = lenient->Camera().Problems();
    ASSERT_EQ(problems.size(), 1u) << "one entry for each request";
    for (const std::string& part : c.noted)
      EXPECT_NE(problems[0].find(part), std::string::npos) << problems[0];
    EXPECT_EQ(lenient->Camera().Folders()[0].files.size(),
              exact->Camera().Folders()[0].files.size());
    EXPECT_EQ(lenient->Camera().FindFile(kPath).has_value(),
              exact->Camera().FindFile(kPath).has_value());
  }
}

std::vector<uint8_t> Entry(uint8_t attributes, uint32_t size, uint32_t date,
                           const std::string& name) {
  std::vector<uint8_t> entry = {attributes, 0};
  for (uint32_t value : {size, date})
    for (int i = 0; i < 4; ++i) entry.push_back(uint8_t(value >> (8 * i)));
  entry.insert(entry.end(), name.begin(), name.end());
  entry.push_back(0);
  return entry;
}

TEST(LenientCommands, ListingOfOneLevelHoldsOnlyTheFolderNamed) {
  std::vector<uint8_t> end = Entry(0, 0, 0, "");
  auto join = [&](std::initializer_list<std::vector<uint8_t>> entries) {
    std::vector<uint8_t> all;
    for (const auto& entry : entries) all.insert(all.end(), entry.begin(), entry.end());
    all.insert(all.end(), end.begin(), end.end());
    return all;
  };
  struct Case {
    const char* path;
    std::vector<uint8_t> listing;
    const char* noted;
  };
  const Case cases[] = {
      {"D:", join({Entry(0x10, 0, 0, "D:"), Entry(0x10, 0, 0, "DCIM")}), "one level"},
      {"D:\\DCIM",
       join({Entry(0x10, 0, 0, "DCIM"), Entry(0x10, 0, 0, "100CANON"),
             Entry(0x10, 0, 0, "101CANON")}),
       "one level"},
      {"D:\\DCIM\\100CANON",
       join({Entry(0x10, 0, 0, "100CANON"), Entry(0x20, 4, 0x3B2A1F00, "IMG_0001.JPG"),
             Entry(0x00, 3, 0x01020304, "IMG_0002.JPG")}),
       "one level"},
      {"D:\\DCIM\\101CANON",
       join({Entry(0x10, 0, 0, "101CANON"), Entry(0x21, 1, 5, "IMG_0100.JPG")}), "one level"},
      {"D:\\DCIM\\102CANON", {}, "which the camera does not hold"},
      {"E:", {}, "which the camera does not hold"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    auto host = CameraWithPictures();
    std::vector<uint8_t> command = simtest::ListingCommand(c.path);
    command[80] = 0x00;
    EXPECT_EQ(Answer(*host, command, 0), c.listing);
    std::vector<sim::TransferRecord> log = host->Camera().Transfers();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0].data, command) << "the request went out as built";
    ASSERT_EQ(host->Camera().Problems().size(), 1u);
    EXPECT_TRUE(simtest::Noted(host->Camera(), c.noted)) << host->Camera().Problems()[0];
  }
}

}  // namespace
