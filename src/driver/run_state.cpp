// The run state's one instance.
#include "driver/run_state.hpp"

#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/report.hpp"

namespace sfconv {

CharData CDATA{};
IntData IDATA{};
LogData LDATA{};
RealData RDATA{};
ParameterLines PARLINES{};

void stop_too_many_reflections(const std::string& where) {
  stop(format_line("(A,I6)"_fmt, " The number of reflections is greater than", MAXREF), where);
}

void store_reflection(std::int32_t i, const Reflection& r) {
  const auto s = static_cast<std::size_t>(i);
  IDATA.IH[s] = r.h;
  IDATA.IK[s] = r.k;
  IDATA.IL[s] = r.l;
  RDATA.FOR[s] = r.FOR;
  RDATA.FOI[s] = r.FOI;
  RDATA.FOABS[s] = r.FOABS;
  RDATA.IO[s] = r.IO;
  RDATA.WAVE[s] = r.WAVE;
}

void reset_run_state() {
  CDATA = CharData{};
  IDATA = IntData{};
  LDATA = LogData{};
  RDATA = RealData{};
  PARLINES = ParameterLines{};
  REPORT = RunReport{};
}

}  // namespace sfconv
