// The check every test of the import child's own readers makes: a file a reader takes gives the
// scene the Open Asset Import Library's reading gives, and a file it leaves goes with the reason.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "ImportChild.h"
#include "MeshObjects.h"
#include "cli/SceneDump.h"

namespace fastreaders {

// Whether the number at path is a normal the program computes: a vertex's (from its fourth
// number) or a triangle's (from its fifth).
inline bool IsNormal(const std::string& path) {
    const size_t last = path.rfind('/');
    const size_t kind = path.rfind('/', path.rfind('/', last - 1) - 1);
    if (last == std::string::npos || kind == std::string::npos) return false;
    const int k = std::atoi(path.c_str() + last + 1);
    const std::string list = path.substr(kind + 1, path.find('/', kind + 1) - kind - 1);
    return (list == "vertices" && k >= 3) || (list == "meshes" && k >= 4);
}

// Where two dumps differ, as a path into them, or empty: numbers may differ by relative (of the
// larger) or, near zero, by as much absolutely, since text formats' numbers are read by another
// parser than the library's, whose last bit may differ; normals, computed from differences of
// nearby positions, by a ten-thousandth.
inline std::string FirstDifference(const nlohmann::json& a, const nlohmann::json& b,
                                   double relative, const std::string& at = "") {
    if (a.is_number() && b.is_number()) {
        const double x = a.get<double>(), y = b.get<double>();
        const double scale = std::max({std::fabs(x), std::fabs(y), 1.0});
        const double allowed = IsNormal(at) ? std::max(relative, 1e-4) : relative * scale;
        return std::fabs(x - y) <= allowed ? "" : at + ": " + a.dump() + " " + b.dump();
    }
    if (a.type() != b.type() || a.size() != b.size()) return at + ": " + a.dump().substr(0, 80);
    if (a.is_array()) {
        for (size_t i = 0; i < a.size(); ++i) {
            const std::string d =
                FirstDifference(a[i], b[i], relative, at + "/" + std::to_string(i));
            if (!d.empty()) return d;
        }
        return "";
    }
    if (a.is_object()) {
        for (auto it = a.begin(); it != a.end(); ++it) {
            if (!b.contains(it.key())) return at + "/" + it.key() + " missing";
            const std::string d = FirstDifference(*it, b[it.key()], relative, at + "/" + it.key());
            if (!d.empty()) return d;
        }
        return "";
    }
    return a == b ? "" : at + ": " + a.dump() + " " + b.dump();
}

using PathReader = bool (*)(const std::string&, Scene&, std::vector<std::string>&, std::string&);

// Reads path with read and with the library and compares: the same report and the same dump,
// byte for byte where relative is 0, numbers within relative otherwise. A file the reader leaves
// must leave with the reason declined and an empty scene.
inline void ExpectTheLibrarysScene(const std::string& path, const char* declined, PathReader read,
                                   double relative = 0) {
    SCOPED_TRACE(path);
    Scene fast, library;
    fast.ClearScene();
    library.ClearScene();
    std::vector<std::string> fastReport, libraryReport;
    std::string why;
    const bool taken = read(path, fast, fastReport, why);
    EXPECT_EQ(taken, declined == nullptr) << why;
    if (!taken) {
        if (declined) {
            EXPECT_EQ(why, declined);
        }
        EXPECT_TRUE(fast.m_objects.empty() && fast.m_materials.empty());
        return;
    }
    ASSERT_EQ(ReadWithLibrary(path, library, libraryReport), ChildStatus::Scene);
    EXPECT_EQ(fastReport, libraryReport);
    const std::string fastDump = DumpSceneJson(fast), libraryDump = DumpSceneJson(library);
    // Read again as the import child reads, telling the scene before its objects (some readers
    // then cut objects as they join vertices): the same scene, announced once.
    Scene told;
    told.ClearScene();
    std::vector<std::string> toldReport;
    int announced = 0;
    SetSceneAnnouncer([&announced](const Scene&) { ++announced; });
    const bool toldTaken = read(path, told, toldReport, why);
    SetSceneAnnouncer(nullptr);
    EXPECT_TRUE(toldTaken) << why;
    EXPECT_LE(announced, 1);
    EXPECT_EQ(toldReport, fastReport);
    EXPECT_EQ(DumpSceneJson(told), fastDump);
    if (relative == 0) {
        EXPECT_EQ(fastDump, libraryDump);
        return;
    }
    EXPECT_EQ(FirstDifference(nlohmann::json::parse(fastDump), nlohmann::json::parse(libraryDump),
                              relative),
              "");
}

}  // namespace fastreaders
