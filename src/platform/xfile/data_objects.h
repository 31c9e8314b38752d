// The interface objects over a parsed file: data objects and references. Each one handed out is
// a new object with its own count and its own child position; all of them keep the file alive.
#pragma once

#include <memory>

#include "platform/xfile/document.h"
#include "platform/xfile/dxfile.h"

namespace xfile {

// New objects with a count of 1, or null when out of memory.
IDirectXFileData* NewDataObject(std::shared_ptr<Document> document, const DataNode& node);
IDirectXFileDataReference* NewReferenceObject(std::shared_ptr<Document> document,
                                              const DataReference& reference);

// GetName's contract, shared by both kinds.
HRESULT CopyName(const std::string& name, LPSTR buffer, LPDWORD size);

} // namespace xfile
