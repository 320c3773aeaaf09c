#include "scene/Matrix4.h"

#include <cmath>
#include <utility>

Matrix4 IdentityMatrix() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix4 MultiplyMatrices(const Matrix4& a, const Matrix4& b) {
    Matrix4 product{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += static_cast<double>(a[4 * k + row]) * static_cast<double>(b[4 * column + k]);
            product[4 * column + row] = static_cast<float>(sum);
        }
    return product;
}

bool InvertMatrix(const Matrix4& m, Matrix4& inverse) {
    // Gauss-Jordan elimination with the largest pivot of each column.
    double a[4][8];
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            a[row][column] = static_cast<double>(m[4 * column + row]);
            a[row][4 + column] = row == column ? 1.0 : 0.0;
        }
    double largest = 0;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            largest = std::fmax(largest, std::fabs(a[row][column]));
    if (!(largest > 0) || !std::isfinite(largest)) return false;
    for (int column = 0; column < 4; ++column) {
        int pivot = column;
        for (int row = column + 1; row < 4; ++row)
            if (std::fabs(a[row][column]) > std::fabs(a[pivot][column])) pivot = row;
        // A pivot this small next to the matrix's largest element leaves no usable inverse.
        if (std::fabs(a[pivot][column]) <= largest * 1e-12) return false;
        for (int k = 0; k < 8; ++k)
            std::swap(a[column][k], a[pivot][k]);
        const double scale = 1.0 / a[column][column];
        for (int k = 0; k < 8; ++k)
            a[column][k] *= scale;
        for (int row = 0; row < 4; ++row) {
            if (row == column || a[row][column] == 0) continue;
            const double factor = a[row][column];
            for (int k = 0; k < 8; ++k)
                a[row][k] -= factor * a[column][k];
        }
    }
    Matrix4 result{};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            result[4 * column + row] = static_cast<float>(a[row][4 + column]);
    if (!IsFiniteMatrix(result)) return false;
    inverse = result;
    return true;
}

std::array<float, 3> TransformPoint(const Matrix4& m, const std::array<float, 3>& p) {
    std::array<float, 3> out{};
    for (int row = 0; row < 3; ++row)
        out[row] = static_cast<float>(
            static_cast<double>(m[row]) * p[0] + static_cast<double>(m[4 + row]) * p[1] +
            static_cast<double>(m[8 + row]) * p[2] + static_cast<double>(m[12 + row]));
    return out;
}

bool IsFiniteMatrix(const Matrix4& m) {
    for (float v : m)
        if (!std::isfinite(v)) return false;
    return true;
}
