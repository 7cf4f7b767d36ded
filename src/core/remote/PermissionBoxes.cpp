#include "remote/PermissionBoxes.h"

namespace {
constexpr char Letters[] = "rwx";
constexpr int Weights[] = {400, 200, 100, 40, 20, 10, 4, 2, 1};
} // namespace

PermissionBoxes PermissionBoxes::FromAttributes(const QString& attributes) {
    PermissionBoxes boxes;
    for (int i = 0; i < 9; ++i) {
        const int at = i + 1;
        boxes.checked[size_t(i)] =
            at < attributes.size() && attributes.at(at) == QLatin1Char(Letters[i % 3]);
    }
    return boxes;
}

int PermissionBoxes::Mode() const {
    int mode = 0;
    for (size_t i = 0; i < checked.size(); ++i)
        if (checked[i])
            mode += Weights[i];
    return mode;
}
