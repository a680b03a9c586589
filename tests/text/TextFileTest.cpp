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

// A character beyond ASCII is seen wherever it stands, however long the ASCII before it: as
// UTF-8 when it is, and as Windows-1252 when it is not.
TEST(TextFileTest, ACharacterBeyondASCIIIsSeenWhereverItStands) {
  for (std::size_t at = 0; at <= 80; ++at) {
    std::string utf8(90, 'a'), latin1(90, 'a');
    utf8.replace(at, 1, "\xC3\x89");
    latin1[at] = '\xC9';
    const DecodedText fromUTF8 = decodeText(utf8), fromLatin1 = decodeText(latin1);
    EXPECT_EQ(fromUTF8.encoding, "UTF-8") << at;
    EXPECT_EQ(fromLatin1.encoding, "windows-1252") << at;
    EXPECT_EQ(fromLatin1.text, fromUTF8.text) << at;
  }
}

// The words are a text the statement must hold once decoded.
TEST(TextFileTest, StatementsFromTheCorpus) {
  testing::expectCaseFile(
      "text/corpus-encodings.txt", [](const std::string& file, const std::string& words) {
        Result<DecodedText> read = readTextFile(std::string(CORVELA_CORPUS) + "/" + file);
        if (!read.ok()) return read.message();
        bool holds = read.value().text.find(testing::unquoted(words)) != std::string::npos;
        return read.value().encoding + (holds ? "" : ", without the text");
      });
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
