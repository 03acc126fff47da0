// The run's report.
#include "textio/report.hpp"

namespace sfconv {

RunReport REPORT;

}  // namespace sfconv
