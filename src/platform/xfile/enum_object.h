// The walk over a file's top-level data objects.
#pragma once

#include <memory>

#include "platform/xfile/document.h"
#include "platform/xfile/dxfile.h"

namespace xfile {

// A new enumeration object with a count of 1, or null when out of memory.
IDirectXFileEnumObject* NewEnumObject(std::shared_ptr<Document> document);

} // namespace xfile
