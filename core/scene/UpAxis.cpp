#include "scene/UpAxis.h"

#include <algorithm>
#include <cctype>

namespace {

// Each axis's turn as a permutation with signs: upright[i] = sign[i] * p[from[i]].
struct QuarterTurn {
    int from[3];
    int sign[3];
};

QuarterTurn TurnOf(UpAxis up) {
    switch (up) {
        case UpAxis::PlusY:  // (x, y, z) -> (x, -z, y): the model's front (+Z) faces -Y
            return {{0, 2, 1}, {1, -1, 1}};
        case UpAxis::MinusY:  // (x, y, z) -> (x, z, -y)
            return {{0, 2, 1}, {1, 1, -1}};
        case UpAxis::PlusX:  // (x, y, z) -> (-z, y, x)
            return {{2, 1, 0}, {-1, 1, 1}};
        case UpAxis::MinusX:  // (x, y, z) -> (z, y, -x)
            return {{2, 1, 0}, {1, 1, -1}};
        case UpAxis::MinusZ:  // (x, y, z) -> (x, -y, -z)
            return {{0, 1, 2}, {1, -1, -1}};
        case UpAxis::PlusZ:
            break;
    }
    return {{0, 1, 2}, {1, 1, 1}};
}

template <class Number>
std::array<Number, 3> Turned(UpAxis up, const std::array<Number, 3>& p) {
    const QuarterTurn t = TurnOf(up);
    std::array<Number, 3> q{};
    for (int i = 0; i < 3; ++i)
        q[i] = (t.sign[i] < 0 ? -p[t.from[i]] : p[t.from[i]]) + Number{0};
    return q;
}

}  // namespace

std::array<float, 3> TurnedUpright(UpAxis up, const std::array<float, 3>& p) {
    return Turned(up, p);
}

std::array<double, 3> TurnedUpright(UpAxis up, const std::array<double, 3>& p) {
    return Turned(up, p);
}

std::array<double, 3> TurnedBack(UpAxis up, const std::array<double, 3>& p) {
    // The turn is a signed permutation: its inverse puts each coordinate back where it came from.
    const QuarterTurn t = TurnOf(up);
    std::array<double, 3> q{};
    for (int i = 0; i < 3; ++i)
        q[t.from[i]] = t.sign[i] < 0 ? -p[i] : p[i];
    return q;
}

std::array<float, 16> UprightMatrix(UpAxis up, const std::array<float, 3>& centre) {
    const QuarterTurn t = TurnOf(up);
    std::array<float, 16> m{};
    m[15] = 1.0f;
    // Row i takes coordinate from[i]: in column order, element (i, from[i]) is at from[i] * 4 + i.
    for (int i = 0; i < 3; ++i)
        m[static_cast<size_t>(t.from[i] * 4 + i)] = static_cast<float>(t.sign[i]);
    // centre + R (p - centre): the translation is centre - R centre.
    const std::array<float, 3> turned = Turned(up, centre);
    for (int i = 0; i < 3; ++i)
        m[static_cast<size_t>(12 + i)] =
            centre[static_cast<size_t>(i)] - turned[static_cast<size_t>(i)];
    return m;
}

std::optional<UpAxis> UpAxisNamed(const std::string& name) {
    std::string key;
    for (char c : name)
        key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (key.size() == 2 && key[0] == '+') key.erase(0, 1);
    static const std::pair<const char*, UpAxis> kNames[] = {
        {"z", UpAxis::PlusZ}, {"y", UpAxis::PlusY},   {"-y", UpAxis::MinusY},
        {"x", UpAxis::PlusX}, {"-x", UpAxis::MinusX}, {"-z", UpAxis::MinusZ},
    };
    for (const auto& [text, up] : kNames)
        if (key == text) return up;
    return std::nullopt;
}

bool IsUpAxis(int32_t value) {
    return value >= 0 && value <= 5;
}
