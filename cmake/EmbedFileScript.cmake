file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(LENGTH "${hex}" hexlen)
math(EXPR len "${hexlen} / 2")
file(WRITE ${OUTPUT}
  "// Generated from ${INPUT}; do not edit.\n"
  "#include <string_view>\n"
  "namespace corvela {\n"
  "static const unsigned char kData[] = {${bytes} 0};\n"
  "extern const std::string_view ${NAME}(reinterpret_cast<const char*>(kData), ${len});\n"
  "}\n")
