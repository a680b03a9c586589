#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "text/TextFile.h"

namespace corvela {
namespace {

TEST(TextFileTest, DecodeText) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string text;
    const char* encoding;
  };
  const Case cases[] = {
      {"ASCII", "Shop,5.00\n", "Shop,5.00\n", "UTF-8"},
      {"UTF-8", "Caf\xC3\xA9 \302\2435", "Caf\xC3\xA9 \302\2435", "UTF-8"},
      {"byte-order mark dropped", "\xEF\xBB\xBFOFXHEADER:100", "OFXHEADER:100", "UTF-8"},
      {"stray byte after a byte-order mark", "\357\273\277Caf\xE9 \xC3\xA9", "Caf\xC3\xA9 \xC3\xA9",
       "UTF-8"},
      {"Windows-1252", "Caf\xE9 \2435", "Caf\xC3\xA9 \302\2435", "windows-1252"},
      {"Windows-1252 punctuation", "\x80\x93\x94\x97\x85\xFF",
       "\xE2\x82\xAC\xE2\x80\x9C\xE2\x80\x9D\xE2\x80\x94\xE2\x80\xA6\xC3\xBF", "windows-1252"},
      {"bytes Windows-1252 leaves out", "\x81\x8D\xE9", "\xC2\x81\xC2\x8D\xC3\xA9", "windows-1252"},
      {"overlong UTF-8 is not UTF-8", "\xC0\xAF", "\xC3\x80\xC2\xAF", "windows-1252"},
      {"UTF-16LE with mark", std::string("\377\376C\0a\0f\0\xE9\0", 10), "Caf\xC3\xA9", "UTF-16LE"},
      {"UTF-16BE with mark", std::string("\xFE\xFF\0C\0a\0f\0\xE9", 10), "Caf\xC3\xA9", "UTF-16BE"},
      {"UTF-16LE without mark", std::string("D\0a\0t\0e\0;\0f\0\xF4\0\n\0", 16), "Date;f\xC3\xB4\n",
       "UTF-16LE"},
      {"OFX CHARSET:1252", "OFXHEADER:100\nENCODING:USASCII\nCHARSET:1252\n<OFX><NAME>Caf\xE9",
       "OFXHEADER:100\nENCODING:USASCII\nCHARSET:1252\n<OFX><NAME>Caf\xC3\xA9", "windows-1252"},
      {"OFX CHARSET:1250", "OFXHEADER:100\nCHARSET:1250\n<OFX><NAME>\xA5",
       "OFXHEADER:100\nCHARSET:1250\n<OFX><NAME>\xC4\x84", "windows-1250"},
      {"OFX header on one line",
       "OFXHEADER:100DATA:OFXSGMLENCODING:USASCIICHARSET:1250COMPRESSION:NONE<OFX>\xA5",
       "OFXHEADER:100DATA:OFXSGMLENCODING:USASCIICHARSET:1250COMPRESSION:NONE<OFX>\xC4\x84",
       "windows-1250"},
      {"OFX CHARSET:8859-1", "OFXHEADER:100\nCHARSET:8859-1\n<NAME>\xE0",
       "OFXHEADER:100\nCHARSET:8859-1\n<NAME>\xC3\xA0", "windows-1252"},
      {"OFX labelled 1252 but written in UTF-8", "OFXHEADER:100\nCHARSET:1252\n<NAME>\xC2\xA6",
       "OFXHEADER:100\nCHARSET:1252\n<NAME>\xC2\xA6", "UTF-8"},
      {"OFX ENCODING:UTF-8 that is not", "OFXHEADER:100\nENCODING:UTF-8\n<NAME>\xE9",
       "OFXHEADER:100\nENCODING:UTF-8\n<NAME>\xC3\xA9", "windows-1252"},
      {"OFX unknown charset", "OFXHEADER:100\nCHARSET:NOSUCHSET\n<NAME>\xE9",
       "OFXHEADER:100\nCHARSET:NOSUCHSET\n<NAME>\xC3\xA9", "windows-1252"},
      {"XML encoding", "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?><OFX>\xA4",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?><OFX>\xE2\x82\xAC", "ISO-8859-15"},
      {"XML encoding in single quotes", "<?xml version='1.0' encoding='windows-1250'?>\xA5",
       "<?xml version='1.0' encoding='windows-1250'?>\xC4\x84", "windows-1250"},
      {"UTF-16LE cut short", std::string("\377\376C\0a\0f", 7), "Ca", "UTF-16LE"},
      {"charset name with a path", "<?xml encoding=\"../../tmp/x\"?>\xE9",
       "<?xml encoding=\"../../tmp/x\"?>\xC3\xA9", "windows-1252"},
      {"UTF-16BE without mark", std::string("\0D\0a\0t\0e\0;\0f\0\xF4\0\n", 16), "Date;f\xC3\xB4\n",
       "UTF-16BE"},
      {"zeros on both sides are no UTF-16", std::string("a\0\0b\xE9x", 6),
       std::string("a\0\0b\xC3\xA9x", 7), "windows-1252"},
      {"OFX CHARSET:NONE", "OFXHEADER:100\nCHARSET:NONE\n<NAME>\xE9",
       "OFXHEADER:100\nCHARSET:NONE\n<NAME>\xC3\xA9", "windows-1252"},
      {"OFX blanks before the value", "OFXHEADER:100\nCHARSET:  1250\n<NAME>\xA5",
       "OFXHEADER:100\nCHARSET:  1250\n<NAME>\xC4\x84", "windows-1250"},
      {"OFX labelled UTF-16", "OFXHEADER:100\nCHARSET:UTF-16\n<NAME>\xE9",
       "OFXHEADER:100\nCHARSET:UTF-16\n<NAME>\xC3\xA9", "windows-1252"},
      {"OFX charset name too long", "OFXHEADER:100\nCHARSET:" + std::string(41, 'A') + "\n\xE9",
       "OFXHEADER:100\nCHARSET:" + std::string(41, 'A') + "\n\xC3\xA9", "windows-1252"},
      {"OFX named charset", "  OFXHEADER:100\nCHARSET:ISO-8859-2\n\xA1",
       "  OFXHEADER:100\nCHARSET:ISO-8859-2\n\xC4\x84", "ISO-8859-2"},
      {"XML without encoding", "<?xml version=\"1.0\"?>\xE9", "<?xml version=\"1.0\"?>\xC3\xA9",
       "windows-1252"},
      {"XML encoding without quotes", "<?xml encoding=latin2?>\xE9",
       "<?xml encoding=latin2?>\xC3\xA9", "windows-1252"},
      {"XML encoding quote not closed", "<?xml encoding=\"latin2?>\xE9",
       "<?xml encoding=\"latin2?>\xC3\xA9", "windows-1252"},
      {"empty", "", "", "UTF-8"},
  };
  for (const Case& c : cases) {
    DecodedText decoded = decodeText(c.bytes);
    EXPECT_EQ(decoded.text, c.text) << c.name;
    EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
  }
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
  std::string missing = std::string(CORVELA_TEST_DATA) + "/text/no-such-file.csv";
  Result<DecodedText> read = readTextFile(missing);
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.message(),
            "The file \"" + missing + "\" could not be read: No such file or directory.");

  std::string folder = std::string(CORVELA_TEST_DATA) + "/text";
  read = readTextFile(folder);
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.message(), "The file \"" + folder + "\" could not be read: it is a folder.");
}

}  // namespace
}  // namespace corvela
