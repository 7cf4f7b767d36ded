#include "commands/TokenLine.h"

namespace {

const QString PromptToken = QStringLiteral("%d");

} // namespace

std::pair<qsizetype, qsizetype> TokenLine::find(const QString& token) const {
    for (qsizetype s = 0; s < m_segments.size(); ++s) {
        if (m_segments.at(s).filled)
            continue;
        const qsizetype pos = m_segments.at(s).text.indexOf(token);
        if (pos >= 0)
            return {s, pos};
    }
    return {-1, -1};
}

std::pair<QString, qsizetype> TokenLine::promptAt(const QString& s, qsizetype pos) {
    const qsizetype open = pos + PromptToken.size();
    if (open < s.size() && s.at(open) == QLatin1Char('[')) {
        const qsizetype close = s.indexOf(QLatin1Char(']'), open + 1);
        if (close > open)
            return {s.mid(open + 1, close - open - 1), close + 1 - pos};
    }
    return {DefaultPrompt, PromptToken.size()};
}

TokenLine::Prompt TokenLine::FirstPrompt() const {
    const auto [s, pos] = find(PromptToken);
    if (s < 0)
        return {};
    return {promptAt(m_segments.at(s).text, pos).first, true};
}

void TokenLine::AnswerFirstPrompt(const QString& answer) {
    const auto [s, pos] = find(PromptToken);
    if (s < 0)
        return;
    replaceAt(s, pos, promptAt(m_segments.at(s).text, pos).second, answer);
}

bool TokenLine::contains(const QString& token) const {
    return find(token).first >= 0;
}

void TokenLine::replaceFirst(const QString& token, const QString& value) {
    const auto [s, pos] = find(token);
    if (s >= 0)
        replaceAt(s, pos, token.size(), value);
}

void TokenLine::replaceAt(qsizetype segment, qsizetype pos, qsizetype length,
                          const QString& value) {
    const QString own = m_segments.at(segment).text;
    QList<Segment> parts;
    if (pos > 0)
        parts.append({own.left(pos), false});
    parts.append({value, true});
    if (pos + length < own.size())
        parts.append({own.mid(pos + length), false});
    m_segments.remove(segment);
    for (qsizetype i = 0; i < parts.size(); ++i)
        m_segments.insert(segment + i, parts.at(i));
}

void TokenLine::FillNumberedAnswers(const QStringList& answers) {
    for (int k = 1; k <= MaxAnswers; ++k)
        replaceFirst(QLatin1Char('%') + QString::number(k), answers.value(k - 1));
}

bool TokenLine::hasEntryTokens() const {
    return contains(QStringLiteral("%f")) || contains(QStringLiteral("%o")) ||
           contains(QStringLiteral("%g"));
}

void TokenLine::FillEntry(const QString& name, const QString& owner, const QString& group) {
    replaceFirst(QStringLiteral("%f"), name);
    replaceFirst(QStringLiteral("%o"), owner);
    replaceFirst(QStringLiteral("%g"), group);
}

QString TokenLine::text() const {
    QString joined;
    for (const Segment& segment : m_segments)
        joined += segment.text;
    return joined;
}
