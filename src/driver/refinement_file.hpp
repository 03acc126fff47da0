// A refinement program's file given where the parameter file belongs: told
// by its head, so that the user learns to write a parameter file first.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace sfconv {

// What a file given for the parameter file shows itself to be: "a CIF file",
// "a GSAS listing", "a GSAS-II listing", "a FullProf output", "a KOLMEX
// reflection file", "FullProf's second file"; empty when none of them (a
// parameter file, say). `first` is its first significant line as the
// parameter file's reader returns it (a binary file's bytes up to its first
// line feed), `more` the significant lines after it, as many as the caller
// read: without them only a KOLMEX file and a GSAS listing are told, which
// no parameter file's first line can be taken for.
std::string_view refinement_file_kind(std::string_view first,
                                      std::span<const std::string> more = {});

// How many lines after the first refinement_file_kind needs to see to tell a
// FullProf output or a GSAS-II listing by its banner.
inline constexpr int kHeadLinesAfterFirst = 10;

// The usage error for `name`, a file of `kind`, given as the parameter file:
// write a parameter file first with sfconv --init.
[[noreturn]] void refuse_refinement_file(std::string_view name, std::string_view kind);

}  // namespace sfconv
