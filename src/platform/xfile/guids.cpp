// Interface identifiers of this platform's .X library (only identity matters: the program
// compares them, never interprets them) and the template ids real .X files declare.
#include "platform/xfile/dxfile.h"
#include "platform/xfile/guid_text.h"

using xfile::GuidFromText;

const IID IID_IDirectXFile = {
    0x6E1A3F01, 0x52C4, 0x4D8B, {0xA7, 0x33, 0x1D, 0x90, 0x4B, 0x2E, 0xF6, 0x01}};
const IID IID_IDirectXFileEnumObject = {
    0x6E1A3F02, 0x52C4, 0x4D8B, {0xA7, 0x33, 0x1D, 0x90, 0x4B, 0x2E, 0xF6, 0x02}};
const IID IID_IDirectXFileObject = {
    0x6E1A3F03, 0x52C4, 0x4D8B, {0xA7, 0x33, 0x1D, 0x90, 0x4B, 0x2E, 0xF6, 0x03}};
const IID IID_IDirectXFileData = {
    0x6E1A3F04, 0x52C4, 0x4D8B, {0xA7, 0x33, 0x1D, 0x90, 0x4B, 0x2E, 0xF6, 0x04}};
const IID IID_IDirectXFileDataReference = {
    0x6E1A3F05, 0x52C4, 0x4D8B, {0xA7, 0x33, 0x1D, 0x90, 0x4B, 0x2E, 0xF6, 0x05}};

const GUID TID_D3DRMHeader = GuidFromText("3D82AB43-62DA-11CF-AB39-0020AF71E433");
const GUID TID_D3DRMVector = GuidFromText("3D82AB5E-62DA-11CF-AB39-0020AF71E433");
const GUID TID_D3DRMCoords2d = GuidFromText("F6F23F44-7686-11CF-8F52-0040333594A3");
const GUID TID_D3DRMMatrix4x4 = GuidFromText("F6F23F45-7686-11CF-8F52-0040333594A3");
const GUID TID_D3DRMColorRGBA = GuidFromText("35FF44E0-6C7C-11CF-8F52-0040333594A3");
const GUID TID_D3DRMColorRGB = GuidFromText("D3E16E81-7835-11CF-8F52-0040333594A3");
const GUID TID_D3DRMMaterial = GuidFromText("3D82AB4D-62DA-11CF-AB39-0020AF71E433");
const GUID TID_D3DRMTextureFilename = GuidFromText("A42790E1-7810-11CF-8F52-0040333594A3");
const GUID TID_D3DRMMeshFace = GuidFromText("3D82AB5F-62DA-11CF-AB39-0020AF71E433");
const GUID TID_D3DRMMeshTextureCoords = GuidFromText("F6F23F40-7686-11CF-8F52-0040333594A3");
const GUID TID_D3DRMMeshMaterialList = GuidFromText("F6F23F42-7686-11CF-8F52-0040333594A3");
const GUID TID_D3DRMMeshNormals = GuidFromText("F6F23F43-7686-11CF-8F52-0040333594A3");
const GUID TID_D3DRMMesh = GuidFromText("3D82AB44-62DA-11CF-AB39-0020AF71E433");
const GUID TID_D3DRMFrameTransformMatrix = GuidFromText("F6F23F41-7686-11CF-8F52-0040333594A3");
const GUID TID_D3DRMFrame = GuidFromText("3D82AB46-62DA-11CF-AB39-0020AF71E433");
