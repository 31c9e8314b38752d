// The standard template set of the .X format as one block in binary .X form ("xof 0302bin 0064"),
// ready for IDirectXFile::RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES).
//
// It declares, in this order: Header, Vector, Coords2d, Matrix4x4, ColorRGBA, ColorRGB,
// IndexedColor, Boolean, Boolean2d, MaterialWrap, TextureFilename, Material, MeshFace,
// MeshFaceWraps, MeshTextureCoords, MeshMaterialList, MeshNormals, MeshVertexColors, Mesh,
// FrameTransformMatrix, Frame, FloatKeys, TimedFloatKeys, AnimationKey, AnimationOptions,
// Animation, AnimationSet, InlineData, Url, ProgressiveMesh, Guid, StringProperty, PropertyBag,
// ExternalVisual, RightHanded. The block is encoded at compile time from a readable description
// (standard_templates.cpp).
#pragma once

#include "platform/win32/types.h"

extern const unsigned char* const D3DRM_XTEMPLATES;
extern const DWORD D3DRM_XTEMPLATE_BYTES;
