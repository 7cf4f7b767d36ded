// command.dat as a user may edit it: every reader of the table, then a save
// and a second load, which must give the commands back.
#include "FuzzSupport.h"
#include "commands/CommandTable.h"

namespace {

bool SameRecord(const CommandRecord& a, const CommandRecord& b) {
    return a.caption == b.caption && a.command == b.command && a.group == b.group &&
           a.subMenu == b.subMenu && a.shortcut == b.shortcut;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = WriteInputFile(QStringLiteral("command.dat"), InputBytes(data, size));
    (void)CommandTable::ReadNumbered(path, 40);
    (void)CommandTable::ReadImportRows(path, 40);

    CommandTable table;
    FUZZ_CHECK(table.LoadCommands(path).isEmpty());
    (void)table.groupList();
    for (const CommandRecord& r : table.records())
        (void)table.FindCommand(r.caption, r.group, r.subMenu);
    if (!table.SaveCommands(path).isEmpty())
        return 0;
    QList<CommandRecord> saved;
    for (const CommandRecord& r : table.records())
        if (r.exists())
            saved.append(r);
    CommandTable again;
    FUZZ_CHECK(again.LoadCommands(path).isEmpty());
    FUZZ_CHECK(again.records().size() == saved.size());
    for (qsizetype i = 0; i < saved.size(); ++i)
        FUZZ_CHECK(SameRecord(again.records().at(i), saved.at(i)));
    return 0;
}
