// The .X file library: reads model files in the .X format (text or binary, 32- or 64-bit floats)
// and hands their data objects to the program through the platform's interfaces.
//
// What it does:
//  - DirectXFileCreate gives an IDirectXFile. RegisterTemplates adds templates from a block in .X
//    form (xtemplates.h holds the standard set); CreateEnumObject opens a file or a memory block.
//  - IDirectXFileEnumObject walks the top-level data objects in file order. Each object is parsed
//    when the walk reaches it, so a fault in the file surfaces from GetNextDataObject as an error
//    after the objects before it were handed out; the walk then keeps answering that error.
//  - IDirectXFileData::GetData lays the object's members out as its template describes them:
//    packed, little-endian, no padding; WORD 2 bytes, DWORD/SDWORD/FLOAT 4, DOUBLE/ULONGLONG 8,
//    CHAR/UCHAR/BYTE 1; arrays and nested templates inline; arrays sized by earlier members.
//    FLOAT members are 32-bit even in files with 64-bit floats. STRING, CSTRING and UNICODE
//    members are char* pointers (8 bytes here) to NUL-terminated text the library owns. Fields
//    are not aligned: copy them out with memcpy rather than casting into the buffer.
//  - Data and names stay valid while the object that gave them, or any object of the same file,
//    is alive.
//  - Child objects are nested data objects or references. A reference resolves only to a named
//    object (by name, GUID or both) completed earlier in the same file; anything else (unknown
//    name, a forward reference, an object referring to itself or an enclosing object) fails in
//    Resolve with DXFILEERR_BADDATAREFERENCE, so following references can never loop. When a name
//    was used twice, the latest earlier object of that name wins.
//  - Templates declared in a file are known from their declaration on, for that file only. A
//    second definition of a known template is accepted when its GUID and member layout are the
//    same (real files repeat the standard templates); any other second definition is an error.
//
// What it does not do: writing files (no save objects), binary objects, loading from resources,
// streams or URLs, and compressed files (tzip, bzip): their layout could not be checked against a
// real file, so they are refused with DXFILEERR_BADFILECOMPRESSIONTYPE rather than guessed at.
//
// Limits (bad input ends in an error, never a crash): files up to 64 MiB, names up to 1,024
// characters, 256 levels of nested objects, 64 levels of templates within templates, 256 MiB of
// parsed data and object records per file. Counts are checked against the bytes left before
// anything is allocated.
#pragma once

#include "platform/win32/types.h"

// ---- Result codes ------------------------------------------------------------------------------
// The DirectDraw facility (the MAKE_DDHRESULT family), codes 850 to 874 in this order.
constexpr HRESULT MakeDxFileResult(uint32_t code) {
    return MakeHResult(0x88760000u + code);
}

constexpr HRESULT DXFILE_OK = S_OK;
// End of the walk: no further top-level object, or no further child.
constexpr HRESULT DXFILEERR_NOMOREOBJECTS = MakeDxFileResult(850);
// A bad argument, a buffer too small, or a value that does not fit its member's type.
constexpr HRESULT DXFILEERR_BADVALUE = MakeDxFileResult(851);
// A template member of a type the library cannot lay out (BINARY, VOID, ...).
constexpr HRESULT DXFILEERR_BADTYPE = MakeDxFileResult(852);
constexpr HRESULT DXFILEERR_BADSTREAMHANDLE = MakeDxFileResult(853);
// Out of memory, or the file needs more than the per-file budget.
constexpr HRESULT DXFILEERR_BADALLOC = MakeDxFileResult(854);
// No member, or no top-level object, of the name or GUID asked for.
constexpr HRESULT DXFILEERR_NOTFOUND = MakeDxFileResult(855);
// A load option the library does not offer (resources, streams, URLs).
constexpr HRESULT DXFILEERR_NOTDONEYET = MakeDxFileResult(856);
constexpr HRESULT DXFILEERR_FILENOTFOUND = MakeDxFileResult(857);
constexpr HRESULT DXFILEERR_RESOURCENOTFOUND = MakeDxFileResult(858);
constexpr HRESULT DXFILEERR_URLNOTFOUND = MakeDxFileResult(859);
constexpr HRESULT DXFILEERR_BADRESOURCE = MakeDxFileResult(860);
// Not an .X file: shorter than its header, another magic, or another format word.
constexpr HRESULT DXFILEERR_BADFILETYPE = MakeDxFileResult(861);
constexpr HRESULT DXFILEERR_BADFILEVERSION = MakeDxFileResult(862);
constexpr HRESULT DXFILEERR_BADFILEFLOATSIZE = MakeDxFileResult(863);
constexpr HRESULT DXFILEERR_BADFILECOMPRESSIONTYPE = MakeDxFileResult(864);
// A file larger than the library reads, or one that could not be read.
constexpr HRESULT DXFILEERR_BADFILE = MakeDxFileResult(865);
// Malformed text or tokens, structure faults, nesting or names past their limits.
constexpr HRESULT DXFILEERR_PARSEERROR = MakeDxFileResult(866);
// A data object or a member of an unknown template.
constexpr HRESULT DXFILEERR_NOTEMPLATE = MakeDxFileResult(867);
// An array count larger than the file can hold, or a dimension naming no earlier count member.
constexpr HRESULT DXFILEERR_BADARRAYSIZE = MakeDxFileResult(868);
constexpr HRESULT DXFILEERR_BADDATAREFERENCE = MakeDxFileResult(869);
constexpr HRESULT DXFILEERR_INTERNALERROR = MakeDxFileResult(870);
// A null object pointer where an object is needed.
constexpr HRESULT DXFILEERR_BADOBJECT = MakeDxFileResult(871);
constexpr HRESULT DXFILEERR_BADINTRINSICS = MakeDxFileResult(872);
constexpr HRESULT DXFILEERR_NOMORESTREAMHANDLES = MakeDxFileResult(873);
constexpr HRESULT DXFILEERR_NOMOREDATA = MakeDxFileResult(874);

// ---- Load options ------------------------------------------------------------------------------
using DXFILELOADOPTIONS = DWORD;
// The source is a file name (char*); backslashes in it work as folder separators.
constexpr DXFILELOADOPTIONS DXFILELOAD_FROMFILE = 0x00;
constexpr DXFILELOADOPTIONS DXFILELOAD_FROMRESOURCE = 0x01;
// The source is a DXFILELOADMEMORY; the bytes are copied, the caller may free them at once.
constexpr DXFILELOADOPTIONS DXFILELOAD_FROMMEMORY = 0x02;
constexpr DXFILELOADOPTIONS DXFILELOAD_FROMSTREAM = 0x04;
constexpr DXFILELOADOPTIONS DXFILELOAD_FROMURL = 0x08;

struct DXFILELOADMEMORY {
    LPVOID lpMemory;
    DWORD dSize;
};

// ---- Interface identifiers and template ids ----------------------------------------------------
extern const IID IID_IDirectXFile;
extern const IID IID_IDirectXFileEnumObject;
extern const IID IID_IDirectXFileObject;
extern const IID IID_IDirectXFileData;
extern const IID IID_IDirectXFileDataReference;

// GetType answers the GUID of the object's template; these are the ones real files declare.
extern const GUID TID_D3DRMHeader;
extern const GUID TID_D3DRMVector;
extern const GUID TID_D3DRMCoords2d;
extern const GUID TID_D3DRMMatrix4x4;
extern const GUID TID_D3DRMColorRGBA;
extern const GUID TID_D3DRMColorRGB;
extern const GUID TID_D3DRMMaterial;
extern const GUID TID_D3DRMTextureFilename;
extern const GUID TID_D3DRMMeshFace;
extern const GUID TID_D3DRMMeshTextureCoords;
extern const GUID TID_D3DRMMeshMaterialList;
extern const GUID TID_D3DRMMeshNormals;
extern const GUID TID_D3DRMMesh;
extern const GUID TID_D3DRMFrameTransformMatrix;
extern const GUID TID_D3DRMFrame;

// ---- Interfaces --------------------------------------------------------------------------------
struct IDirectXFileData;

struct IDirectXFileObject : IUnknown {
    // Copies the name with its terminating NUL. *size is the buffer size on entry and the size
    // needed (length + 1) on return. A null buffer only asks for the size. A buffer too small
    // fails with DXFILEERR_BADVALUE and writes nothing. Unnamed objects have the name "".
    virtual HRESULT GetName(LPSTR name, LPDWORD size) = 0;
    // The object's GUID, or all zeros when the file gives none.
    virtual HRESULT GetId(LPGUID id) = 0;
};

struct IDirectXFileData : IDirectXFileObject {
    // member null: the whole object's data; otherwise the named top-level member of its template
    // (DXFILEERR_NOTFOUND when there is none). An object without data gives size 0 and null.
    virtual HRESULT GetData(LPCSTR member, DWORD* size, void** data) = 0;
    // The template's GUID; the pointer stays valid as long as the object.
    virtual HRESULT GetType(const GUID** type) = 0;
    // The next child (a data object or a reference), in file order; DXFILEERR_NOMOREOBJECTS at
    // the end. Use QueryInterface to tell the kinds apart.
    virtual HRESULT GetNextObject(IDirectXFileObject** child) = 0;
};

struct IDirectXFileDataReference : IDirectXFileObject {
    virtual HRESULT Resolve(IDirectXFileData** data) = 0;
};

struct IDirectXFileEnumObject : IUnknown {
    virtual HRESULT GetNextDataObject(IDirectXFileData** data) = 0;
    // Search the top-level objects of the whole file, apart from the walk's own position.
    virtual HRESULT GetDataObjectById(REFGUID id, IDirectXFileData** data) = 0;
    virtual HRESULT GetDataObjectByName(LPCSTR name, IDirectXFileData** data) = 0;
};

struct IDirectXFile : IUnknown {
    virtual HRESULT CreateEnumObject(LPVOID source, DXFILELOADOPTIONS options,
                                     IDirectXFileEnumObject** enumObject) = 0;
    // A block in .X form holding templates only. All of it is registered, or nothing.
    virtual HRESULT RegisterTemplates(LPCVOID data, DWORD size) = 0;
};

using LPDIRECTXFILE = IDirectXFile*;
using LPDIRECTXFILEENUMOBJECT = IDirectXFileEnumObject*;
using LPDIRECTXFILEOBJECT = IDirectXFileObject*;
using LPDIRECTXFILEDATA = IDirectXFileData*;
using LPDIRECTXFILEDATAREFERENCE = IDirectXFileDataReference*;

HRESULT DirectXFileCreate(LPDIRECTXFILE* file);
