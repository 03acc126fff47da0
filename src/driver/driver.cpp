// The run driver: opens, reads and closes the files in a fixed order.
#include "driver/driver.hpp"

#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

#include "driver/read_data.hpp"
#include "driver/refinement_file.hpp"
#include "readers/cif/cif.hpp"
#include "readers/fullprof/fullprof.hpp"
#include "readers/gsas/gsas.hpp"
#include "readers/kolmex/kolmex.hpp"
#include "run/report.hpp"
#include "run/run_state.hpp"
#include "run/writer.hpp"
#include "textio/chars.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/files.hpp"
#include "textio/parameters.hpp"
#include "textio/readline.hpp"
#include "textio/text_input.hpp"
#include "textio/text_output.hpp"

namespace sfconv {

namespace {
constexpr int kRefinementUnit = 1;
constexpr int kOutputUnit = 4;
constexpr int kParameterUnit = 5;

// A file-name line: a name longer than its field would be cut, and a cut name
// may well name another file. Blanks before the name do not count.
void check_name(TextInput& parameters, Text<512>& field, const ParameterLine& kind,
                std::size_t length) {
  const std::string_view what = kind.name;
  if (field.trimmed() == "?") refuse_placeholder(line_origin(parameters, what), "?", kind);
  if (length > field.size()) {
    const char* why = "File name longer than 512 characters";
    if (parameters.cut()) fail_at(parameters, why, ": the ", what, " is longer than the line kept");
    fail_at(parameters, why, ": the ", what, " is ", length, " characters long");
  }
}

void read_name(TextInput& parameters, Text<512>& field, const ParameterLine& kind) {
  check_name(parameters, field, kind, readline_name(parameters, field, kind.name));
}

// The first line, the input file's name, unless the file given for the
// parameter file is a refinement program's file: told by that line or, where
// it names no file sfconv reads (and the run stops anyway), by the banner in
// the lines after it.
ReaderChoice read_input_name(TextInput& parameters) {
  const std::size_t length = readline_name(parameters, CDATA.FILEIN, lines::input_name.name);
  const long line = parameters.line();
  const std::string_view first = CDATA.FILEIN.trimmed();
  std::string_view kind = refinement_file_kind(first);
  if (!kind.empty()) refuse_refinement_file(parameters.name(), kind);
  check_name(parameters, CDATA.FILEIN, lines::input_name, length);
  ReaderChoice choice = choose_reader(file_name(CDATA.FILEIN.view()));
  if (choice.reader != ' ') return choice;
  std::vector<std::string> more;
  Text<512> next;
  while (more.size() < kHeadLinesAfterFirst &&
         readline_or_end(parameters, next.data(), next.size())) {
    more.emplace_back(next.trimmed());
  }
  kind = refinement_file_kind(first, more);
  if (!kind.empty()) refuse_refinement_file(parameters.name(), kind);
  stop_on_line(
      format_line("(A)"_fmt, " The extension of a standard output file should be lst or out"),
      parameters.name(), line, "the input file name ", quote_line(first),
      " holds none of .lst (GSAS), .out (FullProf), .fos (KOLMEX), .cif and .fcf (CIF) "
      "in its last part",
      choice.content_read ? ", nor does the file begin as a CIF file (data_ or #\\#CIF_)" : "");
}

// The output must never replace one of the run's inputs: an easy slip with
// three name lines in a row.
void refuse_output_over_input(const std::string& output) {
  struct stat out {};
  if (output.find('\0') != std::string::npos) return;  // refused when opened
  if (stat(output.c_str(), &out) != 0 || !S_ISREG(out.st_mode)) return;
  struct Input {
    const char* what;
    std::string name;
  };
  Input inputs[] = {{"parameter file", file_name(CDATA.FILEPAR.view())},
                    {"refinement file", file_name(CDATA.FILEIN.view())},
                    {"second file", CDATA.PROG.c[0] == 'F' ? file_name(CDATA.FILEIN2.view()) : ""}};
  for (const Input& in : inputs) {
    struct stat st {};
    if (in.name.empty() || stat(in.name.c_str(), &st) != 0) continue;
    if (st.st_dev == out.st_dev && st.st_ino == out.st_ino) {
      throw IoFailure{cat("sfconv: the output file ", quoted(output), " is the ", in.what, " ",
                          quoted(in.name)),
                      "Cannot create file: it would replace an input of the run", "OPEN",
                      kOutputUnit};
    }
  }
}

// A significant line after the last one the run read: a polarization line
// for a neutron histogram, say, or a line too many that shifted the others.
void left_over_line(TextInput& parameters) {
  Text<512> line;
  if (readline_or_end(parameters, line.data(), line.size())) {
    warn(place(parameters.name(), parameters.line()),
         "a line left over after the run: ", quote_line(line.trimmed()));
  }
}

}  // namespace

char reader_for(std::string_view name) {
  // The extension belongs to the file's own name: a folder run.lst.d/ says
  // nothing about the files in it.
  std::size_t slash = name.rfind('/');
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  if (name.find(".lst") != std::string_view::npos) return 'G';
  if (name.find(".out") != std::string_view::npos) return 'F';
  if (name.find(".fos") != std::string_view::npos) return 'R';
  std::string lower(name);
  for (char& c : lower) c = to_lower(c);
  if (lower.find(".cif") != std::string::npos || lower.find(".fcf") != std::string::npos) {
    return 'C';
  }
  return ' ';
}

namespace {

// What the first significant bytes of a regular file show, when they show a
// CIF file: "data_" (in any case) or the magic line "#\\#CIF_", after blanks
// and '#' comment lines (and a UTF-8 byte-order mark); empty otherwise, and
// nothing for a file that cannot be read or is no regular file (a FIFO is
// not read ahead of its reader).
std::optional<std::string> cif_content(std::string_view name) {
  const std::string path = file_name(name);
  struct stat st {};
  if (path.find('\0') != std::string::npos || stat(path.c_str(), &st) != 0 ||
      !S_ISREG(st.st_mode)) {
    return std::nullopt;
  }
  FilePtr f(std::fopen(path.c_str(), "rb"));
  if (!f) return std::nullopt;
  std::string bytes(std::size_t{1} << 20, '\0');  // a longer head of comments is no CIF's
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f.get()));
  std::string_view rest = bytes;
  if (rest.starts_with("\xef\xbb\xbf")) rest.remove_prefix(3);
  long line = 1;
  while (!rest.empty()) {
    const char c = rest[0];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (c == '\n') ++line;
      rest.remove_prefix(1);
    } else if (rest.starts_with("#\\#CIF_")) {
      return cat("#\\#CIF_ (line ", line, ")");
    } else if (c == '#') {
      const std::size_t end = rest.find('\n');
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    } else {
      std::string head(rest.substr(0, 5));
      for (char& x : head) x = to_lower(x);
      return head == "data_" ? cat("data_ (line ", line, ")") : std::string();
    }
  }
  return {};
}

}  // namespace

ReaderChoice choose_reader(std::string_view name) {
  ReaderChoice choice;
  choice.reader = reader_for(name);
  if (choice.reader == ' ') {
    const std::optional<std::string> content = cif_content(name);
    choice.content_read = content.has_value();
    choice.content = content.value_or("");
    if (!choice.content.empty()) choice.reader = 'C';
    return choice;
  }
  // The text that chose it, found as reader_for finds it.
  std::size_t slash = name.rfind('/');
  const std::string_view own = slash == std::string_view::npos ? name : name.substr(slash + 1);
  std::string lower(own);
  for (char& c : lower) c = to_lower(c);
  const std::pair<const char*, std::string_view> texts[] = {
      {".lst", own}, {".out", own}, {".fos", own}, {".cif", lower}, {".fcf", lower}};
  for (const auto& [text, in] : texts) {
    const std::size_t at = in.find(text);
    if (at == std::string_view::npos) continue;
    choice.text = text;
    choice.inside = at + choice.text.size() != in.size();
    break;
  }
  return choice;
}

std::string reader_choice_note(std::string_view name, const ReaderChoice& choice) {
  if (!choice.inside) return {};
  const char* kind = choice.reader == 'G'   ? "a GSAS listing"
                     : choice.reader == 'F' ? "a FullProf output"
                     : choice.reader == 'R' ? "a KOLMEX reflection file"
                                            : "a CIF file";
  return cat(" (", name, " is read as ", kind, ": the text ", quoted(choice.text),
             " inside its name, not at its end, chose the reader)");
}

namespace {

// Reads the parameter file and the refinement program's files into the run
// state and returns RELVAR; every file it opens is closed when it returns.
float read_inputs(std::string_view parameter_file, ReaderChoice& choice) {
  CDATA.FILEPAR.assign(parameter_file);
  under_way("READ", kParameterUnit, cat("reading ", parameter_file));
  TextInput parameters(CDATA.FILEPAR.view(), kParameterUnit);
  // The lines read are noted for the hint of a line that does not hold what
  // belongs there; the stream goes with this function.
  PARAMETER_LOG.clear();
  PARAMETER_LOG.expect({{&lines::input_name}});
  struct Closed {
    ~Closed() { PARAMETER_LOG.close(); }
  } closed;

  choice = read_input_name(parameters);
  const char prog = choice.reader;
  if (!choice.content.empty()) {
    note(file_name(CDATA.FILEIN.view()),
         ": its name holds none of .lst, .out, .fos, .cif and .fcf; read as a CIF file, as its "
         "content begins with ",
         choice.content);
  }
  CDATA.PROG.assign(std::string_view(&prog, 1));
  PARAMETER_LOG.expect(parameter_places(prog));
  if (prog == 'R') IDATA.phase_no = 1;
  if (prog == 'F') read_name(parameters, CDATA.FILEIN2, lines::second_name);
  read_name(parameters, CDATA.FILEOUT, lines::output_name);

  float RELVAR = 0.0f;
  if (prog == 'R') {
    read_data_kolmex(parameters);
    under_way("READ", kRefinementUnit, cat("reading ", file_name(CDATA.FILEIN.view())));
    RecordFile refinement(CDATA.FILEIN.view(), kRefinementUnit);
    kolmex(refinement, RELVAR);
    under_way("READ", kParameterUnit, cat("reading ", parameter_file));
    left_over_line(parameters);
  } else {
    read_data_gsas_fullprof(parameters);
    RELVAR = 0.0f;
    under_way("READ", kRefinementUnit, cat("reading ", file_name(CDATA.FILEIN.view())));
    if (prog == 'C') {
      cif(CDATA.FILEIN.view(), parameters);  // read whole, closed when it returns
    } else {
      TextInput refinement(CDATA.FILEIN.view(), kRefinementUnit);
      if (prog == 'G') {
        gsas(refinement, parameters);
      } else {
        fullprof(refinement, parameters);
      }
    }
    under_way("READ", kParameterUnit, cat("reading ", parameter_file));
    left_over_line(parameters);
  }
  return RELVAR;
}

void convert(std::string_view parameter_file, bool strict, ReaderChoice& choice) {
  const float RELVAR = read_inputs(parameter_file, choice);
  // Only now, with everything read, is the output file made.
  const std::string output = file_name(CDATA.FILEOUT.view());
  refuse_output_over_input(output);
  under_way("WRITE", kOutputUnit, cat("writing ", output));
  TextOutput out(CDATA.FILEOUT.view(), kOutputUnit);
  write_structure_factors(out, RELVAR);
  sum_up(output);
  // Every warning is known now, before the file is put in place.
  if (strict && !REPORT.warnings.empty()) throw StrictStop{output};
  out.commit();
}

}  // namespace

void run(std::string_view parameter_file, bool strict) {
  ReaderChoice choice;
  try {
    convert(parameter_file, strict, choice);
  } catch (IoFailure& failure) {
    failure.header += reader_choice_note(file_name(CDATA.FILEIN.view()), choice);
    throw;
  } catch (RecognisedStop& stop) {
    stop.where += reader_choice_note(file_name(CDATA.FILEIN.view()), choice);
    throw;
  }
}

}  // namespace sfconv
