// Korvane.ini and the other INI files as a user may edit them by hand. Every
// read is tried, then one write: it must change exactly the value written.
#include "FuzzSupport.h"
#include "app/IniFile.h"

#include <QMap>

namespace {

using Snapshot = QMap<QByteArray, QList<std::pair<QByteArray, QByteArray>>>;

Snapshot Take(const IniFile& ini) {
    Snapshot snapshot;
    for (const QByteArray& section : ini.sectionNames())
        snapshot.insert(section.toLower(), ini.readSectionEntries(section));
    return snapshot;
}

// The file's own trimming: blanks and tabs, not every white space.
QByteArray Trimmed(QByteArray text) {
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove(0, 1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = WriteInputFile(QStringLiteral("Korvane.ini"), InputBytes(data, size));
    IniFile ini(path);
    FUZZ_CHECK(ini.isReadable());
    const Snapshot before = Take(ini);
    QByteArray section = "_Main_";
    QByteArray key = "Fuzzed";
    for (const QByteArray& name : ini.sectionNames()) {
        const QList<QByteArray> keys = ini.readSection(name);
        for (const QByteArray& k : keys) {
            int number = 0;
            (void)ini.readInteger(name, k, 7);
            (void)ini.readBool(name, k, true);
            (void)ini.readString(name, k);
            (void)IniFile::ParseInteger(ini.readValue(name, k), number);
            FUZZ_CHECK(ini.keyExists(name, k));
        }
        FUZZ_CHECK(ini.sectionExists(name));
        section = name;
        if (!keys.isEmpty())
            key = keys.last();
    }

    const QByteArray value = "v=1;x";
    if (!ini.writeValue(section, key, value))
        return 0; // a name the file cannot hold as written
    IniFile reread(path);
    FUZZ_CHECK(reread.readValue(section, key) == value);
    Snapshot expected = before;
    auto& entries = expected[Trimmed(section).toLower()];
    bool replaced = false;
    for (auto& [k, v] : entries) {
        if (k.toLower() == Trimmed(key).toLower()) {
            v = value;
            replaced = true;
        }
    }
    if (!replaced)
        entries.append({Trimmed(key), value});
    FUZZ_CHECK(Take(reread) == expected);
    return 0;
}
