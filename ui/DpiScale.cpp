#include "ui/DpiScale.h"

#include <algorithm>

namespace DpiScale {

namespace {
constexpr int kGoImageSide = 80;
}

int Scale(int size, int dpi) {
    if (dpi <= 0) dpi = kBaseDpi;
    const long long scaled = static_cast<long long>(size) * dpi;
    const long long half = kBaseDpi / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kBaseDpi : -((-scaled + half) / kBaseDpi));
}

int GoImageSide(int dpi, int roomWidth, int roomHeight) {
    const int side = std::min({Scale(kGoImageSide, dpi), roomWidth, roomHeight});
    return std::max(side, 1);
}

}  // namespace DpiScale
