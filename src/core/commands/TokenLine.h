#pragma once

#include <QList>
#include <QString>

#include <utility>

// One part of a defined command while its tokens are filled in. Text put in
// (answers, names, owners, groups) is never searched for tokens again, so a
// file named "a%ob" or an answer holding "%d" goes out as it is.
class TokenLine {
public:
    explicit TokenLine(const QString& text) : m_segments{{text, false}} {}

    // A "%d" still to be answered: where it is and what it asks.
    struct Prompt {
        QString text;
        bool found = false;
    };
    // The first "%d" of the line. "%d[text]" asks "text" and the bracket
    // goes with the token; a bare "%d" (or one whose bracket never closes)
    // asks "Enter Parameters".
    Prompt FirstPrompt() const;
    // Puts answer in the place of the first "%d" with its bracket.
    void AnswerFirstPrompt(const QString& answer);

    bool contains(const QString& token) const;
    // The first occurrence of token in the line's own text becomes value.
    void replaceFirst(const QString& token, const QString& value);
    // "%1".."%20" in ascending order, each first occurrence once; an answer
    // not given is empty. So "%10" takes answer 1 followed by "0".
    void FillNumberedAnswers(const QStringList& answers);
    bool hasEntryTokens() const;
    // The first "%f", "%o" and "%g" take one entry's name, owner and group.
    void FillEntry(const QString& name, const QString& owner, const QString& group);

    QString text() const;

    static constexpr int MaxAnswers = 20;
    static inline const QString DefaultPrompt = QStringLiteral("Enter Parameters");

private:
    struct Segment {
        QString text;
        bool filled; // put in by us: not searched
    };
    // The first own occurrence of token: segment and position, or -1.
    std::pair<qsizetype, qsizetype> find(const QString& token) const;
    // The prompt text of a "%d" at pos in segment s, and the token's length.
    static std::pair<QString, qsizetype> promptAt(const QString& s, qsizetype pos);
    void replaceAt(qsizetype segment, qsizetype pos, qsizetype length, const QString& value);

    QList<Segment> m_segments;
};
