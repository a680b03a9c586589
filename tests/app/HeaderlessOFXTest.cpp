// Downloads that leave the OFX header out are still OFX, whatever comes before their body.

#include <gtest/gtest.h>

#include <string>

#include "app/Classification.h"
#include "support/CliRun.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

TEST(HeaderlessOFXTest, TheBodyAloneMakesOFX) {
  struct Case {
    const char* name;
    std::string text;
    bool ofx;
  };
  const Case cases[] = {
      {"body", "<OFX>\n<BANKMSGSRSV1>", true},
      {"blankLinesAndBlanks", "\r\n\r\n  \t<OFX>\r\n", true},
      {"byteOrderMark", "\xEF\xBB\xBF\n<OFX>", true},
      {"xmlDeclaration", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<OFX>", true},
      {"header", "junk OFXHEADER:100\n", true},
      {"bodyLater", "Statement\n<OFX>\n", false},
      {"otherTag", "<OFXX>", false},
      {"lowerCase", "<ofx>", false},
      {"declarationNeverClosed", "<?xml version=\"1.0\" <OFX>", false},
      {"declarationThenText", "<?xml version=\"1.0\"?>\nDate,Amount\n<OFX>", false},
      {"empty", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(isOFX(c.text), c.ofx) << c.name;
}

// The corpus's header-less downloads go the OFX way, and the card download converts with every
// transaction.
TEST(HeaderlessOFXTest, CorpusDownloadsWithoutAHeader) {
  const std::string corpus = CORVELA_CORPUS;
  for (const char* file : {"beancount-import/amex.ofx", "libofx/ofx-2.1.1-sect-13.12.ofx",
                           "ofxparse/decimal_error.ofx"}) {
    Result<DecodedText> text = readTextFile(corpus + "/" + file);
    ASSERT_TRUE(text.ok());
    EXPECT_TRUE(isOFX(text.value().text)) << file;
  }
  testing::TempDir dir;
  testing::CliRun run =
      testing::runCli({"convert", corpus + "/beancount-import/amex.ofx", "--prefs",
                       dir.path("store.prefs"), "-o", dir.path("out.qif")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("3 transactions"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace corvela
