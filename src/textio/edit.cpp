// Formatted statements: the input and output editors driven by a FormatControl.
#include "textio/edit.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "textio/failure.hpp"
#include "textio/numeric_input.hpp"
#include "textio/numeric_output.hpp"
#include "textio/text_output.hpp"

namespace sfconv {

void InItems::push(InItem item) {
  if (count_ == items_.size()) throw std::length_error("too many items in one read");
  items_[count_++] = item;
}

void OutItems::push(OutItem item) {
  if (count_ == items_.size()) throw std::length_error("too many items in one write");
  items_[count_++] = item;
}

void InternalRecord::fail(const char* message) const {
  std::string header = error_in(origin_.file, origin_.line);
  if (!origin_.what.empty()) header.append(" (reading ").append(origin_.what).append(")");
  throw IoFailure{header, message, "READ", origin_.unit};
}

void InternalRecord::fail_end_of_file() const {
  InternalRecord::fail(msg::end_of_file);
}

namespace {

// Thrown inside a read when a record is needed and none is left.
struct EndOfFile {};

// The input side of a statement: the current record and the position in it.
struct InputIo {
  RecordSource& source;
  std::string_view record;
  std::size_t pos = 0;

  void skip(int n) { pos = std::min(pos + static_cast<std::size_t>(n), record.size()); }
  void end_record() {
    if (!source.next(record)) throw EndOfFile{};
    pos = 0;
  }
  // The next w characters, fewer at the end of the record.
  std::string_view field(int w) {
    std::string_view f = record.substr(std::min(pos, record.size()), static_cast<std::size_t>(w));
    pos += f.size();
    return f;
  }
  // A numeric field ends early at a comma; the next field begins after it.
  std::string_view numeric_field(int w) {
    std::size_t start = std::min(pos, record.size());
    std::string_view f = record.substr(start, static_cast<std::size_t>(w));
    std::size_t comma = f.find(',');
    if (comma != std::string_view::npos) {
      pos = start + comma + 1;
      return f.substr(0, comma);
    }
    pos = start + f.size();
    return f;
  }
};

void check(RecordSource& source, NumResult r) {
  if (r == NumResult::illegal) source.fail(msg::illegal_character);
  if (r == NumResult::overflow) source.fail(msg::integer_overflow);
}

void edit_input(InputIo& io, const DataEdit& e, const InItem& item) {
  switch (e.kind) {
    case EditKind::A: {
      if (item.kind != InItem::text) throw std::invalid_argument("A edit for a number");
      char* to = static_cast<char*>(item.place);
      std::size_t length = item.length;
      std::size_t w = e.w == 0 ? length : static_cast<std::size_t>(e.w);
      std::string_view f = io.field(static_cast<int>(w));
      // Columns beyond the end of the record count as blanks.
      if (w >= length) {
        // the last `length` characters of the w-column field
        std::size_t skip = w - length;
        for (std::size_t i = 0; i < length; ++i) {
          std::size_t at = skip + i;
          to[i] = at < f.size() ? f[at] : ' ';
        }
      } else {
        for (std::size_t i = 0; i < length; ++i) to[i] = i < w && i < f.size() ? f[i] : ' ';
      }
      return;
    }
    case EditKind::I:
      if (item.kind != InItem::integer) throw std::invalid_argument("I edit for a non-integer");
      check(io.source,
            read_integer(io.numeric_field(e.w), *static_cast<std::int32_t*>(item.place)));
      return;
    case EditKind::F:
    case EditKind::E:
    case EditKind::G:
      if (item.kind != InItem::real) throw std::invalid_argument("real edit for a non-real");
      check(io.source, read_real(io.numeric_field(e.w), e.d, *static_cast<float*>(item.place)));
      return;
    default:
      throw std::logic_error("not a data edit");
  }
}

// The output side of a statement: the record being built. X edits become
// blanks in front of the next field.
template <typename Emit>
struct OutputIo {
  std::string& record;
  Emit emit;
  int pending = 0;

  void skip(int n) { pending += n; }
  void end_record() {
    emit(record);
    record.clear();
    pending = 0;
  }
  std::string& field() {
    record.append(static_cast<std::size_t>(pending), ' ');
    pending = 0;
    return record;
  }
};

enum class FieldFault : std::uint8_t { none, asterisks, touching };

// What the numeric field from `start` to the end of the record shows.
FieldFault fault_of(std::string_view record, std::size_t start) {
  std::string_view field = record.substr(start);
  if (field.empty()) return FieldFault::none;
  if (field.find_first_not_of('*') == std::string_view::npos) return FieldFault::asterisks;
  if (start > 0 && field[0] != ' ' && record[start - 1] != ' ') return FieldFault::touching;
  return FieldFault::none;
}

template <typename Io>
FieldFault edit_output(Io& io, const DataEdit& e, const OutItem& item) {
  std::string& out = io.field();
  const std::size_t start = out.size();
  switch (e.kind) {
    case EditKind::A: {
      if (item.kind != OutItem::text) throw std::invalid_argument("A edit for a number");
      std::size_t length = item.s.size();
      std::size_t w = e.w == 0 ? length : static_cast<std::size_t>(e.w);
      if (w >= length) {
        out.append(w - length, ' ');
        out.append(item.s);
      } else {
        out.append(item.s.substr(0, w));
      }
      return FieldFault::none;
    }
    case EditKind::I:
      if (item.kind != OutItem::integer) throw std::invalid_argument("I edit for a non-integer");
      put_integer(out, e.w, item.i);
      return fault_of(out, start);
    case EditKind::F:
    case EditKind::E:
    case EditKind::G:
      if (item.kind != OutItem::real) throw std::invalid_argument("real edit for a non-real");
      if (e.kind == EditKind::F) {
        put_fixed(out, e.w, e.d, item.f);
      } else if (e.kind == EditKind::E) {
        put_exponent(out, e.w, e.d, e.scale, item.f);
      } else {
        put_general(out, e.w, e.d, e.scale, item.f);
      }
      return fault_of(out, start);
    default:
      throw std::logic_error("not a data edit");
  }
}

template <typename Emit>
FieldFaults run_write(std::string& record, Emit emit, const Format& f, const OutItems& items) {
  record.clear();
  OutputIo<Emit> io{record, emit};
  FormatControl<OutputIo<Emit>> control(f, io);
  FieldFaults faults;
  std::uint32_t bit = 1;
  for (const OutItem& item : items) {
    FieldFault fault = edit_output(io, control.next(), item);
    if (fault == FieldFault::asterisks) faults.asterisks |= bit;
    if (fault == FieldFault::touching) faults.touching |= bit;
    bit <<= 1;
  }
  control.finish();
  io.end_record();
  return faults;
}

}  // namespace

bool read_items(RecordSource& source, const Format& f, const InItems& items, bool end_branch) {
  InputIo io{source, {}, 0};
  try {
    io.end_record();  // every read starts with a new record
    FormatControl<InputIo> control(f, io);
    for (const InItem& item : items) edit_input(io, control.next(), item);
    control.finish();
  } catch (const EndOfFile&) {
    if (end_branch) return false;
    source.fail_end_of_file();
  }
  return true;
}

FieldFaults write_items(TextOutput& out, const Format& f, const OutItems& items) {
  static thread_local std::string record;
  return run_write(
      record, [&out](const std::string& r) { out.write_record(r); }, f, items);
}

void write_items(std::string& out, const Format& f, const OutItems& items) {
  std::string record;
  out.clear();
  bool first = true;
  run_write(
      record,
      [&out, &first](const std::string& r) {
        if (!first) out.push_back('\n');
        first = false;
        out.append(r);
      },
      f, items);
}

void write_items(char* field, std::size_t length, const Format& f, const OutItems& items) {
  std::string record;
  int records = 0;
  run_write(
      record,
      [&](const std::string& r) {
        if (++records > 1 || r.size() > length) {
          throw IoFailure{"sfconv: a text field is too short for what is written into it",
                          msg::end_of_record, "WRITE", IoFailure::kInternal};
        }
        std::memcpy(field, r.data(), r.size());
        std::memset(field + r.size(), ' ', length - r.size());
      },
      f, items);
}

}  // namespace sfconv
