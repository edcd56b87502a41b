// Parsing listing bytes: the entry list, the folder tracking and the diagnostic print.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "camera/ixus_dir.h"
#include "tests/camera/listing_bytes.h"

namespace listing_test {
namespace {

std::vector<ixus_direntry*> Entries(ixus_direntry* first) {
  std::vector<ixus_direntry*> all;
  for (ixus_direntry* entry = first; entry != nullptr; entry = entry->next) all.push_back(entry);
  return all;
}

// Parses exactly `bytes`, with nothing readable after them; returns the diagnostic output.
std::string Parse(const std::vector<uint8_t>& bytes, ixus_direntry** first) {
  GuardedBytes guarded(bytes);
  testing::internal::CaptureStderr();
  *first = ixus_parsedir(guarded.Data(), bytes.size());
  return testing::internal::GetCapturedStderr();
}

const std::string kEndLine =
    std::string(13, ' ') + " " + std::string(11, ' ') + "0 [--D-] " + std::string(25, ' ') + "\n";

TEST(ListingParse, EndEntryAloneGivesNoListAndOneLine) {
  ixus_direntry* first = nullptr;
  std::string printed = Parse(EncodeListing({}), &first);
  EXPECT_EQ(first, nullptr);
  EXPECT_EQ(printed, "DIRECTORY LISTING:\n" + kEndLine);
}

TEST(ListingParse, ExampleTreeTracksFolders) {
  ixus_direntry* first = nullptr;
  Parse(EncodeListing(ExampleTree()), &first);
  std::vector<ixus_direntry*> all = Entries(first);
  ASSERT_EQ(all.size(), 6u);
  const char* names[] = {"D:", ".\\DCIM", ".\\112CANON", "IMG_1205.JPG", "..", ".."};
  for (size_t i = 0; i < all.size(); i++) EXPECT_STREQ(all[i]->name, names[i]) << i;
  EXPECT_EQ(all[0]->parent, nullptr);
  EXPECT_EQ(all[1]->parent, all[0]);
  EXPECT_EQ(all[2]->parent, all[1]);
  EXPECT_EQ(all[3]->parent, all[2]);
  EXPECT_EQ(all[4]->parent, all[2]);
  EXPECT_EQ(all[5]->parent, all[1]);
  EXPECT_EQ(all[3]->size, 123456u);
  EXPECT_EQ(all[3]->date, 1000000000u);
  EXPECT_EQ(all[3]->attributes, 0x21);
  ixus_freedir(first);
}

TEST(ListingParse, DotDotWithSizeIsAPlainFile) {
  ixus_direntry* first = nullptr;
  Parse(EncodeListing({{0, 0, 0, "D:"}, {0, 0, 0, ".\\DCIM"}, {0, 5, 0, "..x"}, {0, 9, 0, "A"}}),
        &first);
  std::vector<ixus_direntry*> all = Entries(first);
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[3]->parent, all[1]);
  ixus_freedir(first);
}

TEST(ListingParse, FolderWithSizeOpensNothing) {
  ixus_direntry* first = nullptr;
  Parse(EncodeListing({{0, 0, 0, "D:"}, {0, 7, 0, ".\\X"}, {0, 9, 0, "A"}}), &first);
  std::vector<ixus_direntry*> all = Entries(first);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[2]->parent, all[0]);
  ixus_freedir(first);
}

TEST(ListingParse, DotDotAboveTheTopStaysAtNone) {
  ixus_direntry* first = nullptr;
  Parse(EncodeListing({{0, 0, 0, ".."}, {0, 0, 0, ".."}, {0, 0, 0, "D:"}, {0, 1, 0, "A"}}), &first);
  std::vector<ixus_direntry*> all = Entries(first);
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0]->parent, nullptr);
  EXPECT_EQ(all[1]->parent, nullptr);
  EXPECT_EQ(all[3]->parent, all[2]);
  ixus_freedir(first);
}

TEST(ListingParse, EmptyNameWithAttributesIsAnEntry) {
  ixus_direntry* first = nullptr;
  Parse(EncodeListing({{0x20, 0, 0, ""}, {0, 3, 0, "B"}}), &first);
  std::vector<ixus_direntry*> all = Entries(first);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_STREQ(all[0]->name, "");
  EXPECT_STREQ(all[1]->name, "B");
  ixus_freedir(first);
}

TEST(ListingParse, StopsAtTheEndEntry) {
  std::vector<uint8_t> bytes = EncodeListing({{0, 1, 0, "A"}});
  std::vector<uint8_t> after = EncodeListing({{0, 2, 0, "B"}});
  bytes.insert(bytes.end(), after.begin(), after.end());
  ixus_direntry* first = nullptr;
  Parse(bytes, &first);
  ASSERT_EQ(Entries(first).size(), 1u);
  ixus_freedir(first);
}

TEST(ListingParse, DataWithoutEndEntryKeepsWhatWasRead) {
  ixus_direntry* first = nullptr;
  std::string printed = Parse(EncodeListing(ExampleTree(), false), &first);
  EXPECT_EQ(Entries(first).size(), 6u);
  // Six lines and the heading: no end entry was printed.
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 7);
  ixus_freedir(first);
}

TEST(ListingParse, CutOffHeaderEndsTheListing) {
  std::vector<uint8_t> bytes = EncodeListing({{0, 1, 0, "A"}}, false);
  std::vector<uint8_t> partial = EncodeListing({{0, 2, 0, "B"}});
  for (size_t cut = 1; cut <= 10; cut++) {
    std::vector<uint8_t> data = bytes;
    data.insert(data.end(), partial.begin(), partial.begin() + long(cut));
    ixus_direntry* first = nullptr;
    Parse(data, &first);
    std::vector<ixus_direntry*> all = Entries(first);
    ASSERT_EQ(all.size(), 1u) << cut;
    EXPECT_STREQ(all[0]->name, "A");
    ixus_freedir(first);
  }
}

TEST(ListingParse, UnterminatedLastNameEndsTheListing) {
  std::vector<uint8_t> bytes = EncodeListing({{0, 1, 0, "A"}, {0, 2, 0, "BROKEN.JPG"}}, false);
  bytes.pop_back();  // the last name's terminator
  ixus_direntry* first = nullptr;
  std::string printed = Parse(bytes, &first);
  std::vector<ixus_direntry*> all = Entries(first);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_STREQ(all[0]->name, "A");
  EXPECT_EQ(printed.find("BROKEN"), std::string::npos);
  ixus_freedir(first);
}

TEST(ListingParse, NoDataNoList) {
  ixus_direntry* first = nullptr;
  std::string printed = Parse({}, &first);
  EXPECT_EQ(first, nullptr);
  EXPECT_EQ(printed, "DIRECTORY LISTING:\n");
}

TEST(ListingPrint, FlagLettersAndDates) {
  ixus_direntry* first = nullptr;
  std::string printed = Parse(EncodeListing({{0x21, 123456, 1000000000, "IMG_1205.JPG"},
                                             {0x00, 7, 1, "A.JPG"},
                                             {0x90, 0, 0, ".\\DCIM"},
                                             {0xB1, 0xFFFFFFFF, 0x80000000, "LONGER_THAN_13.JPG"}}),
                              &first);
  std::string expected = "DIRECTORY LISTING:\n";
  expected += "IMG_1205.JPG        123456 [P---]  Sun Sep  9 01:46:40 2001\n";
  expected += "A.JPG                    7 [--D-]  Thu Jan  1 00:00:01 1970\n";
  expected += ".\\DCIM                   0 [-SDR] " + std::string(25, ' ') + "\n";
  expected += "LONGER_THAN_13.JPG   4294967295 [PS-R]  Tue Jan 19 03:14:08 2038\n";
  expected += kEndLine;
  EXPECT_EQ(printed, expected);
  ixus_freedir(first);
}

TEST(ListingPrint, LatestDateStillPrints) {
  ixus_direntry* first = nullptr;
  std::string printed = Parse(EncodeListing({{0x20, 1, 0xFFFFFFFF, "Z.JPG"}}), &first);
  EXPECT_NE(printed.find("[----]  Sun Feb  7 06:28:15 2106\n"), std::string::npos) << printed;
  ixus_freedir(first);
}

}  // namespace
}  // namespace listing_test
