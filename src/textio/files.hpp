// Files by name: the name a text field holds, and opening an existing file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace sfconv {

// The file name a text field holds: the field without its trailing blanks.
std::string file_name(std::string_view field);

// A name as a report shows it: a NUL byte as \0.
std::string printable_name(std::string_view name);

// Opens an existing file for reading; a failure is the OPEN report for `unit`.
// Directories and devices are refused: they hold no refinement result.
std::FILE* open_existing(const std::string& name, int unit);

}  // namespace sfconv
