// Splitting comma-separated text files (CSV and CSVINFO).
//
// Rules, byte by byte over Shift-JIS text:
// - outside quotes "," ends a field; a double quote starts or ends a double-
//   quoted part and an apostrophe a single-quoted part, each kind being plain
//   text inside the other; the quote bytes stay in the field; a comma inside
//   either kind is text;
// - spaces and tabs before a field's first character are skipped, after it
//   they belong to the field;
// - "\r\n", "\r" and "\n" end a line (inside quotes too) and close any open
//   quotes; the end of the file ends the last line as a line end would;
// - at a line end the line's last field is stored when the line had a comma
//   or any field text, and a line that stored anything is followed by one
//   element holding the single byte "\r" as its row marker; a line of blanks
//   stores nothing;
// - a double-byte character (a lead byte followed by a trail byte, 0x40-0x7E
//   or 0x80-0xFC) is taken whole, so a trail byte 0x5C or 0x7C is never a
//   separator; a lead byte before a line end or at the end of the file is
//   a byte of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace nv::csv {

struct Split {
  // The first `max_elements` elements, as views into the text (row markers
  // view a static "\r").
  std::vector<std::string_view> elements;
  size_t count = 0;  // all elements of the text, kept or not
};

Split split(std::string_view text, size_t max_elements = SIZE_MAX);

}  // namespace nv::csv
