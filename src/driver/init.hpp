// sfconv --init: a parameter file written from what a refinement file holds.
#pragma once

#include <string>
#include <string_view>

namespace sfconv {

// The parameter file for `input` (and, for a FullProf output, its second
// file `second`, which need not exist; empty when not given). A file that
// sfconv cannot read ends as a run would end on it.
std::string init_parameter_file(std::string_view input, std::string_view second);

}  // namespace sfconv
