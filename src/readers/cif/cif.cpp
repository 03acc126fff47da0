// CIF and FCF reflection files. GEMMI reads the syntax; this reader finds the
// reflection loops, follows the links between the blocks that GSAS and GSAS-II
// write, and turns each row of the chosen loop and phase into a reflection.
#include "readers/cif/cif.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <span>

#include <gemmi/symmetry.hpp>
#include <gemmi/unitcell.hpp>

#include "readers/cif/cif_syntax.hpp"
#include "readers/cross_check.hpp"
#include "readers/space_group.hpp"
#include "readers/structure_factor.hpp"
#include "run/report.hpp"
#include "run/run_state.hpp"
#include "run/writer.hpp"
#include "textio/chars.hpp"
#include "textio/det_angle.hpp"
#include "textio/failure.hpp"
#include "textio/files.hpp"
#include "textio/parameters.hpp"
#include "textio/report.hpp"

namespace sfconv {

namespace {

// ---- The file: read whole, its syntax by GEMMI ----

struct CifFile {
  std::string name;
  int unit = 1;
  CifSyntax syntax;
};

// A warning for each repetition GEMMI's document would refuse and the reader
// lives with: a block name given again, and the tags a loop repeats of an
// earlier loop of its block (one warning a loop).
void warn_repeats(const CifFile& file) {
  const std::vector<CifRepeat>& r = file.syntax.repeats;
  for (std::size_t i = 0; i < r.size();) {
    if (r[i].tag.empty()) {
      warn(place(file.name, r[i].line), "a second data block named data_", r[i].block,
           " (the first at line ", r[i].first,
           "): two files joined? Each block is read as a block of its own");
      ++i;
      continue;
    }
    std::vector<std::string> tags;
    std::size_t j = i;
    for (; j < r.size() && !r[j].tag.empty() && r[j].line == r[i].line &&
           r[j].first == r[i].first && r[j].block == r[i].block;
         ++j) {
      tags.push_back(r[j].tag);
    }
    warn(place(file.name, r[i].line), "the loop repeats ", tags.size() == 1 ? "the tag " : "tags ",
         and_list(tags), " of the loop at line ", r[i].first, " in data_", r[i].block,
         ": each loop is read as it stands, every reflection loop a data set of its own");
    i = j;
  }
}

void load(CifFile& file, std::string_view field, int unit) {
  file.name = file_name(field);
  file.unit = unit;
  try {
    FilePtr f = open_existing(file.name, file.unit);
    file.syntax = read_cif_syntax(f.get(), file.name);
  } catch (const CifReadError& e) {
    throw IoFailure{cat("sfconv: error in ", file.name),
                    cat("Cannot read file: ", std::strerror(e.error)), "READ", file.unit};
  } catch (const CifSyntaxError& e) {
    std::string where = e.line == 0     ? cat("sfconv: error in ", file.name)
                        : e.column == 0 ? error_in(file.name, e.line)
                                        : error_in(file.name, e.line, ", column ", e.column);
    throw IoFailure{cat(where, " (GEMMI reading the CIF syntax): ", e.message),
                    "Invalid CIF syntax", "READ", file.unit};
  }
  for (const CifPair& tag : file.syntax.mended) {
    warn(place(file.name, tag.line), "the tag ", sfconv::quoted(cat(tag.tag, tag.value)),
         " has its value glued to it (a slip of FullProf's CIF): read as ", tag.tag, " ",
         tag.value);
  }
  warn_repeats(file);
}

// ---- Items by name ----

// Whether a tag is the item `name` (lower case, in its DDL1 form): CIF names
// are compared without case, and the '.' of an mmCIF name stands for the '_'
// of its DDL1 form ("_refln.F_meas_au" is "_refln_f_meas_au").
bool is_tag(std::string_view tag, std::string_view name) {
  if (tag.size() != name.size()) return false;
  for (std::size_t i = 0; i < tag.size(); ++i) {
    if ((tag[i] == '.' ? '_' : to_lower(tag[i])) != name[i]) return false;
  }
  return true;
}

int column_of(const CifLoop& loop, std::string_view name) {
  for (std::size_t c = 0; c < loop.tags.size(); ++c) {
    if (is_tag(loop.tags[c], name)) return static_cast<int>(c);
  }
  return -1;
}

// An item of a block: a pair, or a column of a loop.
struct Found {
  const CifBlock* block = nullptr;
  const CifPair* pair = nullptr;
  const CifLoop* loop = nullptr;
  int column = -1;

  explicit operator bool() const { return pair != nullptr || loop != nullptr; }
  std::size_t rows() const { return pair != nullptr ? 1 : loop->length(); }
  std::string_view raw(std::size_t row = 0) const {
    return pair != nullptr ? pair->value : loop->val(row, static_cast<std::size_t>(column));
  }
  std::string_view tag() const {
    return pair != nullptr ? pair->tag : loop->tags[static_cast<std::size_t>(column)];
  }
  long line(std::size_t row = 0) const {
    return pair != nullptr ? pair->line : loop->line_of(row, static_cast<std::size_t>(column));
  }
};

// A column of a loop of the block.
Found column(const CifBlock& block, const CifLoop& loop, int c) {
  return {&block, nullptr, &loop, c};
}

// The first of `names` that the block holds; a pair whose value is '?' or
// '.' counts as absent.
Found find(const CifBlock& block, std::span<const std::string_view> names) {
  for (std::string_view name : names) {
    for (const CifPair& pair : block.pairs) {
      if (is_tag(pair.tag, name) && !cif_null(pair.value)) return {&block, &pair};
    }
    for (const CifLoop& loop : block.loops) {
      if (int c = column_of(loop, name); c >= 0) return column(block, loop, c);
    }
  }
  return {};
}

Found find(const CifBlock& block, std::string_view name) {
  return find(block, std::span<const std::string_view>(&name, 1));
}

// An item with a value: not '?' or '.'.
bool given(const Found& f) {
  return f && f.rows() > 0 && !cif_null(f.raw(0));
}

std::string block_name(const CifBlock& block) {
  return cat("data_", block.name);
}

int index_of(const CifFile& file, const CifBlock& block) {
  return static_cast<int>(&block - file.syntax.blocks.data());
}

CifPlace place_of(const CifFile& file, const Found& f, std::size_t row = 0) {
  return {block_name(*f.block), f.line(row), index_of(file, *f.block)};
}

// A value's text, trimmed, as a view into the file: the numbers of every row
// are read without a copy.
std::string_view text_view(std::string_view raw) {
  std::string_view s = cif_unquoted(raw);
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  return s;
}

std::string text_of(std::string_view raw) {
  return std::string(text_view(raw));
}

// ---- Numbers ----

// A leading "+" dropped, as <charconv> takes none; false for a second sign
// after it ("+-1.5" is no number).
bool drop_plus(std::string_view& text) {
  if (!text.starts_with('+')) return true;
  text.remove_prefix(1);
  return !text.starts_with('-') && !text.starts_with('+');
}

// A CIF number: an optional sign, digits with an optional point and
// exponent, and an optional standard uncertainty in parentheses, which is
// dropped ("4.760773(25)"). The nearest single-precision value; beyond the
// single-precision range an infinity or zero.
bool cif_real(std::string_view text, float& value) {
  if (std::size_t open = text.find('('); open != std::string_view::npos) {
    if (text.back() != ')') return false;
    text = text.substr(0, open);
  }
  if (!drop_plus(text)) return false;
  const std::string_view digits = text.starts_with('-') ? text.substr(1) : text;
  if (digits.empty() || !(is_digit(digits[0]) || digits[0] == '.')) return false;  // no "inf"
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error == std::errc::result_out_of_range) {
    long double wide = 0.0L;
    auto [wide_stop, wide_error] = std::from_chars(text.data(), end, wide);
    value = static_cast<float>(wide);
    return wide_error == std::errc() && wide_stop == end;
  }
  return error == std::errc() && stop == end;
}

enum class IntRead { ok, illegal, overflow };

IntRead cif_int(std::string_view text, std::int32_t& value) {
  if (!drop_plus(text)) return IntRead::illegal;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error == std::errc::result_out_of_range) return IntRead::overflow;
  return error == std::errc() && stop == end && !text.empty() ? IntRead::ok : IntRead::illegal;
}

[[noreturn]] void fail_value(const CifFile& file, const Found& f, std::size_t row,
                             const char* message, std::string_view what) {
  throw IoFailure{error_in(file.name, f.line(row), " (reading ", f.tag(), " of ", what, ": ",
                           sfconv::quoted(f.raw(row)), ")"),
                  message, "READ", file.unit};
}

float real_value(const CifFile& file, const Found& f, std::size_t row, std::string_view what) {
  float v = 0.0f;
  if (!cif_real(text_view(f.raw(row)), v)) fail_value(file, f, row, msg::illegal_character, what);
  return v;
}

std::int32_t int_value(const CifFile& file, const Found& f, std::size_t row,
                       std::string_view what) {
  std::int32_t v = 0;
  IntRead r = cif_int(text_view(f.raw(row)), v);
  if (r != IntRead::ok) {
    fail_value(file, f, row,
               r == IntRead::overflow ? msg::integer_overflow : msg::illegal_character, what);
  }
  return v;
}

// ---- What the file holds ----

constexpr std::string_view kCell[6] = {"_cell_length_a",   "_cell_length_b",
                                       "_cell_length_c",   "_cell_angle_alpha",
                                       "_cell_angle_beta", "_cell_angle_gamma"};
constexpr std::string_view kHermannMauguin[] = {"_symmetry_space_group_name_h-m",
                                                "_space_group_name_h-m_alt"};
constexpr std::string_view kGroupNumber[] = {"_space_group_it_number",
                                             "_symmetry_int_tables_number"};
constexpr std::string_view kOperations[] = {"_space_group_symop_operation_xyz",
                                            "_symmetry_equiv_pos_as_xyz"};
constexpr std::string_view kWavelength[] = {"_diffrn_radiation_wavelength",
                                            "_diffrn_radiation_wavelength_wavelength",
                                            "_pd_proc_wavelength"};
constexpr std::string_view kRadiation[] = {"_diffrn_radiation_probe", "_diffrn_radiation_type"};
constexpr std::string_view kTitle[] = {"_publ_section_title", "_shelx_title"};

// A reflection loop: a loop with a column _refln_index_h.
struct LoopAt {
  const CifBlock* block;
  const CifLoop* loop;
};

std::vector<LoopAt> reflection_loops(const CifFile& file) {
  std::vector<LoopAt> loops;
  for (const CifBlock& block : file.syntax.blocks) {
    for (const CifLoop& loop : block.loops) {
      if (column_of(loop, "_refln_index_h") >= 0) loops.push_back({&block, &loop});
    }
  }
  return loops;
}

// The phases of a loop by _pd_refln_phase_id, numbers in numerical order and
// names in the order of their characters; one phase when there is no id.
std::vector<CifPhase> phases_of(const CifLoop& loop) {
  const int c = column_of(loop, "_pd_refln_phase_id");
  if (c < 0 || loop.length() == 0) {
    CifPhase only;
    only.rows = static_cast<long>(loop.length());
    return {only};
  }
  std::map<std::string, long> rows;
  for (std::size_t r = 0; r < loop.length(); ++r) {
    ++rows[text_of(loop.val(r, static_cast<std::size_t>(c)))];
  }
  std::vector<CifPhase> phases;
  bool numbers = true;
  for (const auto& [id, n] : rows) {
    std::int32_t unused = 0;
    numbers = numbers && cif_int(id, unused) == IntRead::ok;
    phases.emplace_back();
    phases.back().id = id;
    phases.back().rows = n;
  }
  if (numbers) {
    std::sort(phases.begin(), phases.end(), [](const CifPhase& a, const CifPhase& b) {
      std::int32_t x = 0, y = 0;
      cif_int(a.id, x);
      cif_int(b.id, y);
      return x < y;
    });
  }
  return phases;
}

const CifBlock* block_with_id(const CifFile& file, std::string_view id) {
  for (const CifBlock& block : file.syntax.blocks) {
    Found f = find(block, "_pd_block_id");
    if (given(f) && f.pair != nullptr && text_of(f.raw()) == id) return &block;
  }
  return nullptr;
}

void add_block(std::vector<const CifBlock*>& blocks, const CifBlock* block) {
  if (block != nullptr && std::find(blocks.begin(), blocks.end(), block) == blocks.end()) {
    blocks.push_back(block);
  }
}

// The blocks whose _pd_block_diffractogram_id names the loop's block (its
// _pd_block_id): GSAS's phase blocks and overall block name each histogram
// so.
std::vector<const CifBlock*> naming_blocks(const CifFile& file, const CifBlock& own) {
  std::vector<const CifBlock*> blocks;
  Found self = find(own, "_pd_block_id");
  if (!given(self)) return blocks;
  const std::string own_id = text_of(self.raw());
  for (const CifBlock& block : file.syntax.blocks) {
    Found back = find(block, "_pd_block_diffractogram_id");
    for (std::size_t r = 0; given(back) && r < back.rows(); ++r) {
      if (&block != &own && text_of(back.raw(r)) == own_id) add_block(blocks, &block);
    }
  }
  return blocks;
}

// The blocks the file links to a phase of the loop's block: the one its
// phase table names (GSAS and GSAS-II: _pd_phase_id beside
// _pd_phase_block_id, matched by the block's _pd_block_id), or a lone
// _pd_phase_block_id when the loop has one phase; else, for one phase, the
// blocks that name the loop's block. With several phases a block that names
// the loop's block says nothing of which phase it holds.
std::vector<const CifBlock*> phase_links(const CifFile& file, const CifBlock& own,
                                         std::string_view id, bool one_phase) {
  std::vector<const CifBlock*> blocks;
  Found link = find(own, "_pd_phase_block_id");
  if (given(link)) {
    const int ids = link.loop == nullptr ? -1 : column_of(*link.loop, "_pd_phase_id");
    for (std::size_t r = 0; r < link.rows(); ++r) {
      const bool match = ids >= 0 ? text_of(link.loop->val(r, static_cast<std::size_t>(ids))) == id
                                  : one_phase && link.rows() == 1;
      if (match) add_block(blocks, block_with_id(file, text_of(link.raw(r))));
    }
  }
  if (blocks.empty() && one_phase) blocks = naming_blocks(file, own);
  return blocks;
}

// The blocks the file links to the loop's block as a whole: those of its
// phases, and those that name it.
std::vector<const CifBlock*> data_set_links(const CifFile& file, const CifBlock& own,
                                            const std::vector<CifPhase>& phases) {
  std::vector<const CifBlock*> blocks;
  for (const CifPhase& phase : phases) {
    for (const CifBlock* b : phase_links(file, own, phase.id, phases.size() == 1)) {
      add_block(blocks, b);
    }
  }
  for (const CifBlock* b : naming_blocks(file, own)) add_block(blocks, b);
  return blocks;
}

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return to_lower(x) == to_lower(y);
         });
}

// A block's name for a report, with the line of its data_ heading where
// another block has the same name (two files joined).
std::string block_label(const CifFile& file, const CifBlock& block) {
  std::vector<long> lines;  // of the blocks named so, in file order, from the repetitions
  for (const CifRepeat& r : file.syntax.repeats) {
    if (!r.tag.empty() || !same_name(r.block, block.name)) continue;
    if (lines.empty()) lines.push_back(r.first);
    lines.push_back(r.line);
  }
  if (lines.empty()) return block_name(block);
  std::size_t ordinal = 0;
  for (const CifBlock& b : file.syntax.blocks) {
    if (&b == &block) break;
    if (same_name(b.name, block.name)) ++ordinal;
  }
  return ordinal < lines.size() ? cat(block_name(block), " (line ", lines[ordinal], ")")
                                : block_name(block);
}

std::string block_list(const CifFile& file, const std::vector<const CifBlock*>& blocks) {
  std::string names;
  for (const CifBlock* b : blocks) names += cat(names.empty() ? "" : ", ", block_label(file, *b));
  return names;
}

// Which blocks an item may come from when neither the loop's block nor a
// block linked to it gives it.
enum class Lend {
  anywhere,   // the one block of the file that gives it (the title)
  one_run,    // that block, when every reflection loop stands in one block
  one_phase,  // the same, and only for a loop of one phase (a phase's items)
  nowhere,    // no other block (the detector angle: the run's structure
              // block gives one angle for all its banks)
};

// The blocks that hold the file's reflection loops, in file order. More than
// one: the file joins several runs, or a run of several histograms.
std::vector<const CifBlock*> loop_blocks(const CifFile& file) {
  std::vector<const CifBlock*> blocks;
  for (const CifBlock& block : file.syntax.blocks) {
    for (const CifLoop& loop : block.loops) {
      if (column_of(loop, "_refln_index_h") >= 0) add_block(blocks, &block);
    }
  }
  return blocks;
}

// An item's block: the loop's own, else the one block linked to it that
// gives it, else (as `lend` allows) the one block of the file that gives it.
// When none is taken, `missing` says where it was sought and which blocks
// give one that the data set may not take.
struct Source {
  const CifBlock* block = nullptr;
  CifMissing missing;
};

template <typename Gives>
Source source_of(const CifFile& file, const CifBlock& own,
                 const std::vector<const CifBlock*>& linked, Lend lend, bool one_phase,
                 Gives gives) {
  if (gives(own)) return {&own, {}};
  std::vector<const CifBlock*> giving;  // of the linked blocks
  for (const CifBlock* b : linked) {
    if (gives(*b)) giving.push_back(b);
  }
  if (giving.size() == 1) return {giving[0], {}};
  std::string sought = block_label(file, own);
  if (!linked.empty()) {
    sought += cat(linked.size() == 1 ? " and its linked block " : " and its linked blocks ",
                  block_list(file, linked));
  }
  if (giving.size() > 1) {
    return {nullptr,
            {true,
             cat(block_label(file, own), " gives none, and the blocks linked to it, ",
                 block_list(file, giving), ", each give one"),
             ""}};
  }
  std::vector<const CifBlock*> others;
  for (const CifBlock& block : file.syntax.blocks) {
    if (gives(block)) others.push_back(&block);
  }
  if (others.empty()) {
    return {nullptr, {false, cat("no block of the file gives it (", sought, " sought first)"), ""}};
  }
  const std::vector<const CifBlock*> loops = loop_blocks(file);
  const bool one_run = loops.size() <= 1;
  const bool lends = lend == Lend::anywhere || (lend == Lend::one_run && one_run) ||
                     (lend == Lend::one_phase && one_run && one_phase);
  if (lends && others.size() == 1) return {others[0], {}};
  const std::string gives_one = cat(sought, " gives none, and ", block_list(file, others),
                                    others.size() == 1 ? " gives one" : " give one");
  if (lend == Lend::nowhere) {
    return {nullptr,
            {true,
             cat(gives_one,
                 ", not linked to the loop's block: the run's one value "
                 "need not be this data set's"),
             ""}};
  }
  if (!one_run && lend != Lend::anywhere) {
    return {nullptr,
            {true, cat(gives_one, ", not linked to the loop's block"),
             cat("the file's reflection loops stand in ", loops.size(), " blocks (",
                 block_list(file, loops),
                 "): the files of several runs joined, whose blocks sfconv does not pair by "
                 "guess. Join only one run's files (cat run.cif run_prof.cif > run-all.cif) and "
                 "convert that")}};
  }
  return {nullptr,
          {true,
           cat(gives_one, lends ? "" : " (the loop has several phases)",
               ", not linked to the loop's block by _pd_block_id"),
           ""}};
}

CifRadiation radiation_kind(const Found& f) {
  std::string v = text_of(f.raw());
  for (char& c : v) c = to_lower(c);
  const bool probe = is_tag(f.tag(), "_diffrn_radiation_probe");
  if (v.find("neutron") != std::string::npos) return CifRadiation::neutron;
  if (probe) return v.starts_with("x") ? CifRadiation::x_ray : CifRadiation::other;
  // _diffrn_radiation_type names X-rays by their line ("Cu K\a") or says "X-ray".
  if (v.find("electron") != std::string::npos || v.find("gamma") != std::string::npos) {
    return CifRadiation::other;
  }
  return CifRadiation::x_ray;
}

// Whether any tag of the block passes `test`.
template <typename Test>
bool any_tag(const CifBlock& block, Test test) {
  for (const CifPair& pair : block.pairs) {
    if (test(pair.tag)) return true;
  }
  for (const CifLoop& loop : block.loops) {
    if (std::any_of(loop.tags.begin(), loop.tags.end(), test)) return true;
  }
  return false;
}

bool time_of_flight(const CifBlock& block) {
  auto lower = [](std::string_view tag) {
    std::string text(tag);
    for (char& c : text) c = to_lower(c);
    return text;
  };
  auto tof = [&lower](std::string_view tag) {
    return lower(tag).find("time_of_flight") != std::string::npos;
  };
  if (any_tag(block, tof)) return true;
  Found method = find(block, "_pd_meas_scan_method");
  return given(method) && lower(text_of(method.raw())) == "tof";
}

bool has_pd_items(const CifBlock& block) {
  return any_tag(block, [](std::string_view tag) {
    return tag.size() > 4 && is_tag(std::string_view(tag).substr(0, 4), "_pd_");
  });
}

std::string collapsed(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ' ' || c == '\t') {
      if (!out.empty() && out.back() != ' ') out.push_back(' ');
    } else {
      out.push_back(c);
    }
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// Digits in runs of at most three, and only the letters of x, y, z: a
// symmetry operation, and nothing that would overflow GEMMI's arithmetic.
bool plain_operation(std::string_view text) {
  int run = 0;
  for (char c : text) {
    run = is_digit(c) ? run + 1 : 0;
    if (run > 3 || !(is_digit(c) || std::strchr("xyzXYZ+-*/,. \t", c) != nullptr)) return false;
  }
  return true;
}

std::vector<gemmi::Op> operations(const CifFile& file, const Found& ops) {
  std::vector<gemmi::Op> out;
  for (std::size_t r = 0; r < ops.rows(); ++r) {
    const std::string text = text_of(ops.raw(r));
    std::string why;
    if (plain_operation(text)) {
      try {
        out.push_back(gemmi::parse_triplet(text));
        continue;
      } catch (const std::exception& e) {
        why = e.what();
      }
    } else {
      why = "only x, y, z, digits and + - * / may stand in it";
    }
    throw IoFailure{error_in(file.name, ops.line(r), " (reading the symmetry operation ",
                             sfconv::quoted(text), "): ", why),
                    "Invalid symmetry operation", "READ", file.unit};
  }
  return out;
}

const gemmi::SpaceGroup* group_by_operations(const std::vector<gemmi::Op>& ops) {
  try {
    return gemmi::find_spacegroup_by_ops(gemmi::split_centering_vectors(ops));
  } catch (const std::exception&) {
    return nullptr;
  }
}

// The setting of the phase's space group: the operations tell it exactly;
// else the name (with the cell's angles for the axes of an R group); a
// number alone does not tell it.
void describe_setting(const CifFile& file, const CifBlock& block, CifPhase& phase,
                      const gemmi::SpaceGroup* by_operations) {
  Found ops = find(block, kOperations);
  const std::string shown = !phase.space_group.empty() ? phase.space_group
                            : given(ops) ? cat("the symmetry operations of ", block_name(block))
                                         : std::string();
  SettingCheck check;
  if (given(ops) && by_operations == nullptr) {
    try {
      by_operations = group_by_operations(operations(file, ops));
    } catch (const IoFailure&) {
    }
  }
  if (by_operations != nullptr) {
    check = check_setting(by_operations, shown, phase.space_group_number, true);
  } else if (!phase.space_group.empty()) {
    const double alpha = phase.cell ? (*phase.cell)[3] : 0.0;
    const double gamma = phase.cell ? (*phase.cell)[5] : 0.0;
    check = check_setting(phase.space_group, phase.space_group_number, alpha, gamma);
  } else if (given(ops)) {
    check = {false, cat("GEMMI finds no space group for ", shown)};
  } else {
    check = {false, cat(block_name(block), " gives the space-group number ",
                        phase.space_group_number, " alone, which does not say the setting")};
  }
  phase.standard_setting = check.standard;
  phase.setting_why = check.why;
}

void describe_space_group(const CifFile& file, const CifBlock& block, CifPhase& phase) {
  Found name = find(block, kHermannMauguin);
  Found number = find(block, kGroupNumber);
  Found ops = find(block, kOperations);
  phase.space_group_given = true;
  const Found& first = given(name) ? name : given(number) ? number : ops;
  phase.space_group_at = place_of(file, first);
  if (given(name)) phase.space_group = collapsed(text_of(name.raw()));
  const gemmi::SpaceGroup* group = nullptr;
  const gemmi::SpaceGroup* by_operations = nullptr;
  if (given(number)) {
    phase.space_group_number = int_value(file, number, 0, "the space group");
  } else if (given(ops)) {
    group = by_operations = group_by_operations(operations(file, ops));
  } else {
    group = gemmi::find_spacegroup_by_name(phase.space_group);
  }
  if (group != nullptr) phase.space_group_number = group->number;
  // The lattice letter: the name's, else that of the group of the operations
  // or, for a number alone, of its standard setting.
  if (group == nullptr && phase.space_group.empty() && phase.space_group_number >= 1 &&
      phase.space_group_number <= 230) {
    group = gemmi::find_spacegroup_by_number(phase.space_group_number);
  }
  const char letter = !phase.space_group.empty() ? to_upper(phase.space_group[0])
                      : group != nullptr         ? group->hm[0]
                                                 : 0;
  if (is_lattice_letter(letter)) phase.lattice = letter;
  describe_setting(file, block, phase, by_operations);
}

bool gives_space_group(const CifBlock& b) {
  return given(find(b, kHermannMauguin)) || given(find(b, kGroupNumber)) ||
         given(find(b, kOperations));
}

// The report of a cell that is no cell: lengths must be positive and finite,
// angles strictly between 0 and 180 degrees, and the three angles must close
// a cell (a positive volume: 60, 60 and 170 degrees do not). GEMMI would
// refuse an angle of 0 or 180 by an exception and compute NaN from the rest.
std::optional<IoFailure> cell_fault(const CifFile& file, const std::array<Found, 6>& f,
                                    const std::array<float, 6>& cell) {
  const char* kInvalid = "Invalid cell in the CIF file";
  for (std::size_t i = 0; i < 6; ++i) {
    const bool length = i < 3;
    const float x = cell[i];
    if (length ? x > 0.0f && std::isfinite(x) : x > 0.0f && x < 180.0f) continue;
    return IoFailure{
        error_in(file.name, f[i].line(), " (reading ", f[i].tag(), " of ", block_name(*f[i].block),
                 ": ", sfconv::quoted(f[i].raw()), "): ",
                 length ? "a cell's lengths are positive and finite"
                        : "a cell's angles lie between 0 and 180 degrees, both excluded"),
        kInvalid, "READ", file.unit};
  }
  double c[3];
  for (std::size_t i = 0; i < 3; ++i)
    c[i] = std::cos(cell[i + 3] * (3.14159265358979323846 / 180.0));
  const double volume2 = 1.0 - c[0] * c[0] - c[1] * c[1] - c[2] * c[2] + 2.0 * c[0] * c[1] * c[2];
  if (volume2 > 0.0) return std::nullopt;
  return IoFailure{
      error_in(file.name, f[3].line(), " (reading the cell angles of ", block_name(*f[3].block),
               ": ", real_text(cell[3]), ", ", real_text(cell[4]), " and ", real_text(cell[5]),
               "): three such angles close no cell (its volume would be ",
               volume2 == 0.0 ? "zero" : "imaginary", ")"),
      kInvalid, "READ", file.unit};
}

void describe_cell(const CifFile& file, const CifBlock& b, CifPhase& phase) {
  std::array<Found, 6> f;
  for (std::size_t i = 0; i < 6; ++i) f[i] = find(b, kCell[i]);
  phase.cell_at = place_of(file, f[0]);
  try {
    std::array<float, 6> cell{};
    for (std::size_t i = 0; i < 6; ++i) {
      if (!given(f[i])) {
        throw IoFailure{cat("sfconv: ", file.name, ": ", block_name(b), " gives ", kCell[0],
                            " but no ", kCell[i]),
                        "No cell in the CIF file", "READ", file.unit};
      }
      cell[i] = real_value(file, f[i], 0, "the cell");
    }
    phase.bad_cell = cell_fault(file, f, cell);
    if (!phase.bad_cell) phase.cell = cell;
  } catch (const IoFailure& refused) {
    phase.bad_cell = refused;
  }
}

// Whether a block says it was written by FullProf: in its audit, computing
// or refinement items (a _prof.cif says so in its background function).
bool says_fullprof(const CifBlock& block) {
  for (const CifPair& pair : block.pairs) {
    const std::string_view tag = pair.tag;
    if (!is_tag(tag.substr(0, 7), "_audit_") && !is_tag(tag.substr(0, 11), "_computing_") &&
        !is_tag(tag.substr(0, 12), "_pd_proc_ls_")) {
      continue;
    }
    std::string value(pair.value);
    for (char& c : value) c = to_lower(c);
    if (value.find("fullprof") != std::string::npos) return true;
  }
  return false;
}

bool says_fullprof(const CifFile& file) {
  return std::any_of(file.syntax.blocks.begin(), file.syntax.blocks.end(),
                     [](const CifBlock& b) { return says_fullprof(b); });
}

// Where the cell of a file without one stands: in the structure CIF of the
// same run, FullProf's beside its _prof.cif, the COD's .cif beside its .hkl.
std::string join_hint(const CifFile& file) {
  if (says_fullprof(file)) {
    return "; FullProf writes the cell into its structure CIF, which a user joins to the "
           "_prof.cif: cat run.cif run_prof.cif > run-all.cif";
  }
  return "; the cell stands in the structure CIF of the same run (the COD's NNN.cif beside "
         "NNN.hkl), which a user joins to this file: cat NNN.cif NNN.hkl > NNN-all.cif";
}

void describe_phase(const CifFile& file, const LoopAt& at, bool one_phase, CifPhase& phase) {
  const std::vector<const CifBlock*> linked = phase_links(file, *at.block, phase.id, one_phase);
  auto source = [&](auto gives) {
    return source_of(file, *at.block, linked, Lend::one_phase, one_phase, gives);
  };
  auto gives_name = [](const CifBlock& b) { return given(find(b, "_pd_phase_name")); };
  if (const Source s = source(gives_name); s.block != nullptr) {
    phase.name = collapsed(text_of(find(*s.block, "_pd_phase_name").raw()));
  }
  auto gives_cell = [](const CifBlock& b) { return given(find(b, kCell[0])); };
  if (const Source s = source(gives_cell); s.block != nullptr) {
    describe_cell(file, *s.block, phase);
  } else {
    phase.no_cell = s.missing;
    if (!s.missing.elsewhere) phase.no_cell.why += join_hint(file);
  }
  if (const Source s = source(gives_space_group); s.block != nullptr) {
    describe_space_group(file, *s.block, phase);
  } else {
    phase.no_space_group = s.missing;
  }
  constexpr std::string_view kF000 = "_exptl_crystal_f_000";
  if (const Source s = source([&](const CifBlock& b) { return given(find(b, kF000)); });
      s.block != nullptr) {
    float f000 = 0.0f;
    if (cif_real(text_of(find(*s.block, kF000).raw()), f000)) phase.f000 = f000;
  } else {
    phase.no_f000 = s.missing;
  }
}

// A title on one line, without the quotes FullProf writes inside its text
// field; empty for "?".
std::string title_text(const Found& f) {
  std::string t = text_of(f.raw());
  for (char& c : t) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  t = collapsed(t);
  if (t.size() >= 2 && (t[0] == '\'' || t[0] == '"') && t.back() == t[0]) {
    t = collapsed(t.substr(1, t.size() - 2));
  }
  return t == "?" || t == "." ? std::string() : t;
}

CifDataSet describe(const CifFile& file, const LoopAt& at) {
  CifDataSet set;
  const CifLoop& loop = *at.loop;
  set.loop = {block_name(*at.block), loop.line, index_of(file, *at.block)};
  set.rows = static_cast<long>(loop.length());
  set.powder = column_of(loop, "_refln_d_spacing") >= 0 || has_pd_items(*at.block);
  set.phases = phases_of(loop);
  const bool one = set.phases.size() == 1;
  const std::vector<const CifBlock*> linked = data_set_links(file, *at.block, set.phases);
  // Something of the data set (not of one phase): its value, or why none.
  auto item = [&](std::span<const std::string_view> names, Lend lend, CifMissing& missing,
                  auto gives) -> std::optional<Found> {
    const Source s = source_of(file, *at.block, linked, lend, one, gives);
    missing = s.missing;
    if (s.block == nullptr) return std::nullopt;
    return find(*s.block, names);
  };
  auto named = [](std::span<const std::string_view> names) {
    return [names](const CifBlock& b) { return given(find(b, names)); };
  };
  if (auto f = item(kRadiation, Lend::one_run, set.no_radiation, named(kRadiation))) {
    set.radiation = radiation_kind(*f);  // the probe where both are given
    set.radiation_text = {text_of(f->raw()), place_of(file, *f)};
    set.time_of_flight = time_of_flight(*f->block);
  }
  set.time_of_flight = set.time_of_flight || time_of_flight(*at.block);
  if (auto f = item(kWavelength, Lend::one_run, set.no_wavelength, named(kWavelength))) {
    set.wavelength = real_value(file, *f, 0, "the wavelength");
    set.wavelength_text = {text_of(f->raw()), place_of(file, *f)};
  }
  constexpr std::string_view kFixed[] = {"_pd_meas_2theta_fixed"};
  if (auto f = item(kFixed, Lend::nowhere, set.no_twotheta, named(kFixed))) {
    set.twotheta = real_value(file, *f, 0, "the detector angle");
    set.twotheta_text = {text_of(f->raw()), place_of(file, *f)};
  }
  for (CifPhase& phase : set.phases) describe_phase(file, at, one, phase);
  auto gives_title = [](const CifBlock& b) {
    Found f = find(b, kTitle);
    return given(f) && !title_text(f).empty();
  };
  CifMissing no_title;
  auto title = item(kTitle, Lend::anywhere, no_title, gives_title);
  set.title = title ? title_text(*title) : at.block->name;
  return set;
}

// ---- The conversion ----

// The columns of the chosen loop; -1 for those it lacks.
struct Columns {
  int h, k, l, id;
  int observed;          // F^2, else F
  bool squared;          // observed is F^2
  int sigma;             // of the observed value
  bool sigma_of_square;  // sigma of F^2
  int phase, a, b;       // phase angle in degrees, else A and B
  int d, multiplicity;
};

Columns columns(const CifLoop& loop) {
  auto c = [&loop](std::string_view name) { return column_of(loop, name); };
  Columns k{};
  k.h = c("_refln_index_h");
  k.k = c("_refln_index_k");
  k.l = c("_refln_index_l");
  k.id = c("_pd_refln_phase_id");
  k.observed = c("_refln_f_squared_meas");
  k.squared = k.observed >= 0;
  if (!k.squared) k.observed = c("_refln_f_meas");
  if (k.observed < 0) k.observed = c("_refln_f_meas_au");
  const int sigma_square = c("_refln_f_squared_sigma");
  int sigma_f = c("_refln_f_meas_sigma");
  if (sigma_f < 0) sigma_f = c("_refln_f_meas_sigma_au");
  // The sigma of the value read; the other kind where only it is given.
  k.sigma_of_square = k.squared ? sigma_square >= 0 : sigma_f < 0 && sigma_square >= 0;
  k.sigma = k.sigma_of_square ? sigma_square : sigma_f;
  k.phase = c("_refln_phase_calc");
  k.a = c("_refln_a_calc");
  k.b = c("_refln_b_calc");
  k.d = c("_refln_d_spacing");
  k.multiplicity = c("_refln_mult");
  if (k.multiplicity < 0) k.multiplicity = c("_refln_symmetry_multiplicity");
  return k;
}

// How each stored reflection is computed.
struct Method {
  bool powder = false;
  std::string_view type;  // "PXC", "PNC" or "PNT"
  float lambda = 0.0f;    // constant wavelength
  float pm = 0.0f, one_minus_p = 0.0f;
  std::vector<gemmi::Op::Rot> rotations;  // for counting multiplicities, with their negatives
  std::optional<gemmi::UnitCell> cell;    // for d from the cell
};

// The powder multiplicity: the number of distinct images of h k l under the
// rotations (transposed, as they act on indices), Friedel pairs included.
int multiplicity(const std::vector<gemmi::Op::Rot>& rotations, std::int32_t h, std::int32_t k,
                 std::int32_t l) {
  std::vector<std::array<std::int64_t, 3>> images;
  const std::int64_t hkl[3] = {h, k, l};
  for (const gemmi::Op::Rot& rot : rotations) {
    std::array<std::int64_t, 3> m{};
    for (std::size_t i = 0; i < 3; ++i) {
      for (std::size_t j = 0; j < 3; ++j) m[i] += rot[j][i] * hkl[j];
      m[i] /= gemmi::Op::DEN;
    }
    images.push_back(m);
  }
  std::sort(images.begin(), images.end());
  return static_cast<int>(std::unique(images.begin(), images.end()) - images.begin());
}

std::vector<gemmi::Op::Rot> rotations_of(const std::vector<gemmi::Op>& ops) {
  std::vector<gemmi::Op::Rot> rotations;
  for (const gemmi::Op& op : ops) {
    rotations.push_back(op.rot);
    rotations.push_back(op.negated_rot());
  }
  std::sort(rotations.begin(), rotations.end());
  rotations.erase(std::unique(rotations.begin(), rotations.end()), rotations.end());
  return rotations;
}

template <typename... Header>
[[noreturn]] void fail_file(const CifFile& file, const char* message, const Header&... header) {
  throw IoFailure{cat("sfconv: ", header...), message, "READ", file.unit};
}

std::string at_text(const CifPlace& at) {
  return cat(at.block, ", line ", at.line);
}

const CifBlock& block_at(const CifFile& file, const CifPlace& at) {
  return file.syntax.blocks.at(static_cast<std::size_t>(at.index));
}

// A file without a reflection loop, refused with what it holds instead and
// what to do: SHELXL's twinned list or input intensities, FullProf's
// structure CIF, or else the loops it has.
[[noreturn]] void refuse_no_loop(const CifFile& file) {
  const char* kNoLoop = "No reflection loop in the CIF file";
  const std::size_t n = file.syntax.blocks.size();
  const std::string has = cat(file.name, " has no reflection loop (_refln_index_h) in its ", n,
                              n == 1 ? " data block" : " data blocks");
  std::vector<std::string> loops;  // by their first tag
  for (const CifBlock& block : file.syntax.blocks) {
    for (const CifLoop& loop : block.loops) {
      if (!loop.tags.empty() &&
          is_tag(std::string_view(loop.tags[0]).substr(0, 12), "_twin_refln_")) {
        fail_file(file, kNoLoop, has, ": its ", loop.tags[0], " loop (", block_name(block),
                  ", line ", loop.line,
                  ") is a twinned reflection list (SHELXL's HKLF 5) without calculated phases; "
                  "write the .fcf with LIST 6, which gives the phases");
      }
      loops.push_back(cat(loop.tags.empty() ? std::string("?") : std::string(loop.tags[0]),
                          " (line ", loop.line, ")"));
    }
  }
  for (const CifBlock& block : file.syntax.blocks) {
    if (Found hkl = find(block, "_shelx_hkl_file"); given(hkl)) {
      fail_file(file, kNoLoop, has, ": it carries SHELXL's input intensities as text ",
                "(_shelx_hkl_file, ", block_name(block), ", line ", hkl.line(),
                "), without calculated phases; use the .fcf that SHELXL writes with LIST 6");
    }
  }
  if (says_fullprof(file)) {
    fail_file(file, kNoLoop, has,
              " (a FullProf structure CIF needs its _prof.cif: cat run.cif run_prof.cif > "
              "run-all.cif)");
  }
  if (loops.empty()) fail_file(file, kNoLoop, has, ", and no loop at all");
  constexpr std::size_t kListed = 8;
  const std::size_t more = loops.size() > kListed ? loops.size() - kListed : 0;
  loops.resize(loops.size() - more);
  fail_file(file, kNoLoop, has, "; its loops begin with ", and_list(loops),
            more == 0 ? std::string() : cat(" and ", more, " more"));
}

// The data set the parameter file names: the n-th reflection loop.
const LoopAt& chosen_loop(const CifFile& file, const std::vector<LoopAt>& loops) {
  const std::int32_t n = IDATA.histogram;
  const auto count = static_cast<std::int32_t>(loops.size());
  if (count == 0) refuse_no_loop(file);
  if (n < 1 || n > count) {
    fail_file(file, "No such data set in the CIF file", file.name, " has ", count,
              count == 1 ? " reflection loop (data set 1)"
                         : cat(" reflection loops (data sets 1 to ", count, ")"),
              "; the parameter file asks for data set ", n);
  }
  return loops[static_cast<std::size_t>(n - 1)];
}

std::string loop_text(const CifFile& file, const CifDataSet& set) {
  return cat("the reflection loop of ", set.loop.block, " (", file.name, ", line ", set.loop.line,
             ")");
}

// The phase the parameter file names: the n-th smallest phase id.
const CifPhase& chosen_phase(const CifFile& file, const CifDataSet& set) {
  const std::int32_t p = IDATA.phase_no;
  const auto count = static_cast<std::int32_t>(set.phases.size());
  if (p >= 1 && p <= count) return set.phases[static_cast<std::size_t>(p - 1)];
  std::string has = "has no _pd_refln_phase_id: its one phase is phase 1";
  if (!set.phases[0].id.empty()) {
    std::string ids;
    for (const CifPhase& phase : set.phases) ids += cat(ids.empty() ? "" : ", ", phase.id);
    has = count == 1 ? cat("has one phase (_pd_refln_phase_id ", ids, ")")
                     : cat("has phases 1 to ", count, " (_pd_refln_phase_id ", ids, ")");
  }
  fail_file(file, "No such phase in the reflection loop", "data set ", IDATA.histogram, ", ",
            loop_text(file, set), ", ", has, "; the parameter file asks for phase ", p);
}

void check_columns(const CifFile& file, const LoopAt& at, const CifDataSet& set, const Columns& k) {
  if (k.k < 0 || k.l < 0) {
    fail_file(file, "No Miller indices in the reflection loop", loop_text(file, set),
              " has _refln_index_h but not _refln_index_k and _refln_index_l");
  }
  if (k.observed < 0) {
    fail_file(file, "No observed structure factor in the reflection loop", loop_text(file, set),
              " has no observed structure factor (_refln_F_squared_meas, _refln_F_meas or "
              "_refln.F_meas_au)");
  }
  if (k.phase < 0 && (k.a < 0 || k.b < 0)) {
    Found list = find(*at.block, "_shelx_refln_list_code");
    fail_file(file, "No phase angle in the reflection loop", loop_text(file, set),
              " has no calculated phase (_refln_phase_calc, or _refln_A_calc and _refln_B_calc)",
              given(list)
                  ? cat(": SHELXL writes the phases into the .fcf with LIST 6 (this is LIST ",
                        text_of(list.raw()), ")")
                  : std::string(": export the reflections with their calculated phases"));
  }
}

// The rotations that count a phase's multiplicities: of the file's symmetry
// operations, else of the space group GEMMI knows by the name or number.
std::vector<gemmi::Op::Rot> group_rotations(const CifFile& file, const CifPhase& phase) {
  const std::string what = cat("phase ", IDATA.phase_no, " of data set ", IDATA.histogram);
  if (!phase.space_group_given) {
    fail_file(file, "No multiplicity in the CIF file", file.name,
              " gives neither the multiplicities (_refln_mult) nor the space group of ", what,
              ", whose operations would count them: ", phase.no_space_group.text());
  }
  const CifBlock& block = block_at(file, phase.space_group_at);
  Found ops = find(block, kOperations);
  if (given(ops)) return rotations_of(operations(file, ops));
  // The cell's angles tell GEMMI the axes of an R group named without ":H"
  // or ":R": the rhombohedral axes have other rotations than the hexagonal.
  const gemmi::SpaceGroup* group =
      phase.space_group.empty()
          ? nullptr
          : gemmi::find_spacegroup_by_name(phase.space_group, (*phase.cell)[3], (*phase.cell)[5]);
  if (group == nullptr && phase.space_group_number > 0) {
    group = gemmi::find_spacegroup_by_number(phase.space_group_number);
  }
  if (group == nullptr) {
    fail_file(file, "No multiplicity in the CIF file", file.name,
              " gives no multiplicities (_refln_mult) and no symmetry operations for ", what,
              ", and GEMMI knows no space group ", sfconv::quoted(phase.space_group), " (",
              at_text(phase.space_group_at), ")");
  }
  return rotations_of(group->operations().sym_ops);
}

// What the data set's radiation and columns ask for, and the parameter lines
// that go with it: the polarization line for X-ray powder data, the
// detector-angle line for time of flight.
Method method(const CifFile& file, const CifDataSet& set, const CifPhase& phase, const Columns& k,
              TextInput& parameters) {
  const std::string what = cat("phase ", IDATA.phase_no, " of data set ", IDATA.histogram);
  if (!phase.cell) refuse_phase_without_cell(file.name, file.unit, phase, what);
  RDATA.CELL = *phase.cell;
  LDATA.TOF = false;
  Method m;
  m.powder = set.powder;
  if (!m.powder) return m;
  if (set.radiation == CifRadiation::none && set.no_radiation.elsewhere) {
    fail_file(file, "No radiation in the CIF file", file.name,
              " gives no radiation (_diffrn_radiation_probe or _diffrn_radiation_type) for data "
              "set ",
              IDATA.histogram,
              ", whose Lorentz-polarization factor depends on it: ", set.no_radiation.text());
  }
  if (set.radiation == CifRadiation::none) {
    fail_file(file, "No radiation in the CIF file", file.name,
              " does not say the radiation of data set ", IDATA.histogram,
              " (_diffrn_radiation_probe or _diffrn_radiation_type, sought in ", set.loop.block,
              ", a block linked to it and the other blocks), on which the Lorentz-polarization "
              "factor depends: add \"_diffrn_radiation_probe x-ray\" (or neutron) to ",
              set.loop.block);
  }
  if (set.radiation == CifRadiation::other) {
    fail_file(file, "Radiation neither X-ray nor neutron", file.name, " gives the radiation ",
              sfconv::quoted(set.radiation_text.text), " (", at_text(set.radiation_text.at),
              "); sfconv converts X-ray and neutron powder data");
  }
  const bool x_ray = set.radiation == CifRadiation::x_ray;
  m.type = x_ray ? "PXC" : set.time_of_flight ? "PNT" : "PNC";
  if (!set.wavelength && set.no_wavelength.elsewhere && m.type != "PNT") {
    fail_file(file, "No wavelength in the CIF file", file.name,
              " gives no wavelength for data set ", IDATA.histogram,
              ", whose Lorentz-polarization factor depends on it: ", set.no_wavelength.text());
  }
  m.lambda = set.wavelength ? *set.wavelength : RDATA.lambda0;
  if (k.multiplicity < 0) m.rotations = group_rotations(file, phase);
  if (k.d < 0) {
    const auto& c = *phase.cell;
    m.cell = gemmi::UnitCell(c[0], c[1], c[2], c[3], c[4], c[5]);
  }
  if (m.type == "PXC") {
    float polarization = 0.0f;
    float monochromator = 0.0f;
    value_line(parameters, CDATA.LINE, lines::polarization, polarization, monochromator);
    m.pm = polarization * monochromator;
    m.one_minus_p = 1.0f - polarization;
  } else if (m.type == "PNT") {
    LDATA.TOF = true;
    IDATA.nbank = IDATA.histogram;
    RDATA.twotheta = det_angle(parameters, IDATA.nbank, IDATA.nangles, RDATA.angles,
                               cat("data set ", IDATA.histogram, " of ", file.name));
  }
  return m;
}

// d of a reflection from the cell (GEMMI's metric, in double precision),
// where the loop has no d-spacing column.
float cell_d(const Method& m, const Reflection& r) {
  return static_cast<float>(m.cell->calculate_d({r.h, r.k, r.l}));
}

// A relative difference in per cent, with two decimals.
std::string percent(double part) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f %%", part * 100.0);
  return text;
}

// The cell must give the loop's own d-spacings. More than 1 % apart on any
// row of the phase, the cell is another phase's (a block linked wrongly, or
// joined from another run): the run stops at the first such row. Between
// 0.1 % and 1 %, a warning names the row furthest apart. The real files give
// their cells and d-spacings within 0.005 % of each other.
void check_d_spacings(const CifFile& file, const LoopAt& at, const CifPhase& phase,
                      const Columns& k) {
  if (k.d < 0) return;
  constexpr double kRefused = 0.01, kWarned = 0.001;
  const auto& c = *phase.cell;
  const gemmi::UnitCell cell(c[0], c[1], c[2], c[3], c[4], c[5]);
  const CifLoop& loop = *at.loop;
  auto text = [&](std::size_t r, int column) {
    return text_of(loop.val(r, static_cast<std::size_t>(column)));
  };
  struct Row {
    std::size_t r = 0;
    std::int32_t hkl[3] = {0, 0, 0};
    double file = 0.0, cell = 0.0, apart = 0.0;
  } furthest;
  auto says = [&](const Row& row) {
    return cat("h k l = ", row.hkl[0], " ", row.hkl[1], " ", row.hkl[2], ": _refln_d_spacing ",
               text(row.r, k.d), " in the file, ", real_text(static_cast<float>(row.cell)),
               " from the cell of ", at_text(phase.cell_at));
  };
  for (std::size_t r = 0; r < loop.length(); ++r) {
    if (k.id >= 0 && text(r, k.id) != phase.id) continue;
    Row row;
    row.r = r;
    float d = 0.0f;
    if (cif_int(text(r, k.h), row.hkl[0]) != IntRead::ok ||
        cif_int(text(r, k.k), row.hkl[1]) != IntRead::ok ||
        cif_int(text(r, k.l), row.hkl[2]) != IntRead::ok || !cif_real(text(r, k.d), d) ||
        (row.hkl[0] == 0 && row.hkl[1] == 0 && row.hkl[2] == 0)) {
      continue;  // a row without geometry: its values are judged as it is read
    }
    row.file = d;
    row.cell = cell.calculate_d({row.hkl[0], row.hkl[1], row.hkl[2]});
    row.apart = std::abs(row.file - row.cell) / row.cell;
    if (!(row.apart <= kRefused)) {
      throw IoFailure{error_in(file.name, loop.line_of(r, static_cast<std::size_t>(k.d)),
                               " (data set ", IDATA.histogram, ", phase ", IDATA.phase_no, ", ",
                               says(row), "): ", percent(row.apart),
                               " apart, more than 1 %: the cell is another phase's (or the "
                               "d-spacings another cell's)"),
                      "Cell and d-spacings disagree in the CIF file", "READ", file.unit};
    }
    if (row.apart > furthest.apart) furthest = row;
  }
  if (furthest.apart > kWarned) {
    warn(place(file.name, loop.line_of(furthest.r, static_cast<std::size_t>(k.d))), "data set ",
         IDATA.histogram, ", phase ", IDATA.phase_no, ": the cell gives d-spacings up to ",
         percent(furthest.apart), " apart from the file's (", says(furthest),
         "): more than 0.1 %; check that the cell is the phase's");
  }
}

float phase_angle(const CifFile& file, const LoopAt& at, const Columns& k, std::size_t row,
                  std::string_view what) {
  if (k.phase >= 0) return real_value(file, column(*at.block, *at.loop, k.phase), row, what);
  const double a = real_value(file, column(*at.block, *at.loop, k.a), row, what);
  const double b = real_value(file, column(*at.block, *at.loop, k.b), row, what);
  return static_cast<float>(std::atan2(b, a) * (180.0 / 3.14159265358979323846));
}

void read_rows(const CifFile& file, const LoopAt& at, const CifPhase& phase, const Columns& k,
               const Method& m) {
  const CifLoop& loop = *at.loop;
  const std::string what = cat("data set ", IDATA.histogram);
  auto col = [&at](int c) { return column(*at.block, *at.loop, c); };
  const Found observed = col(k.observed);
  std::int32_t n = 0;
  reserve_reflections(static_cast<std::int64_t>(loop.length()));
  for (std::size_t r = 0; r < loop.length(); ++r) {
    if (k.id >= 0 && text_view(loop.val(r, static_cast<std::size_t>(k.id))) != phase.id) continue;
    if (cif_null(observed.raw(r))) {
      ++REPORT.dropped_no_value;
      continue;
    }
    const float value = real_value(file, observed, r, what);
    if (!(value > 0.0f)) {
      ++REPORT.dropped_not_positive;
      continue;
    }
    if (!room_for(n + 1)) {
      stop_too_many_reflections(cat(place(file.name, observed.line(r)), what, ", phase ",
                                    IDATA.phase_no, " has more than ", MAXREF,
                                    " reflections with an observed value, the most sfconv holds"));
    }
    Reflection refl{int_value(file, col(k.h), r, what), int_value(file, col(k.k), r, what),
                    int_value(file, col(k.l), r, what)};
    const float f2 = k.squared ? value : value * value;
    const float foabs = k.squared ? std::sqrt(value) : value;
    set_structure_factor(refl, foabs, phase_angle(file, at, k, r, what));
    if (m.powder) {
      const float d = k.d >= 0 ? real_value(file, col(k.d), r, what) : cell_d(m, refl);
      const std::int32_t multiplicity_ = k.multiplicity >= 0
                                             ? int_value(file, col(k.multiplicity), r, what)
                                             : multiplicity(m.rotations, refl.h, refl.k, refl.l);
      const float lp =
          lorentz_polarization(m.type, d, m.lambda, RDATA.twotheta, m.pm, m.one_minus_p);
      refl.IO = (static_cast<float>(multiplicity_) * lp) * f2;
      if (m.type == "PNT") refl.WAVE = tof_wavelength(d, RDATA.twotheta);
    } else {
      refl.IO = f2;
    }
    float sigma = 0.0f;
    if (k.sigma >= 0 && !cif_null(col(k.sigma).raw(r))) {
      const float s = real_value(file, col(k.sigma), r, what);
      sigma = k.sigma_of_square ? s / (2.0f * foabs) : s;
    } else {
      sigma = sigma_fo(RDATA.E, refl.IO, foabs, 0.0f);
    }
    store_reflection(n, refl, sigma);
    ++n;
  }
  IDATA.NREF1 = n;
  if (n == 0) {
    REPORT.no_reflection_why = cat(what, " of ", file.name, " holds no row of phase ",
                                   IDATA.phase_no, " with a positive observed value");
  }
}

// The -v summary of what was read, and from where.
void sum_up_reading(const CifDataSet& set, const CifPhase& phase, const Columns& k,
                    const Method& m) {
  note("data set ", IDATA.histogram, ": the reflection loop of ", set.loop.block, " (line ",
       set.loop.line, "), ", set.rows, set.rows == 1 ? " row" : " rows");
  note("phase ", IDATA.phase_no, ": ",
       phase.id.empty() ? std::string("the loop's one phase (no _pd_refln_phase_id)")
                        : cat("_pd_refln_phase_id ", phase.id),
       phase.name.empty() ? std::string() : cat(" ", sfconv::quoted(phase.name)), ", ", phase.rows,
       phase.rows == 1 ? " row" : " rows");
  if (!m.powder) {
    note("single-crystal data: Io is the observed F^2");
  } else {
    std::string how =
        cat(m.type == "PXC" ? "X-ray" : "neutron", " powder data (",
            sfconv::quoted(set.radiation_text.text), ", ", at_text(set.radiation_text.at), ")");
    if (m.type == "PNT") {
      how += cat(", time of flight, bank ", IDATA.nbank, " at 2theta ", angle_text(RDATA.twotheta));
    } else if (set.wavelength) {
      how += cat(", wavelength ", set.wavelength_text.text, " (", at_text(set.wavelength_text.at),
                 ")");
    } else {
      how += cat(", no wavelength in the file: lambda0 ", real_text(RDATA.lambda0));
    }
    note(how);
  }
  std::string group = "no space group given";
  if (phase.space_group_given) {
    group = phase.space_group.empty() ? std::string("space group")
                                      : cat("space group ", sfconv::quoted(phase.space_group));
    if (phase.space_group_number > 0) group += cat(" No. ", phase.space_group_number);
    group += cat(" from ", at_text(phase.space_group_at));
  }
  note("cell from ", at_text(phase.cell_at), "; ", group);
  std::string columns =
      k.sigma < 0
          ? "sigma(|Fo|) from E and Io"
          : cat("sigma(|Fo|) from ", k.sigma_of_square ? "the sigma of F^2" : "the sigma of F");
  if (m.powder) {
    columns =
        cat(k.multiplicity >= 0 ? "multiplicity from the file"
                                : cat("multiplicity counted from ", m.rotations.size(),
                                      " rotations of the space group (Friedel pairs included)"),
            "; d ", k.d >= 0 ? "from the file" : "from the cell", "; ", columns);
  }
  note(columns);
}

// Numbers of the parameter file that the file gives too, and differ.
void cross_check(const CifFile& file, const CifDataSet& set, const CifPhase& phase,
                 const Method& m) {
  if (set.wavelength && m.type != "PNT" && wavelength_apart(RDATA.lambda0, *set.wavelength)) {
    warn("lambda0 ", real_text(RDATA.lambda0),
         " of the parameter file differs from the wavelength ", set.wavelength_text.text, " that ",
         file.name, " gives (", at_text(set.wavelength_text.at), "); the header holds lambda0",
         m.powder ? ", and the Lorentz-polarization factors use the file's" : "");
  }
  if (phase.space_group_number > 0 && phase.space_group_number != IDATA.SPG) {
    warn("the space-group line gives ", IDATA.SPG, ", but ", file.name, " gives space group ",
         phase.space_group.empty() ? std::string() : cat(sfconv::quoted(phase.space_group), " "),
         "No. ", phase.space_group_number, " for phase ", IDATA.phase_no, " (",
         at_text(phase.space_group_at), ")");
  }
  if (m.type == "PNT" && set.twotheta && angle_apart(RDATA.twotheta, *set.twotheta)) {
    warn("the detector-angle line gives bank ", IDATA.nbank, " the angle ",
         real_text(RDATA.twotheta), ", but ", file.name, " gives _pd_meas_2theta_fixed ",
         set.twotheta_text.text, " (", at_text(set.twotheta_text.at), ")");
  }
}

}  // namespace

std::vector<CifDataSet> cif_contents(std::string_view field, int unit) {
  CifFile file;
  load(file, field, unit);
  std::vector<CifDataSet> sets;
  for (const LoopAt& at : reflection_loops(file)) {
    sets.push_back(describe(file, at));
    try {
      check_columns(file, at, sets.back(), columns(*at.loop));
    } catch (const IoFailure& refused) {
      sets.back().refused = refused;
    }
  }
  if (sets.empty()) refuse_no_loop(file);
  return sets;
}

void refuse_phase_without_cell(std::string_view file, int unit, const CifPhase& phase,
                               std::string_view what) {
  if (phase.bad_cell) throw *phase.bad_cell;
  throw IoFailure{
      cat("sfconv: ", file, " gives no cell for ", what, ": ", phase.no_cell.text(), ""),
      "No cell in the CIF file", "READ", unit};
}

void cif(std::string_view field, TextInput& parameters) {
  CifFile file;
  load(file, field, 1);
  const std::vector<LoopAt> loops = reflection_loops(file);
  note("read CIF file ", file.name, ": ", file.syntax.blocks.size(),
       file.syntax.blocks.size() == 1 ? " data block, " : " data blocks, ", loops.size(),
       loops.size() == 1 ? " reflection loop" : " reflection loops");
  const LoopAt& at = chosen_loop(file, loops);
  const CifDataSet set = describe(file, at);
  const CifPhase& phase = chosen_phase(file, set);
  const Columns k = columns(*at.loop);
  check_columns(file, at, set, k);
  const Method m = method(file, set, phase, k, parameters);
  sum_up_reading(set, phase, k, m);
  check_d_spacings(file, at, phase, k);
  read_rows(file, at, phase, k, m);
  cross_check(file, set, phase, m);
}

}  // namespace sfconv
