#include "app/handles.h"

namespace app {

Handles g_handles;

}  // namespace app
