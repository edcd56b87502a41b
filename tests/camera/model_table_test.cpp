// The files made from the model table stand as the table makes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "models/ModelFiles.h"

namespace {

std::string SourceFile(const std::string& name) {
  std::ifstream in(std::string(PICTROVE_SOURCE_DIR) + "/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ModelTable, TheUdevRuleIsTheTables) {
  EXPECT_EQ(SourceFile("packaging/60-pictrove.rules"), models::UdevRule())
      << "remake it with pictrove-models udev";
}

TEST(ModelTable, TheReadmeListsTheTable) {
  std::string readme = SourceFile("README.md");
  const std::string start = "by `pictrove-models readme`; a test keeps it so -->\n";
  size_t from = readme.find(start);
  size_t to = readme.find("<!-- end of the model table -->");
  ASSERT_NE(from, std::string::npos);
  ASSERT_NE(to, std::string::npos);
  from += start.size();
  EXPECT_EQ(readme.substr(from, to - from), models::ReadmeModelList());
}

TEST(ModelTable, ModaliasesNameEveryModel) {
  std::string aliases = models::Modaliases();
  EXPECT_EQ(std::count(aliases.begin(), aliases.end(), '\n'), 33);
  EXPECT_NE(aliases.find("usb:v04A9p30C2d*\n"), std::string::npos);
}

}  // namespace
