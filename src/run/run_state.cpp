// The run state's one instance.
#include "run/run_state.hpp"

#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/line_hint.hpp"
#include "textio/report.hpp"

namespace sfconv {

CharData CDATA{};
IntData IDATA{};
LogData LDATA{};
RealData RDATA{};
ParameterLines PARLINES{};
std::int32_t MAXREF = kDefaultMaxReflections;

void stop_too_many_reflections(const std::string& where) {
  // The limit's own six columns, wider for a limit of a million or more.
  const Format& layout = MAXREF < 1000000    ? "(A,I6)"_fmt
                         : MAXREF < 10000000 ? "(A,I7)"_fmt
                                             : "(A,I8)"_fmt;
  stop(format_line(layout, " The number of reflections is greater than", MAXREF), where,
       "; --max-reflections N sets the limit (", kDefaultMaxReflections, " unless given)");
}

void store_reflection(std::int32_t i, const Reflection& r) {
  const auto s = static_cast<std::size_t>(i);
  if (s >= IDATA.IH.size()) {
    // One more each time: the vectors grow their capacity geometrically.
    for (auto* v : {&IDATA.IH, &IDATA.IK, &IDATA.IL}) v->resize(s + 1);
    for (auto* v : {&RDATA.FOR, &RDATA.FOI, &RDATA.FOABS, &RDATA.IO, &RDATA.WAVE}) v->resize(s + 1);
  }
  IDATA.IH[s] = r.h;
  IDATA.IK[s] = r.k;
  IDATA.IL[s] = r.l;
  RDATA.FOR[s] = r.FOR;
  RDATA.FOI[s] = r.FOI;
  RDATA.FOABS[s] = r.FOABS;
  RDATA.IO[s] = r.IO;
  RDATA.WAVE[s] = r.WAVE;
}

void store_reflection(std::int32_t i, const Reflection& r, float sigma) {
  store_reflection(i, r);
  const auto s = static_cast<std::size_t>(i);
  RDATA.SIGMA.resize(s + 1);
  RDATA.SIGMA[s] = sigma;
}

void reset_run_state() {
  CDATA = CharData{};
  IDATA = IntData{};
  LDATA = LogData{};
  RDATA = RealData{};
  PARLINES = ParameterLines{};
  MAXREF = kDefaultMaxReflections;
  REPORT = RunReport{};
  PARAMETER_LOG.clear();
}

}  // namespace sfconv
