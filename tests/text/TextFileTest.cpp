#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "support/CaseFile.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

TEST(TextFileTest, DecodeText) {
  testing::expectCaseFile("text/decoded-bytes.txt",
                          [](const std::string& bytes, const std::string&) {
                            DecodedText decoded = decodeText(bytes);
                            return decoded.encoding + " " + testing::quoted(decoded.text);
                          });
}

TEST(TextFileTest, StatementsFromTheCorpus) {
  struct Case {
    const char* file;
    const char* encoding;
    const char* contains;
  };
  const Case cases[] = {
      {"hledger/sample.fr.cp1252.csv", "windows-1252",
       "CAF\xC3\x89 \xE2\x80\x94 \342\202\25420 RE\xC3\x87U"},
      {"ledger-autosync/accented_characters_latin1.ofx", "windows-1252", "Interac \xC3\xA0: Jean"},
      {"jgnash/File_with_Accents.ofx", "windows-1252", "(\xC3\x80\xC3\xA0\xC3\x89\xC3\xA9"},
      {"jgnash/Sample.ofx", "UTF-8", "OFXHEADER:100"},  // the byte-order mark stays out
      {"moneyguru/utf16_encoded.csv", "UTF-16LE", "27/01/2010;f\xC3\xB4\xC3\xB8;10.00"},
      {"csv2ofx/ubs-ch-fr_trimmed.csv", "UTF-8", ";D\303\251bit;"},
  };
  for (const Case& c : cases) {
    Result<DecodedText> read = readTextFile(std::string(CORVELA_CORPUS) + "/" + c.file);
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(read.value().encoding, c.encoding) << c.file;
    EXPECT_NE(read.value().text.find(c.contains), std::string::npos) << c.file;
  }
}

TEST(TextFileTest, AFileThatCannotBeReadIsNamed) {
  const std::pair<std::string, const char*> cases[] = {
      {CORVELA_TEST_DATA "/text/no-such-file.csv", "No such file or directory"},
      {CORVELA_TEST_DATA "/text", "it is a folder"},
      // A file that opens but whose bytes cannot be read gives the system's reason.
      {"/proc/self/mem", "Input/output error"}};
  for (const auto& [path, reason] : cases) {
    Result<DecodedText> read = readTextFile(path);
    ASSERT_FALSE(read.ok()) << path;
    EXPECT_EQ(read.message(), "The file \"" + path + "\" could not be read: " + reason + ".");
  }
}

// A statement handed over through a pipe (a shell's <(...)) has no size to go by: it is read
// whole however long it is, in Latin-1 as in UTF-8.
TEST(TextFileTest, AStatementThroughAPipeIsReadWhole) {
  std::string utf8 = "!Type:Bank\n";
  while (utf8.size() < 300000)
    utf8 += "D03/01/2024\nT-4.50\nPCAF\xC3\x89 " + std::to_string(utf8.size()) + "\n^\n";
  std::string latin1 = utf8;
  for (std::size_t at; (at = latin1.find("\xC3\x89")) != std::string::npos;)
    latin1.replace(at, 2, "\xC9");
  testing::TempDir dir;
  const std::string pipe = dir.path("statement");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string* bytes : {&utf8, &latin1}) {
    std::thread writer([&] { std::ofstream(pipe, std::ios::binary) << *bytes; });
    Result<DecodedText> read = readTextFile(pipe);
    writer.join();
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(read.value().text, utf8);
  }
}

}  // namespace
}  // namespace corvela
