// Chunk ids of the 3D Studio file format: the ones the importer reads, and the further ones that
// the file builders in tools/ and bench/ write. The importer skips every chunk it does not read.
#pragma once

#include <cstdint>

namespace chunk {

// The file and its two main parts.
constexpr uint16_t kMain = 0x4D4D;
constexpr uint16_t kVersion = 0x0002;
constexpr uint16_t kEditor = 0x3D3D;
constexpr uint16_t kKeyframer = 0xB000;

// Values inside other chunks.
constexpr uint16_t kColorFloat = 0x0010;
constexpr uint16_t kColorBytes = 0x0011;
constexpr uint16_t kColorBytesLinear = 0x0012;  // written only
constexpr uint16_t kPercentInt = 0x0030;
constexpr uint16_t kPercentFloat = 0x0031;

// Inside the editor chunk.
constexpr uint16_t kMeshVersion = 0x3D3E;   // written only
constexpr uint16_t kMasterScale = 0x0100;   // written only
constexpr uint16_t kAmbientLight = 0x2100;  // written only
constexpr uint16_t kMaterial = 0xAFFF;
constexpr uint16_t kNamedObject = 0x4000;

// Inside a material.
constexpr uint16_t kMaterialName = 0xA000;
constexpr uint16_t kAmbient = 0xA010;
constexpr uint16_t kDiffuse = 0xA020;
constexpr uint16_t kSpecular = 0xA030;
constexpr uint16_t kShininess = 0xA040;
constexpr uint16_t kShininessStrength = 0xA041;  // written only
constexpr uint16_t kTransparency = 0xA050;
constexpr uint16_t kTransparencyFalloff = 0xA052;  // written only
constexpr uint16_t kReflectionBlur = 0xA053;       // written only
constexpr uint16_t kSelfIllumination = 0xA084;     // written only
constexpr uint16_t kWireSize = 0xA087;             // written only
constexpr uint16_t kShading = 0xA100;              // written only
constexpr uint16_t kTextureMap1 = 0xA200;
constexpr uint16_t kSpecularMap = 0xA204;
constexpr uint16_t kOpacityMap = 0xA210;
constexpr uint16_t kReflectionMap = 0xA220;
constexpr uint16_t kBumpMap = 0xA230;
constexpr uint16_t kTextureMap2 = 0xA33A;
constexpr uint16_t kShininessMap = 0xA33C;
constexpr uint16_t kSelfIlluminationMap = 0xA33D;

// Inside a map.
constexpr uint16_t kMapFileName = 0xA300;
constexpr uint16_t kMapTiling = 0xA351;
constexpr uint16_t kMapUScale = 0xA354;
constexpr uint16_t kMapVScale = 0xA356;
constexpr uint16_t kMapUOffset = 0xA358;
constexpr uint16_t kMapVOffset = 0xA35A;
constexpr uint16_t kMapRotation = 0xA35C;

// What a named object holds, and what a triangle mesh holds.
constexpr uint16_t kTriangleMesh = 0x4100;
constexpr uint16_t kVertexList = 0x4110;
constexpr uint16_t kVertexFlags = 0x4111;
constexpr uint16_t kFaceList = 0x4120;
constexpr uint16_t kFaceMaterial = 0x4130;
constexpr uint16_t kMappingCoords = 0x4140;
constexpr uint16_t kSmoothGroups = 0x4150;
constexpr uint16_t kLocalAxes = 0x4160;  // the mesh's own matrix
constexpr uint16_t kMeshColor = 0x4165;
constexpr uint16_t kTextureInfo = 0x4170;
constexpr uint16_t kLight = 0x4600;
constexpr uint16_t kSpotlight = 0x4610;        // written only
constexpr uint16_t kLightMultiplier = 0x465B;  // written only
constexpr uint16_t kCamera = 0x4700;
constexpr uint16_t kCameraRanges = 0x4720;  // written only

// Inside the keyframer chunk: the nodes, of which the reader reads the object nodes' names,
// hierarchy, pivots and first keys of their placement tracks.
constexpr uint16_t kAmbientNode = 0xB001;
constexpr uint16_t kObjectNode = 0xB002;
constexpr uint16_t kCameraNode = 0xB003;
constexpr uint16_t kCameraTargetNode = 0xB004;
constexpr uint16_t kLightNode = 0xB005;
constexpr uint16_t kLightTargetNode = 0xB006;
constexpr uint16_t kSpotlightNode = 0xB007;
constexpr uint16_t kKeyframerSegment = 0xB008;
constexpr uint16_t kKeyframerCurrentFrame = 0xB009;
constexpr uint16_t kKeyframerHeader = 0xB00A;
constexpr uint16_t kNodeHeader = 0xB010;
constexpr uint16_t kInstanceName = 0xB011;
constexpr uint16_t kPivot = 0xB013;
constexpr uint16_t kPositionTrack = 0xB020;
constexpr uint16_t kRotationTrack = 0xB021;
constexpr uint16_t kScaleTrack = 0xB022;
constexpr uint16_t kFieldOfViewTrack = 0xB023;
constexpr uint16_t kRollTrack = 0xB024;
constexpr uint16_t kColorTrack = 0xB025;
constexpr uint16_t kHotspotTrack = 0xB027;
constexpr uint16_t kFalloffTrack = 0xB028;
constexpr uint16_t kNodeId = 0xB030;

}  // namespace chunk
