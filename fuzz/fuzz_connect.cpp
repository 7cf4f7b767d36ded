// The connect text of the command line: saved-site names, bare hosts,
// "ftp://" addresses and "host:user:pass:port:path", left and right.
#include "FuzzSupport.h"
#include "app/DataPaths.h"
#include "sites/CommandLineConnect.h"
#include "sites/PasswordScrambler.h"
#include "sites/SiteStorage.h"

namespace {

const SiteStorage& Sites() {
    static const SiteStorage storage = [] {
        const QString path = WriteInputFile(QStringLiteral("Korvane.ini"), {});
        SiteStorage s(path);
        SiteRecord home;
        home.name = QStringLiteral("home");
        home.host = QStringLiteral("127.0.0.1");
        home.user = QStringLiteral("me");
        home.password = QStringLiteral("pw");
        s.SaveSite(home);
        SiteRecord grouped = home;
        grouped.name = QStringLiteral("<work> [mirror]");
        grouped.port = QStringLiteral("2121");
        s.SaveSite(grouped);
        return s;
    }();
    return storage;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(InputBytes(data, size));
    const CommandLineConnections result =
        ParseCommandLineConnect(text, Sites(), QStringLiteral("guest@example.org"));
    if (result.right)
        FUZZ_CHECK(text.contains(u';'));
    // The program's arguments: "--" options out, the rest the connect text.
    const QStringList arguments = text.split(u' ');
    const QStringList kept = DataPaths::StripOptions(arguments);
    for (const QString& argument : kept)
        FUZZ_CHECK(!argument.startsWith(u"--"));
    (void)DataPaths::DataDirOption(arguments);
    (void)JoinConnectArguments(arguments);
    return 0;
}
