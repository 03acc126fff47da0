// The run driver: from the parameter file's name to the structure-factor file.
#pragma once

#include <string>
#include <string_view>

namespace sfconv {

// One whole run. Ends normally with the output file written, or by throwing
// RecognisedStop or IoFailure, in which case no output file was created. With
// `strict`, a run that warned throws StrictStop instead of writing its output:
// every warning is known before the output is put in place.
void run(std::string_view parameter_file, bool strict = false);

// The reader for an input file's name: 'G' for the first of ".lst", 'F' for
// ".out", 'R' for ".fos" found anywhere in it (case matters), else 'C' for
// ".cif" or ".fcf" in either case; ' ' for none.
char reader_for(std::string_view name);

// How an input's reader was chosen: by a text of its name (".out"), which may
// stand inside the name rather than at its end (alumina.outer.cif is read as
// a FullProf output), or, for a name that holds none, by the file's content:
// a CIF file's first significant bytes (after blanks and '#' comment lines)
// are "data_" or its magic line "#\#CIF_". reader ' ' when neither chose one.
struct ReaderChoice {
  char reader = ' ';
  std::string text;     // the text of the name that chose the reader; empty when the content did
  bool inside = false;  // the text stands inside the name, not at its end
  std::string content;  // what the content showed: "data_ (line 1)"
  bool content_read = false;  // the content was looked at: a regular file with no text chose
};
ReaderChoice choose_reader(std::string_view name);

// What a failure's report adds when a text inside the name chose the reader.
std::string reader_choice_note(std::string_view name, const ReaderChoice& choice);

}  // namespace sfconv
