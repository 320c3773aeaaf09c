// Chunk ids of the 3D Studio file format that the importer knows.
#pragma once

#include <cstdint>

namespace chunk {
constexpr uint16_t kMain = 0x4D4D;
constexpr uint16_t kEditor = 0x3D3D;
constexpr uint16_t kMaterial = 0xAFFF;
constexpr uint16_t kMaterialName = 0xA000;
constexpr uint16_t kAmbient = 0xA010;
constexpr uint16_t kDiffuse = 0xA020;
constexpr uint16_t kSpecular = 0xA030;
constexpr uint16_t kShininess = 0xA040;
constexpr uint16_t kTransparency = 0xA050;
constexpr uint16_t kNamedObject = 0x4000;
constexpr uint16_t kTriangleMesh = 0x4100;
constexpr uint16_t kVertexList = 0x4110;
constexpr uint16_t kVertexFlags = 0x4111;
constexpr uint16_t kFaceList = 0x4120;
constexpr uint16_t kFaceMaterial = 0x4130;
constexpr uint16_t kMappingCoords = 0x4140;
constexpr uint16_t kSmoothGroups = 0x4150;
constexpr uint16_t kLocalAxes = 0x4160;
constexpr uint16_t kMeshColor = 0x4165;
constexpr uint16_t kTextureInfo = 0x4170;
constexpr uint16_t kLight = 0x4600;
constexpr uint16_t kCamera = 0x4700;
constexpr uint16_t kColorFloat = 0x0010;
constexpr uint16_t kColorBytes = 0x0011;
constexpr uint16_t kPercentInt = 0x0030;
constexpr uint16_t kVersion = 0x0002;
constexpr uint16_t kKeyframer = 0xB000;
}  // namespace chunk
