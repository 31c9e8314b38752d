// The reader's limits. Each one turns a hostile or broken file into an error before it can cost
// unbounded memory, stack or time; all are far above what real model files need.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xfile {

// Whole files are read into memory; the demo's models are a few hundred kilobytes.
constexpr size_t MAX_FILE_BYTES = size_t{64} << 20;
// Object, template and member names. The program reads names into 80-character fields; longer
// names still load and fail only in GetName.
constexpr size_t MAX_NAME_LENGTH = 1024;
// Data objects inside data objects (the parser recurses once per level).
constexpr int MAX_OBJECT_DEPTH = 256;
// Templates built from templates (laying out data recurses once per level).
constexpr int MAX_TEMPLATE_DEPTH = 64;
// Parsed data, strings, objects and templates of one file together. Text expands by at most
// four times (a one-digit DOUBLE becomes 8 bytes), so any file under the size cap fits.
constexpr uint64_t MAX_PARSED_BYTES = uint64_t{256} << 20;
// What one object record costs against that budget besides its data, so that millions of empty
// objects are bounded too.
constexpr uint64_t OBJECT_OVERHEAD_BYTES = 256;
constexpr uint64_t TEMPLATE_OVERHEAD_BYTES = 256;

} // namespace xfile
