// The run driver: from the parameter file's name to the structure-factor file.
#pragma once

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

}  // namespace sfconv
