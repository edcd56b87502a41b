#include <gtest/gtest.h>

#include "kit/Message.h"

namespace {

TEST(Message, FourCharacterCodes) {
  EXPECT_EQ(kit::FourCC("DOWN"), 0x444f574eu);
  EXPECT_EQ(kit::FourCCText(kit::FourCC("slct")), "slct");
}

TEST(Message, FieldsAreTypedAndIndexed) {
  kit::Message message(kit::FourCC("TEST"));
  message.AddInt32("opcode", 1);
  message.AddInt64("node", 1234567890123);
  message.AddString("name", "002");
  message.AddRef("refs", {"/tmp/a"});
  message.AddRef("refs", {"/tmp/b"});

  int32_t opcode = 0;
  int64_t node = 0;
  std::string name;
  kit::EntryRef ref;
  EXPECT_TRUE(message.FindInt32("opcode", &opcode));
  EXPECT_EQ(opcode, 1);
  EXPECT_TRUE(message.FindInt64("node", &node));
  EXPECT_EQ(node, 1234567890123);
  EXPECT_TRUE(message.FindString("name", &name));
  EXPECT_EQ(name, "002");
  EXPECT_TRUE(message.FindRef("refs", &ref, 1));
  EXPECT_EQ(ref.path, "/tmp/b");
  EXPECT_EQ(message.CountValues("refs"), 2u);

  // A field of another type, a missing one, or an index past the end is not found.
  EXPECT_FALSE(message.FindInt32("node", &opcode));
  EXPECT_FALSE(message.FindInt64("opcode", &node));
  EXPECT_FALSE(message.FindString("missing", &name));
  EXPECT_FALSE(message.FindRef("refs", &ref, 2));
}

}  // namespace
