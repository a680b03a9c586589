// The reader finds the tags of a transaction in one pass over its block; each value it keeps
// must be the one a search for that tag alone finds (OFXReader::addField), on real downloads
// and on blocks whose tags repeat, nest in values or come in any order.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prefs/Preferences.h"
#include "readers/OFXReader.h"
#include "readers/RecordSummary.h"
#include "readers/TransactionKeys.h"
#include "support/ScratchStore.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

namespace key = transactionKey;

// What the reader keeps of a block, taken with a search per tag.
Value searchedFields(std::string_view block, bool creditCard) {
  Value fields = Value::dictionary();
  OFXReader::addField(key::memo, "<MEMO>", block, fields);
  OFXReader::addField(key::description, "<NAME>", block, fields);
  OFXReader::addField(key::trntype, "<TRNTYPE>", block, fields);
  if (!OFXReader::addField(key::number, "<REFNUM>", block, fields) && !creditCard)
    OFXReader::addField(key::number, "<CHECKNUM>", block, fields);
  return fields;
}

void expectSearchedFields(const std::string& download) {
  testing::ScratchStore store;
  store.prefs.setObject(prefKey::Preferences, Value(Value::Array{Value(option::useOFXTRNTYPE)}));
  Preferences options(store.prefs);
  const Value records =
      OFXReader(store.prefs, options)
          .fromOFX(download, CalendarDay::distantPast(), CalendarDay::distantFuture())
          .qif;
  const bool creditCard = download.find("CREDITCARDMSG") != std::string::npos;
  const bool bank = !creditCard && download.find("BANKMSG") != std::string::npos;
  std::size_t index = 0;
  for (std::size_t at = download.find("<STMTTRN>"); at != std::string::npos; ++index) {
    const std::size_t start = at + 9;
    at = download.find("<STMTTRN>", start);
    const std::string_view block =
        std::string_view(download).substr(start, at == std::string::npos ? at : at - start);
    const Value& record = records[index];
    SCOPED_TRACE(testing::summary(record));
    if (has(record, key::errorMessage)) {
      EXPECT_EQ(str(record, key::errorText), block);
      continue;
    }
    Value expected = searchedFields(block, creditCard);
    for (std::string_view field : {key::memo, key::description, key::trntype, key::number}) {
      if (field == key::number && !creditCard && !bank) continue;
      // A missing name is kept as the empty description.
      if (field == key::description && !has(expected, field)) expected.set(field, "");
      EXPECT_EQ(optionalString(record, field), optionalString(expected, field)) << field;
    }
  }
  EXPECT_EQ(index, records.size());
}

TEST(OFXTagScanTest, EveryCorpusDownloadReadsAsTheSearchPerTag) {
  const char* files[] = {"beancount-import/amex.ofx",     "gnucash/wamu.qfx",
                         "jgnash/uglyFormat.ofx",         "ofxparser/ofxdata-oneline.ofx",
                         "ofxparser/ofxdata-cmfr.ofx",    "ofx/v211.ofx",
                         "ofx/cef_malformed_decimal.ofx", "ofxparse/decimal_error.ofx",
                         "moneyguru/desjardins.qfx",      "ofxtools/br_nubank_cc.ofx"};
  for (const char* file : files) {
    SCOPED_TRACE(file);
    Result<DecodedText> text = readTextFile(std::string(CORVELA_CORPUS) + "/" + file);
    ASSERT_TRUE(text.ok()) << text.message();
    expectSearchedFields(text.value().text);
  }
}

TEST(OFXTagScanTest, AwkwardBlocksReadAsTheSearchPerTag) {
  const char* blocks[] = {
      // A tag twice: the first counts.
      "<TRNTYPE>DEBIT<DTPOSTED>20240102<TRNAMT>-1.00<NAME>FIRST<NAME>SECOND<MEMO>m1<MEMO>m2",
      // A value that runs into the next tag, a tag with no value, tags in any order.
      "<MEMO><NAME>A&amp;B<TRNAMT>5<DTPOSTED> 20240102<TRNTYPE>CREDIT<CHECKNUM>12",
      // Tags in other letter cases are not the tags; a closing tag is not an opening one.
      "<name>lower<DTPOSTED>20240102<TRNAMT>3</NAME><NAME>\r\n  upper  \r\n<REFNUM>9<TRNTYPE>X",
      // Lookalike prefixes and a tag at the very end of the text.
      "<NAMES>no<MEMOS>no<DTPOSTED>20240102<TRNAMT>1<TRNTYPE>DEBIT<NAME>yes<MEMO>",
      // No type, no amount, an amount that is none, no date: the error records.
      "<DTPOSTED>20240102<TRNAMT>1<NAME>untyped",
      "<DTPOSTED>20240102<TRNTYPE>DEBIT<NAME>no amount",
      "<DTPOSTED>20240102<TRNTYPE>DEBIT<TRNAMT>1e5",
      "<TRNTYPE>DEBIT<TRNAMT>1",
  };
  for (const char* header : {"<BANKMSGSRSV1>", "<CREDITCARDMSGSRSV1>", ""}) {
    std::string download = header;
    for (const char* block : blocks) download += std::string("<STMTTRN>") + block;
    SCOPED_TRACE(header);
    expectSearchedFields(download);
  }
}

}  // namespace
}  // namespace corvela
