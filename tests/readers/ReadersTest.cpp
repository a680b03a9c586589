// Reading OFX downloads and QIF registers: single blocks and records, whole downloads, the real
// files of the corpus, and the one-pass tag scan checked against a search per tag.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "readers/OFXReader.h"
#include "readers/QIFReader.h"
#include "readers/RecordList.h"
#include "readers/RecordSummary.h"
#include "readers/TransactionKeys.h"
#include "support/CaseFile.h"
#include "support/Corpus.h"
#include "support/ScratchStore.h"
#include "text/Lines.h"
#include "text/TextFile.h"

namespace corvela {
namespace {

namespace key = transactionKey;
using testing::summary;

class OFXReaderTest : public ::testing::Test {
 protected:
  OFXReadResult read(std::string_view text, CalendarDay from = CalendarDay::distantPast(),
                     CalendarDay to = CalendarDay::distantFuture()) {
    return reader.fromOFX(text, from, to);
  }

  testing::ScratchStore store;
  CVPrefs& prefs = store.prefs;
  Preferences options{prefs};
  OFXReader reader{prefs, options};
};

TEST(OFXAddFieldTest, StoresTheValueAfterTheTag) {
  testing::expectCaseFile("readers/ofx-fields.txt",
                          [](const std::string& block, const std::string& tag) {
                            Value record = Value{{"memo", "kept"}};
                            bool found = OFXReader::addField(key::memo, tag, block, record);
                            EXPECT_EQ(record.size(), 1u) << block;
                            return found ? testing::quoted(str(record, key::memo))
                                   : record == Value{{"memo", "kept"}} ? "not found"
                                                                       : "not found, yet changed";
                          });
}

TEST_F(OFXReaderTest, EachBlockGivesItsRecord) {
  testing::expectCaseFile("readers/ofx-blocks.txt", [this](const std::string& block,
                                                           const std::string& words) {
    prefs.setObject(prefKey::Preferences, words.ends_with(" useOFXTRNTYPE")
                                              ? Value(Value::Array{Value(option::useOFXTRNTYPE)})
                                              : Value::array());
    std::string set = words.starts_with("bank")   ? "BANKMSGSRSV1"
                      : words.starts_with("card") ? "CREDITCARDMSGSRSV1"
                                                  : "INVSTMTMSGSRSV1";
    OFXReadResult result = read("<OFX><" + set + ">\n<STMTTRN>\n" + block);
    if (result.count() != 1) return std::to_string(result.count()) + " records";
    // An error record carries the rest of the download after <STMTTRN>, for the person to read.
    if (has(result.qif[0], key::errorMessage)) {
      EXPECT_EQ(str(result.qif[0], key::errorText), "\n" + block);
    }
    return summary(result.qif[0]);
  });
}

// The downloads of tests/data/readers/ofx-downloads.txt, each read with its own range and
// options by the one reader, so that options and the date pattern must be taken at each run.
TEST_F(OFXReaderTest, EachDownloadGivesItsRecords) {
  testing::expectCaseFile(
      "readers/ofx-downloads.txt", [this](const std::string& download, const std::string& words) {
        prefs.setObject(prefKey::Preferences,
                        words.find("confirmAll") != std::string::npos
                            ? Value(Value::Array{Value(option::confirmAllTransactions)})
                            : Value::array());
        if (words.find("dotted") != std::string::npos)
          prefs.setObject(prefKey::OutputDateFormat, "%d.%m.%y");
        else
          prefs.removeObjectForKey(prefKey::OutputDateFormat);
        const auto [from, to] = testing::rangeIn(words);
        OFXReadResult result = read(download, from, to);
        std::string records;
        for (const Value& record : result.qif)
          records += (records.empty() ? "" : " | ") + summary(record);
        return (result.mustConfirm ? "confirm; " : "") + (records.empty() ? "no records" : records);
      });
}

// Real OFX and QFX bank and credit-card downloads written by other programs, read the way an
// opened file is: decoded to UTF-8 (by the byte-order mark, the OFX CHARSET header or the XML
// declaration, else Windows-1252) and read with the widest date range.
class OFXCorpusTest : public OFXReaderTest {
 protected:
  // The corpus file `file`, decoded and read over every date.
  OFXReadResult read(const std::string& file) {
    Result<DecodedText> text = readTextFile(std::string(CORVELA_CORPUS) + "/" + file);
    EXPECT_TRUE(text.ok()) << text.message();
    return reader.fromOFX(text.ok() ? text.value().text : "", CalendarDay::distantPast(),
                          CalendarDay::distantFuture());
  }
};

// Every transaction of the downloads of tests/data/readers/ofx-corpus.txt is read, the same with
// the type option off and on. (That a range keeps exactly the in-range records is checked for
// every corpus file through the command line.)
TEST_F(OFXCorpusTest, EveryTransactionIsRead) {
  testing::expectCaseFile("readers/ofx-corpus.txt", [this](const std::string& file,
                                                           const std::string&) {
    std::string answer;
    for (bool useOFXTRNTYPE : {false, true}) {
      store.prefs.setObject(
          prefKey::Preferences,
          useOFXTRNTYPE ? Value(Value::Array{Value(option::useOFXTRNTYPE)}) : Value::array());
      OFXReadResult all = read(file);
      std::size_t noDate = 0, badAmount = 0;
      for (const Value& record : all.qif) {
        std::string error = str(record, key::errorMessage);
        noDate += error == kOFXNoDateMessage;
        badAmount += error == kOFXBadAmountMessage;
        if (!error.empty()) continue;
        EXPECT_EQ(str(record, key::date).size(), 10u) << testing::summary(record);
        // No amount comes out with two signs, whatever the type says.
        EXPECT_FALSE(str(record, key::amount).empty() || str(record, key::amount).starts_with("--"))
            << testing::summary(record);
        EXPECT_EQ(has(record, key::trntype), useOFXTRNTYPE);
      }
      std::string counts = std::to_string(all.count()) + " records" +
                           (noDate ? ", " + std::to_string(noDate) + " without a date" : "") +
                           (badAmount ? ", " + std::to_string(badAmount) + " with no amount" : "");
      if (useOFXTRNTYPE) {
        EXPECT_EQ(counts, answer) << file << " with the type option";
      }
      answer = counts;
    }
    return answer;
  });
}

TEST_F(OFXCorpusTest, RecordsAsTheFilesHoldThem) {
  testing::expectCaseFile(
      "readers/ofx-corpus-records.txt", [this](const std::string& file, const std::string& words) {
        OFXReadResult result = read(file);
        std::size_t index = std::stoul(words.substr(7));
        return index < result.count() ? testing::quoted(testing::summary(result.qif[index]))
                                      : "no such record";
      });
  // The two Desjardins files hold the same list once the first is converted from Windows-1252.
  EXPECT_EQ(read("moneyguru/desjardins.ofx").qif, read("moneyguru/desjardins.qfx").qif);
}

// The reader finds the tags of a transaction in one pass over its block; each value it keeps
// must be the one a search for that tag alone finds (OFXReader::addField), on real downloads
// and on blocks whose tags repeat, nest in values or come in any order.

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
          .qif.toValue();
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
  for (const std::string& file : testing::corpusStatements()) {
    if (!testing::isOFXFile(file)) continue;
    SCOPED_TRACE(file);
    Result<DecodedText> text = readTextFile((testing::kCorpus / file).string());
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

// Tables of our own, so that these tests do not depend on what the shipped bundle holds.
constexpr std::string_view kTestBundle = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>CVShortDateFormats</key><array><string>%d/%d/%d%n</string><string>%d-%d-%d%n</string></array>
  <key>CVRemoveFromAmounts</key><string>$) </string>
</dict></plist>
)";

class QIFReaderTest : public ::testing::Test {
 protected:
  QIFReaderTest() : options(store.prefs), reader(store.prefs, options, bundle) {
    store.prefs.setObject(prefKey::OutputDateFormat, "%m/%d/%Y");
  }
  QIFReadResult read(std::string_view text, CalendarDay from = CalendarDay::distantPast(),
                     CalendarDay to = CalendarDay::distantFuture()) {
    return reader.fromQIFText(text, 0, from, to, CalendarDay{2024, 6, 15});
  }
  // The records, " | " between them.
  static std::string records(const QIFReadResult& result) {
    std::string out;
    for (const Value& r : result.qif) out += (out.empty() ? "" : " | ") + testing::summary(r);
    return out;
  }

  Bundle bundle = Bundle::fromXML(kTestBundle).value();
  testing::ScratchStore store;
  Preferences options;
  QIFReader reader;
};

TEST_F(QIFReaderTest, RecordsAreCollectedAsTheLinesSay) {
  testing::expectCaseFile(
      "readers/qif-records.txt", [this](const std::string& text, const std::string& option) {
        const bool ranged = option.starts_with("from ");
        store.prefs.setObject(prefKey::Preferences, option.empty() || ranged
                                                        ? Value::array()
                                                        : Value(Value::Array{Value(option)}));
        const auto [from, to] = testing::rangeIn(option);
        QIFReadResult result = read(text, from, to);
        std::string answer =
            result.failedLine ? "stops at line " + std::to_string(result.failedLine) + "; " : "";
        if (result.readDayFirst) answer += "read day first; ";
        if (result.mayBeDayFirst) answer += "may be day first; ";
        return answer + (result.qif.size() ? records(result) : "no records");
      });
}

TEST_F(QIFReaderTest, AmountsAreBroughtIntoOutputFormOnce) {
  testing::expectCaseFile("readers/qif-amounts.txt", [this](const std::string& amount,
                                                            const std::string& words) {
    store.prefs.setObject(prefKey::Preferences,
                          words.ends_with(" outputEuropeanAmounts")
                              ? Value(Value::Array{Value(option::outputEuropeanAmounts)})
                              : Value::array());
    Value record = {{"amount", amount}, {"description", "x"}};
    std::string output =
        reader.normalizeQIFAmountIn(record, std::stoi(words.substr(5))).value_or("none");
    EXPECT_EQ(record,
              (Value{{"amount", output}, {"amountAlreadyConverted", true}, {"description", "x"}}));
    // A second pass changes nothing, whatever the options say by then.
    options.add(option::outputEuropeanAmounts);
    EXPECT_EQ(reader.normalizeQIFAmountIn(record, kQIFTypeReverseSigns), output);
    return output;
  });
  Value noAmount = {{"memo", "no amount"}};
  EXPECT_EQ(reader.normalizeQIFAmountIn(noAmount, kQIFTypeReverseSigns), std::nullopt);
  EXPECT_EQ(noAmount, (Value{{"memo", "no amount"}}));
}

// The shipped removal set must take off the closing parenthesis and keep every character that
// carries the sign or the separators, or "(12.50)" would be written as "-12.50)".
TEST(QIFBundleTest, ShippedRemovalSetFitsTheNormalisation) {
  const std::string& set = Bundle::builtIn().table("CVRemoveFromAmounts").toString();
  EXPECT_NE(set.find(')'), std::string::npos);
  EXPECT_EQ(set.find_first_of("(-,.0123456789"), std::string::npos) << set;
}

// Real QIF registers written by other programs, read the way an opened file is: decoded (UTF-8,
// else Windows-1252), cut into lines whatever their line ends, and started after the register's
// "!Type" header line.
namespace key = transactionKey;

struct Register {
  std::string text;
  std::size_t skippedLines = 0;  // the lines up to the header, which the reading passes over
};

// The lines of the register that starts at the first "!Type:Bank" or "!Type:CCard" line (list
// sections and account blocks before it are not transactions).
Register registerOf(const std::string& file) {
  Result<DecodedText> text = readTextFile(std::string(CORVELA_CORPUS) + "/" + file);
  EXPECT_TRUE(text.ok()) << text.message();
  std::string whole = text.ok() ? text.value().text : "";
  const TextLines lines = findLines(whole);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].starts_with("!Type:Bank") || lines[i].starts_with("!Type:CCard"))
      return {std::move(whole), i + 1};
  }
  ADD_FAILURE() << file << " has no bank or credit-card register";
  return {};
}

class QIFCorpusTest : public ::testing::Test {
 protected:
  QIFCorpusTest() : options(store.prefs), reader(store.prefs, options, Bundle::builtIn()) {
    store.prefs.setObject(prefKey::OutputDateFormat, "%m/%d/%Y");
  }

  testing::ScratchStore store;
  Preferences options;
  QIFReader reader;
};

// The registers of tests/data/readers/qif-corpus.txt, read whole with the option europeanDates
// or without; "record N" answers that record alone. Every record has an amount, and none has
// both splits and a category. (Ranges and split totals are checked for every corpus file
// through the command line.)
TEST_F(QIFCorpusTest, EveryRecordOfTheRegisterIsRead) {
  testing::expectCaseFile("readers/qif-corpus.txt", [this](const std::string& file,
                                                           const std::string& words) {
    store.prefs.setObject(prefKey::Preferences,
                          words.starts_with("europeanDates")
                              ? Value(Value::Array{Value(option::europeanDates)})
                              : Value::array());
    Register qif = registerOf(file);
    QIFReadResult result =
        reader.fromQIFText(qif.text, qif.skippedLines, CalendarDay::distantPast(),
                           CalendarDay::distantFuture(), {2024, 6, 15});
    if (!result.ok()) {
      EXPECT_EQ(result.qif.size(), 0u) << file;
      return "corrupted QIF on line " +
             std::to_string(result.failedLine + static_cast<int>(qif.skippedLines));
    }
    std::size_t withSplits = 0, splits = 0;
    for (const Value& record : result.qif) {
      EXPECT_TRUE(has(record, key::amount)) << file;
      EXPECT_FALSE(has(record, key::splits) && has(record, key::category)) << file;
      withSplits += has(record, key::splits);
      splits += record[key::splits].size();
    }
    if (std::size_t at = words.find("record "); at != std::string::npos) {
      std::size_t index = std::stoul(words.substr(at + 7));
      return index < result.qif.size() ? testing::quoted(testing::summary(result.qif[index]))
                                       : "no such record";
    }
    if (result.qif.size() == 0) return std::string("no records");
    return std::to_string(result.qif.size()) + " records, " + str(result.qif[0], key::date) +
           " to " + str(result.qif[result.qif.size() - 1], key::date) +
           (withSplits
                ? ", " + std::to_string(withSplits) + " with " + std::to_string(splits) + " splits"
                : "") +
           (result.readDayFirst ? ", read day first" : "");
  });
}

void everyValueAndChangeComesBack(RecordList::KeyTable more) {
  const std::string longKey(200, 'k');
  const Value given = Value::Array{
      Value{{"amount", "-1.00"}, {"date", "01/02/2024"}, {"description", "CAFÉ"}},
      Value(Value::Dictionary{}),
      Value("not a record"),
      Value{{"when", Value::date(123.5)},
            {"n", -(1LL << 40)},
            {"least", std::numeric_limits<long long>::min()},
            {"most", std::numeric_limits<long long>::max()},
            {"small", -64},
            {"x", 0.1},
            {"yes", true},
            {"raw", Value(Value::Bytes{0, 255, 10})},
            {"nothing", nullptr},
            {longKey, std::string(70000, 'v')},
            {"splits", Value::Array{Value{{"amount", "2"}, {"category", "Food:Café"}}}}},
  };
  RecordList list(given, more);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list.toValue(), given);

  // A record is opened in the room of the one opened before it. In any order each comes back
  // as it was, and a copy taken of one keeps it when the next is opened.
  const std::size_t order[] = {3, 0, 3, 1, 0, 2, 3, 2, 0, 0};
  std::vector<Value> copies;
  for (std::size_t index : order) {
    EXPECT_EQ(list.open(index), given[index]) << index;
    copies.push_back(list[index]);
  }
  for (std::size_t i = 0; i < std::size(order); ++i) EXPECT_EQ(copies[i], given[order[i]]) << i;

  // Record 0 grows past the room left after it; record 3 shrinks.
  Value expected = given;
  for (Value* record : {&list.open(0), &expected.mutableArray()[0]}) {
    record->set(key::outputLength, 12345);
    record->set(key::memo, std::string(40, 'm'));
  }
  list.open(3).erase(longKey);
  expected.mutableArray()[3].erase(longKey);
  EXPECT_EQ(list[0], expected[0]);
  list.open(0).set(key::description, "Cafe");
  expected.mutableArray()[0].set(key::description, "Cafe");
  EXPECT_EQ(list.toValue(), expected);

  RecordList copy = list;
  copy.open(1).set(key::memo, "only in the copy");
  EXPECT_EQ(list.toValue(), expected);
  EXPECT_TRUE(list.open(4).isNull());
  EXPECT_EQ(list.toValue(), expected);
  RecordList moved = std::move(copy);
  moved.open(0).set("when", "after the move");
  expected.mutableArray()[0].set("when", "after the move");
  expected.mutableArray()[1].set(key::memo, "only in the copy");
  EXPECT_EQ(moved.toValue(), expected);
  EXPECT_EQ(RecordList(Value("no array")).size(), 0u);
}

// The records a run holds packed: every kind of value a continuation file can bring comes back
// equal, and a record opened and changed keeps its changes when another is opened, whether it
// grew past its packed room or shrank into it. So with a table of keys of its own (a brokerage
// run's), some of them the transaction keys again, and in a copy and a list moved to.
TEST(RecordListTest, GivesBackEveryValueAndEveryChangeToAnOpenRecord) {
  constexpr std::string_view kMoreKeys[] = {"when", "Memo", "n", "amount", "yes", "", "most"};
  for (RecordList::KeyTable more : {RecordList::KeyTable(), RecordList::KeyTable(kMoreKeys)}) {
    SCOPED_TRACE(more.size());
    everyValueAndChangeComesBack(more);
  }
}

// Records of text fields packed straight from the texts are the records their dictionaries make,
// with texts empty, long enough for a block of their own, and under keys of every kind.
TEST(RecordListTest, TextFieldsPackAsTheirDictionaries) {
  const std::string longText(200000, 't');
  RecordList fromTexts, fromValues;
  for (std::size_t i = 0; i < 3000; ++i) {
    const std::string number = std::to_string(i), description(i % 300, 'd');
    const std::vector<RecordList::TextField> fields = {
        {key::amount, number},
        {"an unknown key", i % 7 == 0 ? std::string_view(longText) : std::string_view()},
        {key::description, description},
        {key::memo, number}};
    Value record = Value::dictionary();
    for (const auto& [name, text] : fields) record.set(name, text);
    fromTexts.appendTexts(fields);
    fromValues.append(record);
  }
  ASSERT_EQ(fromTexts.size(), fromValues.size());
  for (std::size_t i = 0; i < fromTexts.size(); ++i) {
    ASSERT_EQ(fromTexts[i], fromValues[i]) << i;
    // A mark added after reading still fits in the room left for it.
    fromTexts.open(i).set(key::outputLength, 1LL << 40);
  }
  for (std::size_t i = 0; i < fromTexts.size(); ++i)
    ASSERT_EQ(fromTexts[i][key::outputLength].toInt(), 1LL << 40) << i;
}

}  // namespace
}  // namespace corvela
