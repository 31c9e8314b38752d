// Small questions asked of the .X library's objects, with its failures folded into plain answers.
#include "mesh/mesh_loader.h"

bool QueryData(IDirectXFileObject* object, XFileRef<IDirectXFileData>& data) {
    if (object == nullptr) {
        return false;
    }
    return SUCCEEDED(object->QueryInterface(IID_IDirectXFileData,
                                            reinterpret_cast<void**>(data.Out()))) &&
           data.Get() != nullptr;
}

const GUID* TypeOf(IDirectXFileData* object) {
    const GUID* type = nullptr;
    if (object == nullptr || FAILED(object->GetType(&type))) {
        return nullptr;
    }
    return type;
}

bool ReadNodeName(IDirectXFileData* object, char (&name)[MESH_NAME_SIZE]) {
    DWORD size = MESH_NAME_SIZE;
    if (FAILED(object->GetName(name, &size))) {
        return false;
    }
    name[MESH_NAME_SIZE - 1] = '\0'; // the field ends here whatever was written
    return true;
}
