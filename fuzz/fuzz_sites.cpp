// Saved sites (Korvane.ini) and per-site statistics (Stats.dat) as found on
// disk: scrambled passwords, the "_Sites_" index, section names with the
// 0xFE/0xFF brackets, notes.
#include "FuzzSupport.h"
#include "sites/SiteStats.h"
#include "sites/SiteStorage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = InputBytes(data, size);
    const QString path = WriteInputFile(QStringLiteral("Korvane.ini"), bytes);
    const SiteStorage storage(path);
    SiteStats stats(path);
    const QStringList names = storage.SiteNames();
    FUZZ_CHECK(names.size() <= SiteStorage::MaxSites);
    int loaded = 0;
    for (const QString& name : names) {
        if (++loaded > 64)
            break;
        const SiteRecord site = storage.LoadSite(name);
        FUZZ_CHECK(site.problem.isEmpty() || site.password.isEmpty());
        (void)storage.HostOf(name);
        (void)stats.Read(name, QLocale::c());
        // A name survives the trip through its section name.
        FUZZ_CHECK(SiteDisplayName(SiteSectionName(name)) == name);
        (void)DecodeNotes(EncodeNotes(site.notes));
    }
    (void)stats.Read(QStringLiteral("Total"), QLocale::c());
    const QString text = QString::fromUtf8(bytes);
    FUZZ_CHECK(SiteDisplayName(SiteSectionName(text)) == text);
    return 0;
}
