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
  // The limit in six columns: any limit --max-reflections takes fits them.
  stop(format_line("(A,I6)"_fmt, " The number of reflections is greater than", MAXREF), where,
       "; --max-reflections N sets the limit (", kDefaultMaxReflections, " unless given)");
}

void reserve_reflections(std::int64_t n) {
  const auto room = static_cast<std::size_t>(n < MAXREF ? (n > 0 ? n : 0) : MAXREF);
  for (auto* v : {&IDATA.IH, &IDATA.IK, &IDATA.IL}) v->reserve(room);
  for (auto* v : {&RDATA.FOR, &RDATA.FOI, &RDATA.FOABS, &RDATA.IO, &RDATA.WAVE, &RDATA.SIGMA}) {
    v->reserve(room);
  }
}

void store_reflection(std::int32_t i, const Reflection& r) {
  const auto s = static_cast<std::size_t>(i);
  if (s == IDATA.IH.size()) {  // the next one, as readers store them
    IDATA.IH.push_back(r.h);
    IDATA.IK.push_back(r.k);
    IDATA.IL.push_back(r.l);
    RDATA.FOR.push_back(r.FOR);
    RDATA.FOI.push_back(r.FOI);
    RDATA.FOABS.push_back(r.FOABS);
    RDATA.IO.push_back(r.IO);
    RDATA.WAVE.push_back(r.WAVE);
    return;
  }
  if (s > IDATA.IH.size()) {
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
  if (s == RDATA.SIGMA.size()) {
    RDATA.SIGMA.push_back(sigma);
    return;
  }
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
