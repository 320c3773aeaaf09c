// Which way a model's up axis points, and the quarter turns that stand it upright: the scene's
// own up is +Z. A reader turns the points of a format that says its up (glTF's +Y); the view
// turns a scene whose user chose an up the format did not say (a +Y model in OFF lies down).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The values are what the scene file's extension block keeps.
enum class UpAxis : int32_t { PlusZ = 0, PlusY = 1, MinusY = 2, PlusX = 3, MinusX = 4, MinusZ = 5 };

// p turned so that up points along +Z. The turn moves and negates coordinates instead of
// multiplying, so that a coordinate that is not a number stays in its place instead of spreading
// to the others. Zeros come out positive, as from a product.
std::array<float, 3> TurnedUpright(UpAxis up, const std::array<float, 3>& p);
std::array<double, 3> TurnedUpright(UpAxis up, const std::array<double, 3>& p);
// The turn undone: a point of the upright scene back in the model's own coordinates.
std::array<double, 3> TurnedBack(UpAxis up, const std::array<double, 3>& p);

// The 4 x 4 matrix, column by column as OpenGL takes it, that turns the model upright about
// centre (which stays where it is).
std::array<float, 16> UprightMatrix(UpAxis up, const std::array<float, 3>& centre);

// The axis a command line names ("z", "+y", "-x", in any case), or none.
std::optional<UpAxis> UpAxisNamed(const std::string& name);
// Whether value is one of the enumerators (a file's value is checked before it is taken).
bool IsUpAxis(int32_t value);
