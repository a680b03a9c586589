#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "formats/OutputFormats.h"
#include "lists/Categories.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/Preferences.h"
#include "support/ScratchStore.h"
#include "support/ScriptedPlatform.h"

namespace corvela::testing {

inline Value splitRecord(const char* category, const char* memo, const char* amount) {
  return Value{{"category", category}, {"memo", memo}, {"amount", amount}};
}

// A delimited format with the given columns; every column present unless listed in `absent`.
inline Value delimitedFormat(const char* name, std::vector<const char*> columns,
                             std::vector<std::size_t> absent = {},
                             const char* separator = "Comma") {
  Value::Array order, present;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    order.emplace_back(columns[i]);
    present.emplace_back(std::find(absent.begin(), absent.end(), i) == absent.end());
  }
  return Value{{"Name", name},
               {"Type", "Bank"},
               {"Separator", separator},
               {"Order", Value(std::move(order))},
               {"Present", Value(std::move(present))}};
}

// Output formats over a scratch store, with default templates and the built-in "QIF" entry.
class OutputFormatsTest : public ::testing::Test {
 protected:
  OutputFormatsTest()
      : options(store.prefs),
        categories(store.prefs, platform),
        formats(store.prefs, options, categories, Bundle::builtIn()) {
    store.prefs.setObject(prefKey::DescriptionOutput, "%d");
    store.prefs.setObject(prefKey::MemoOutput, "%m");
    store.prefs.setObject(prefKey::OutputDateFormat, "%m/%d/%Y");
    formats.createIfAbsent();
  }

  std::string produce(const BankCCOutput& transaction, const char* formatName = "QIF",
                      const char* account = "") {
    std::string buffer;
    formats.produceBankCCOutput(buffer, {formatName, account}, transaction);
    return buffer;
  }

  std::vector<std::string> names() const {
    std::vector<std::string> result;
    for (const Value& entry : store.prefs.objectForKey("OutputFormats").toArray()) {
      result.push_back(str(entry, "Name"));
    }
    return result;
  }

  ScratchStore store;
  ScriptedPlatform platform;
  Preferences options;
  Categories categories;
  OutputFormats formats;
};

inline BankCCOutput shopping() {
  BankCCOutput t;
  t.date = "01/31/2024";
  t.description = "Shop";
  t.amount = "-12.00";
  return t;
}

}  // namespace corvela::testing
