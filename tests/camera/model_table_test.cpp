// The files made from the model table stand as the table makes them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "models/ModelFiles.h"

namespace {

std::string SourceFile(const std::string& name) {
  std::stringstream text;
  text << std::ifstream(std::string(PICTROVE_SOURCE_DIR) + "/" + name).rdbuf();
  return text.str();
}

TEST(ModelTable, TheUdevRuleAndTheReadmeListAreTheTables) {
  EXPECT_EQ(SourceFile("packaging/60-pictrove.rules"), models::UdevRule());
  std::string readme = SourceFile("README.md");
  size_t from = readme.find("a test keeps it so -->\n") + 23;
  EXPECT_EQ(readme.substr(from, readme.find("<!-- end of the model table") - from),
            models::ReadmeModelList());
}

}  // namespace
