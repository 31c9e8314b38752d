// The reader's limits. Each one turns a hostile or broken file into an error before it can cost
// unbounded memory, stack or time; all are far above what real model files need.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xfile {

// Whole files are read into memory; the demo's models are a few hundred kilobytes.
constexpr size_t kMaxFileBytes = size_t{64} << 20;
// Object, template and member names. The program reads names into 80-character fields; longer
// names still load and fail only in GetName.
constexpr size_t kMaxNameLength = 1024;
// Data objects inside data objects (the parser recurses once per level).
constexpr int kMaxObjectDepth = 256;
// Templates built from templates (laying out data recurses once per level).
constexpr int kMaxTemplateDepth = 64;
// Parsed data, strings, objects and templates of one file together. Text expands by at most
// four times (a one-digit DOUBLE becomes 8 bytes), so any file under the size cap fits.
constexpr uint64_t kMaxParsedBytes = uint64_t{256} << 20;
// What one object record costs against that budget besides its data, so that millions of empty
// objects are bounded too.
constexpr uint64_t kObjectOverheadBytes = 256;
constexpr uint64_t kTemplateOverheadBytes = 256;

} // namespace xfile
