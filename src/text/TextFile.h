#pragma once

#include <string>
#include <string_view>

#include "platform/Status.h"

namespace corvela {

// A file's text as UTF-8, and the encoding it was read in.
struct DecodedText {
  std::string text;
  // "UTF-8", "windows-1252", "UTF-16LE", "UTF-16BE", or the name of a character set that an OFX
  // header or an XML declaration declared.
  std::string encoding;
};

// Turns the bytes of a statement file into UTF-8 text:
//  - a UTF-8 byte-order mark is dropped (bytes after it that are not UTF-8 are read as
//    Windows-1252 one by one); UTF-16 with a byte-order mark, or without one when the zero bytes
//    show it, is converted;
//  - bytes that are valid UTF-8 are taken as they are, whatever a header says (a header is
//    often boilerplate; valid multi-byte UTF-8 in a file labelled single-byte is mislabelled);
//  - otherwise the character set declared by an OFX header (CHARSET, with ENCODING:UTF-8
//    meaning UTF-8) or an XML declaration's encoding is used when it is known, and
//    Windows-1252 in every other case (ISO-8859-1 and US-ASCII labels read as Windows-1252).
// Never fails: every byte becomes some character.
DecodedText decodeText(std::string_view bytes);

// Reads and decodes a whole file. A file that cannot be read gives an error naming the file and
// the reason, such as: The file "/home/me/x.csv" could not be read: No such file or directory.
Result<DecodedText> readTextFile(const std::string& path);

}  // namespace corvela
