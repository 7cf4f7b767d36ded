#pragma once

#include "app/Colour.h"

#include <QComboBox>

// A drop-down of the named colours with a swatch each. A stored colour that
// has no name is added as its own item, so it survives the dialog unchanged.
class ColourBox : public QComboBox {
    Q_OBJECT
public:
    explicit ColourBox(const QString& objectName, QWidget* parent = nullptr);

    void setColour(Colour colour);
    Colour colour() const;

private:
    void addColour(Colour colour, const QString& name);
};
