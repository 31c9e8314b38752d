// Finishing the current GL context's work.
#include "support/gl_finish.h"

#include <epoxy/gl.h>

namespace bench {

void FinishGl() {
    glFinish();
}

} // namespace bench
