// Writes a Model as a .X file, in the text encoding ("xof 0302txt 0032") or the binary one with
// 32-bit floats ("xof 0302bin 0032"). No templates are declared in the files: readers register
// the standard set before they read. Numbers are rounded to six decimals first, so the same model
// always gives the same bytes.
#pragma once

#include "mesh_model.h"

#include <cstdint>
#include <vector>

namespace mkmedia {

std::vector<uint8_t> WriteXText(const Model& model);
std::vector<uint8_t> WriteXBinary(const Model& model);

// Decimal places every number is rounded to before it is written (text shows exactly these).
constexpr int XFILE_DECIMALS = 6;

} // namespace mkmedia
