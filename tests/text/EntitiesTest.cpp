#include <gtest/gtest.h>

#include "text/Entities.h"

namespace corvela {
namespace {

TEST(EntitiesTest, DecodesWhatOFXEscapesAndLeavesTheRest) {
  struct Case {
    const char* text;
    const char* decoded;
  };
  const Case cases[] = {
      {"B.C. HYDRO &amp; POWER", "B.C. HYDRO & POWER"},
      {"TPAY &amp;lt;DEFTPYMT&amp;gt;", "TPAY &lt;DEFTPYMT&gt;"},  // one pass only
      {"&lt;&gt;&quot;&apos;", "<>\"'"},
      {"CAF&#201; &#xe9;&#XE9;", "CAF\xC3\x89 \xC3\xA9\xC3\xA9"},
      {"AT&T", "AT&T"},                                          // a bare ampersand stays
      {"A & B; C", "A & B; C"},                                  // not an entity name
      {"&#0; &#xD800; &#x110000;", "&#0; &#xD800; &#x110000;"},  // no character
      {"A&#10;B&#13;&#x7f;&#9;", "A&#10;B&#13;&#x7f;&#9;"},      // control characters
      {"&unknown;", "&unknown;"},
      {"trailing &", "trailing &"},
      {"&amp", "&amp"},
  };
  for (const Case& c : cases) EXPECT_EQ(decodeEntities(c.text), c.decoded) << c.text;
}

}  // namespace
}  // namespace corvela
