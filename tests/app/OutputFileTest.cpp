#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/OutputFile.h"
#include "support/FailingRename.h"
#include "support/FileText.h"
#include "support/TempDir.h"

namespace corvela {
namespace {

using testing::FailingRename;

class OutputFileTest : public ::testing::Test {
 protected:
  testing::TempDir temp;
  std::string dir = temp.root().string();
  std::string path = temp.path("out.qif");
};

TEST_F(OutputFileTest, WritesReplacesOrAppendsKeepingTheBytes) {
  ASSERT_TRUE(writeOutputFile(path, "!Type:Bank\n", false).ok());
  ASSERT_TRUE(writeOutputFile(path, "new\n", false).ok());
  EXPECT_EQ(testing::readText(path), "new\n");
  std::string latin1 = "Caf\xe9;1.00\r\n";  // not UTF-8: must survive untouched
  temp.write("out.qif", latin1);
  ASSERT_TRUE(writeOutputFile(path, "Shop;2.00\n", true).ok());
  EXPECT_EQ(testing::readText(path), latin1 + "Shop;2.00\n");
  // A file that cannot be read is not appended to.
  EXPECT_FALSE(writeOutputFile(dir + "/missing.csv", "x", true).ok());
  EXPECT_FALSE(std::filesystem::exists(dir + "/missing.csv"));
}

TEST_F(OutputFileTest, AFailedWriteLeavesTheFileAsItWas) {
  temp.write("out.qif", "precious\n");
  FailingRename ops;
  for (bool keepExisting : {false, true}) {
    Status written = writeOutputFile(path, "half", keepExisting, ops);
    EXPECT_FALSE(written.ok());
    EXPECT_NE(written.message().find(path), std::string::npos) << written.message();
    EXPECT_EQ(testing::readText(path), "precious\n");
  }
  // No temporary file is left behind either.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(OutputFileTest, WritableAndPrefixChecks) {
  EXPECT_FALSE(isWritableFile(path));
  EXPECT_FALSE(isWritableFile(""));
  EXPECT_FALSE(isWritableFile(dir));
  temp.write("out.qif", "!Account\nNChecking\n");
  EXPECT_TRUE(isWritableFile(path));
  EXPECT_TRUE(fileBeginsWith(path, "!Account"));
  EXPECT_FALSE(fileBeginsWith(path, "!Type"));
  EXPECT_FALSE(fileBeginsWith(path, "!Account\nNChecking\nTBank"));
  if (::geteuid() != 0) {
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(isWritableFile(path));
  }
}

TEST(OutputFilePathsTest, Components) {
  EXPECT_EQ(lastPathComponent("/a/b/QIF Import.qif"), "QIF Import.qif");
  EXPECT_EQ(directoryOf("/a/b/x.qif"), "/a/b");
  EXPECT_EQ(directoryOf("x.qif"), "");
  EXPECT_EQ(extensionOf("/a/b.c/x.QIF"), "QIF");
  EXPECT_EQ(extensionOf("/a/b.c/README"), "");
  EXPECT_EQ(extensionOf("/a/archive.tar.crvc"), "crvc");
}

}  // namespace
}  // namespace corvela
