// The process-wide search state.

#include "search/state.h"

namespace search {

State g_state;

}  // namespace search
