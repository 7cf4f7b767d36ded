#include "app/FontConversion.h"

#include "widgets/GuiColours.h"

#include <QFontInfo>
#include <QWidget>

QFont ToQFont(const FontDescription& desc, const QFont& base) {
    QFont font = base;
    if (!desc.family.isEmpty())
        font.setFamily(desc.family);
    if (desc.pointSize > 0)
        font.setPointSize(desc.pointSize);
    font.setBold(desc.bold);
    font.setItalic(desc.italic);
    font.setUnderline(desc.underline);
    font.setStrikeOut(desc.strikeout);
    return font;
}

FontDescription ToFontDescription(const QFont& font, QString colourName) {
    FontDescription desc;
    desc.family = font.family();
    desc.pointSize = font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF());
    // A pixel-sized font reports no point size; "-1" would not read back.
    if (desc.pointSize <= 0)
        desc.pointSize = QFontInfo(font).pointSize();
    if (desc.pointSize <= 0)
        desc.pointSize = FontDescription().pointSize;
    desc.bold = font.bold();
    desc.italic = font.italic();
    desc.underline = font.underline();
    desc.strikeout = font.strikeOut();
    desc.colour = std::move(colourName);
    return desc;
}

void ApplyFontDescription(QWidget* widget, const FontDescription& desc) {
    widget->setFont(ToQFont(desc, widget->font()));
    if (const auto colour = ColourFromName(desc.colour)) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Text, ColourToQColor(*colour, palette));
        widget->setPalette(palette);
    }
}
