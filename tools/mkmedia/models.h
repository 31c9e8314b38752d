// The show's three models. Each is built in code and written by the .X writers; the preview and
// the tests look at the same Model values.
#pragma once

#include "mesh_model.h"

namespace mkmedia {

// "object.1": an orrery of light (a trefoil knot inside two rings), about 72 units across,
// drawn as eight nested copies. A frame tree with transform matrices; normals, texture
// coordinates and a two-material list (one naming gleam.tga) are given.
Model BuildOrrery();
// "object.2": a small spark (spikes around a core), about 24 units across, drawn hundreds of
// times. Normals left to the reader.
Model BuildSpark();
// "object.3": a curved double-edged blade reaching out from its own Y axis; fifteen turned copies
// make a rosette in front of the camera. A single top-level mesh whose material is a reference.
Model BuildBlade();

} // namespace mkmedia
