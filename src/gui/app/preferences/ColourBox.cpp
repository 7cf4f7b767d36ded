#include "app/preferences/ColourBox.h"

#include "app/FontDescription.h"
#include "widgets/GuiColours.h"

#include <QPixmap>

namespace {
const char* const StandardColours[] = {
    "clBlack", "clMaroon", "clGreen",      "clOlive",   "clNavy",   "clPurple",  "clTeal",
    "clGray",  "clSilver", "clRed",        "clLime",    "clYellow", "clBlue",    "clFuchsia",
    "clAqua",  "clWhite",  "clMoneyGreen", "clSkyBlue", "clCream",  "clMedGray",
};
} // namespace

ColourBox::ColourBox(const QString& objectName, QWidget* parent) : QComboBox(parent) {
    setObjectName(objectName);
    for (const char* name : StandardColours) {
        const QString text = QLatin1String(name);
        if (const std::optional<Colour> colour = ColourFromName(text))
            addColour(*colour, text.mid(2));
    }
}

void ColourBox::setColour(Colour colour) {
    int index = findData(uint(colour));
    if (index < 0) {
        addColour(colour, ColourToName(colour));
        index = count() - 1;
    }
    setCurrentIndex(index);
}

Colour ColourBox::colour() const {
    return Colour(currentData().toUInt());
}

void ColourBox::addColour(Colour colour, const QString& name) {
    QPixmap swatch(16, 16);
    swatch.fill(ColourToQColor(colour, palette()));
    addItem(QIcon(swatch), name, uint(colour));
}
