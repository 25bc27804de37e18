// The X11 backend keeps no state of the tests' making: test binaries that
// run the layer over X11 link this beside the windowing doubles.
#include "testing/doubles/window_seams.h"

namespace w32test {

void ResetBackendState() {}

}  // namespace w32test
