#pragma once

#include "app/Colour.h"

#include <QList>
#include <QString>

// This program's version as the update server names it ("1.0.57 SR1").
QString ProgramVersion();

struct VersionAnswerLine {
    QString text;
    Colour colour;
    bool operator==(const VersionAnswerLine&) const = default;
};

// What the status window says about the update server's answer: the latest
// version, an answer that looks like a web page, or a newer version. Line
// ends after the version are not part of it.
QList<VersionAnswerLine> EvaluateVersionAnswer(const QString& answer,
                                               const QString& ownVersion = ProgramVersion());
