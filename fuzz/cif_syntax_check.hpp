// The CIF syntax layer checked against GEMMI's own document on the same
// bytes; any difference aborts, naming it.
#pragma once

#include <string_view>

namespace sfconv::fuzz {

void check_cif_syntax(std::string_view bytes);

}  // namespace sfconv::fuzz
