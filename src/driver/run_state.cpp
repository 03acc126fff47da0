// The run state's one instance.
#include "driver/run_state.hpp"

#include "textio/report.hpp"

namespace sfconv {

CharData CDATA{};
IntData IDATA{};
LogData LDATA{};
RealData RDATA{};

void reset_run_state() {
  CDATA = CharData{};
  IDATA = IntData{};
  LDATA = LogData{};
  RDATA = RealData{};
  REPORT = RunReport{};
}

}  // namespace sfconv
