#pragma once

namespace corvela {

// What the date and field finders remember from one call to the next while one input is read.
// The reader or the learning wizard that works through an input owns one and hands it to every
// call; nothing of it lives anywhere else.
struct ScanState {
  // The length in bytes of the long date (one with a month name) last found by findDateLong.
  int longDateLength = 0;
  // The number of blanks in front of the transaction dates, as learnt from a sample. 0 means
  // unknown. The learning wizard sets it to -1 when it starts; findDate then records the blanks
  // in front of the first date it accepts that follows blanks. Read by the MULTIPLE_BLANKS rule
  // of findField.
  int multipleBlankCount = 0;
  // The blanks that followed the last field separator accepted by the INITIAL_BLANKS rule of
  // findField; -1 until the first one.
  int initialBlanks = -1;
};

}  // namespace corvela
