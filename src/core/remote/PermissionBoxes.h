#pragma once

#include <QString>

#include <array>

// The chmod dialog's nine boxes: Owner, Group, Public, each Read, Write,
// Execute. The mode is their sum as the three octal digits read in decimal.
struct PermissionBoxes {
    std::array<bool, 9> checked{};

    // From a listing's attributes, "-rwxr-x---": characters 2 to 10; any
    // other letter, or a shorter text, leaves its box unchecked.
    static PermissionBoxes FromAttributes(const QString& attributes);
    // 750 for rwxr-x---; 0 when nothing is checked.
    int Mode() const;
    // The mode as the dialog's panel and "SITE CHMOD" show it: "750", "44", "0".
    QString ModeText() const { return QString::number(Mode()); }
};
