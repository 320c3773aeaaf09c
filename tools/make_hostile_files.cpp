// Writes the hostile files of tools/HostileFiles.h into a folder, in the sizes that once took
// minutes or gigabytes to load, for trying the readers' bounds by hand; with --seeds, small
// ones of each kind for the fuzzers to start from:
//     make_hostile_files [--seeds] FOLDER
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/HostileFiles.h"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes,
               uint64_t size) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) return false;
    }
    // The rest is zero bytes that the file system need not store.
    std::error_code ec;
    if (size > bytes.size()) std::filesystem::resize_file(path, size, ec);
    if (ec) return false;
    std::cout << path.string() << " " << size << " bytes\n";
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool seeds = argc == 3 && std::string(argv[1]) == "--seeds";
    if (argc != 2 && !seeds) {
        std::cerr << "usage: make_hostile_files [--seeds] FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[argc - 1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);

    struct Made {
        const char* name;
        std::vector<uint8_t> bytes;
        uint64_t size;
    };
    // A size of 0: the bytes are the whole file.
    const std::vector<Made> seedFiles = {
        {"overlap.3ds", hostile::OverlappingMeshes(40, 200), 0},
        {"lists.3ds", hostile::ManySmallLists(200), 0},
        {"groups.3ds", hostile::ManyMaterialGroups(100, 100), 0},
        {"names.zmv", hostile::EmptyNamesScene(4096), 0},
    };
    const std::vector<Made> files = {
        {"overlap-1000.3ds", hostile::OverlappingMeshes(1000, 65535), 0},
        {"overlap-4000.3ds", hostile::OverlappingMeshes(4000, 65535), 0},
        {"overlap-10000.3ds", hostile::OverlappingMeshes(10000, 65535), 0},
        {"lists-1m.3ds", hostile::ManySmallLists(29000), 0},
        {"lists-4m.3ds", hostile::ManySmallLists(116000), 0},
        {"groups-80k.3ds", hostile::ManyMaterialGroups(80000, 80000), 0},
        {"names-100m.zmv", hostile::EmptyNamesSceneStart(), uint64_t{100} << 20},
        {"names-2g.zmv", hostile::EmptyNamesSceneStart(), uint64_t{2} << 30},
    };
    for (const Made& file : seeds ? seedFiles : files) {
        const uint64_t size = file.size ? file.size : file.bytes.size();
        if (!WriteFile(folder / file.name, file.bytes, size)) {
            std::cerr << "could not write " << (folder / file.name).string() << "\n";
            return 1;
        }
    }
    return 0;
}
