// A refinement program's file given where the parameter file belongs.
#include "driver/refinement_file.hpp"

#include <cstdint>
#include <filesystem>

#include "readers/fullprof/fullprof_output.hpp"
#include "readers/gsas/gsas_listing.hpp"
#include "textio/chars.hpp"
#include "textio/failure.hpp"

namespace sfconv {

namespace {

bool starts_with_nocase(std::string_view text, std::string_view start) {
  if (text.size() < start.size()) return false;
  for (std::size_t i = 0; i < start.size(); ++i) {
    if (to_lower(text[i]) != start[i]) return false;
  }
  return true;
}

// A KOLMEX file begins with the length word of its first record, four bytes
// big-endian (00 00 00 46) or little-endian (46 00 00 00) whose value a title
// record can have, 1 to 65536: two NUL bytes at least, with which no name of a
// file begins.
bool kolmex_start(std::string_view first) {
  if (first.size() < 4) return false;
  auto byte = [&](std::size_t i) { return std::uint32_t{static_cast<unsigned char>(first[i])}; };
  const std::uint32_t big = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
  const std::uint32_t little = byte(3) << 24 | byte(2) << 16 | byte(1) << 8 | byte(0);
  auto fits = [](std::uint32_t n) { return n >= 1 && n <= 65536; };
  return fits(big) || fits(little);
}

// GSAS heads each page of its listing with a line "1" and the title, the
// program, "Version", the system, the date and "Page".
bool gsas_page_header(std::string_view first) {
  return first.starts_with('1') && first.find(" Version ") != std::string_view::npos &&
         first.find(" Page ") != std::string_view::npos;
}

// FullProf's banner ("** PROGRAM FullProf.2k (Version 7.95 ...") or the
// lines every output prints near its start; the parameter file's reader
// has removed their leading blanks.
bool fullprof_line(std::string_view line) {
  return line.find("PROGRAM FullProf") != std::string_view::npos ||
         line.starts_with(trim_start(fullprof_output::kPcrCode)) ||
         line.starts_with(trim_start(fullprof_output::kPatternBlock));
}

// A name as a shell takes it: in single quotes when it holds more than
// letters, digits and . _ / + -.
std::string shell_word(std::string_view name) {
  for (char c : name) {
    if (!is_letter(c) && !is_digit(c) &&
        std::string_view("._/+-").find(c) == std::string_view::npos) {
      std::string quoted = "'";
      for (char d : name) quoted += d == '\'' ? std::string("'\\''") : std::string(1, d);
      return quoted + "'";
    }
  }
  return std::string(name);
}

// The FullProf output a second file goes with: RUN.out beside RUN.fou when
// it is there, else a name to fill in.
std::string output_beside(std::string_view second) {
  const std::size_t dot = second.rfind('.');
  const std::size_t slash = second.rfind('/');
  if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash)) {
    std::string output = cat(second.substr(0, dot), ".out");
    std::error_code error;
    if (std::filesystem::is_regular_file(output, error)) return output;
  }
  return "RUN.out";
}

}  // namespace

std::string_view refinement_file_kind(std::string_view first, std::span<const std::string> more) {
  if (kolmex_start(first)) return "a KOLMEX reflection file";
  if (gsas_page_header(first) && !gsas_listing::names_gsas2(first)) return "a GSAS listing";
  for (std::size_t i = 0; i <= more.size(); ++i) {
    const std::string_view line = i == 0 ? first : std::string_view(more[i - 1]);
    if (gsas_listing::names_gsas2(line)) return "a GSAS-II listing";
    if (fullprof_line(line)) return "a FullProf output";
  }
  // A CIF file's first significant line opens a data block (the "#\#CIF_1.1"
  // before it is a comment), and tags or loops follow.
  if (starts_with_nocase(first, "data_")) {
    for (const std::string& line : more) {
      if (line.starts_with('_') || starts_with_nocase(line, "loop_")) return "a CIF file";
    }
  }
  // FullProf's second file begins with its phase marker.
  if (first.starts_with(trim_start(fullprof_output::kSecondPhase)) ||
      first.starts_with(trim_start(fullprof_output::kFourierPhase))) {
    return "FullProf's second file";
  }
  return {};
}

void refuse_refinement_file(std::string_view name, std::string_view kind) {
  const std::string what =
      kind == "a GSAS-II listing"
          ? cat("sfconv reads no GSAS-II listing; ", gsas_listing::kGsas2Advice,
                ": sfconv --init EXPORTED.cif > params.txt")
      : kind == "FullProf's second file"
          ? cat("write the parameter file first, from the FullProf output it goes with: "
                "sfconv --init ",
                shell_word(output_beside(name)), " ", shell_word(name), " > params.txt")
          : cat("write the parameter file first: sfconv --init ", shell_word(name),
                " > params.txt");
  throw IoFailure{cat("sfconv: ", name, " is ", kind, ", not a parameter file"),
                  cat("Refinement file given for the parameter file: ", what), "OPEN", 5};
}

}  // namespace sfconv
