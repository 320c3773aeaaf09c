// lib3ds 1.3 computes face normals while loading; vertex normals come per face corner from the
// smoothing groups, in a buffer the caller provides.
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <cstdlib>

#include "bench/OtherImporters.h"

bool ImportWithLib3ds(const std::string& path, ChildNumbers& numbers) {
    Lib3dsFile* file = lib3ds_file_load(path.c_str());
    if (!file) return false;
    int64_t meshes = 0, vertices = 0, triangles = 0;
    for (Lib3dsMesh* mesh = file->meshes; mesh; mesh = mesh->next) {
        if (mesh->faces > 0) {
            void* normals = std::malloc(3 * sizeof(Lib3dsVector) * mesh->faces);
            if (!normals) return false;
            lib3ds_mesh_calculate_normals(mesh, static_cast<Lib3dsVector*>(normals));
        }
        ++meshes;
        vertices += mesh->points;
        triangles += mesh->faces;
    }
    Lib3dsVector low, high;
    lib3ds_file_bounding_box_of_objects(file, LIB3DS_TRUE, LIB3DS_FALSE, LIB3DS_FALSE, low, high);
    numbers[0] = meshes;
    numbers[1] = vertices;
    numbers[2] = triangles;
    return true;
}
