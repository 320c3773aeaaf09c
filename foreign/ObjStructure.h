// What an OBJ file's statements make of its faces, as the Open Asset Import Library reads them:
// which object and which mesh each run of faces joins, each mesh's material, and the materials
// themselves. The library decides this from its objects, groups, material libraries and material
// changes, with many rules of its own; the program's OBJ reader keeps them by letting the library
// read those statements alone, each run of faces standing in as one face, while it reads the
// numbers itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/Scene.h"

// The statements of a file without its numbers: each run of faces becomes one face naming a
// vertex of the run's own.
class ObjSkeleton {
public:
    // A statement the library's reading of the structure depends on, as the file has it.
    void Statement(const char* line, size_t length);
    // The start of a run of faces; returns false when there are too many runs to number.
    bool StartRun();
    uint32_t Runs() const { return m_runs; }
    // The skeleton as an OBJ file.
    std::string Text() const;

private:
    std::string m_statements;
    uint32_t m_runs = 0;
};

// One mesh of an object: its material (an index into the scene's materials) and its runs of
// faces, in their order.
struct ObjMeshRuns {
    uint32_t material = 0;
    std::vector<uint32_t> runs;
};

// An object the library makes a node of, in the order the scene's objects take.
struct ObjNode {
    std::string name;  // the object's name, or its first mesh's when it has none
    std::vector<ObjMeshRuns> meshes;
};

// Reads the skeleton of the file at path with the library (with libraries, the file's material
// libraries are read from beside it as the library finds them; without, none is read), appends
// the materials to scene and gives the nodes; false with why when the library cannot read it or
// its answer does not account for every run exactly once.
bool ReadObjStructure(const std::string& path, bool libraries, const ObjSkeleton& skeleton,
                      Scene& scene, std::vector<ObjNode>& nodes, std::vector<std::string>& report,
                      std::string& why);
