#include "app/App.h"
#include "app/DataPaths.h"
#include "app/KorvaneApplication.h"
#include "app/MainWindow.h"
#include "app/QtDesktopServices.h"
#include "app/QtUserPrompts.h"
#include "batch/BatchOptions.h"
#include "batch/BatchPrompts.h"
#include "batch/BatchRun.h"

#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

void Print(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char* argv[]) {
    // --help and --version answer before Qt looks for a display, so they work
    // where there is none (a terminal over ssh, a build machine). Errors wait
    // for Qt to take its own options ("-platform", "--platform") out.
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    const BatchOptions early = BatchOptions::Parse(rawArguments);
    if (early.help) {
        std::fputs(UsageText().toLocal8Bit().constData(), stdout);
        Print(stdout, QStringLiteral(
                          "\nSettings, sites, statistics and logs live in the data folder: the\n"
                          "program's own folder when it can write there, otherwise\n"
                          "~/.config/Korvane/Korvane (or --data-dir). \"man korvane\" says more."));
        return 0;
    }
    if (early.version) {
        Print(stdout, QStringLiteral("Korvane " KORVANE_VERSION));
        return 0;
    }

    KorvaneApplication application(argc, argv);
    KorvaneApplication::setApplicationName(QString::fromLatin1(App::Title));
    KorvaneApplication::setOrganizationName(QString::fromLatin1(App::Title));
    KorvaneApplication::setApplicationVersion(QStringLiteral(KORVANE_VERSION));
    // Ties the windows to the desktop entry (Wayland takes the icon from it).
    KorvaneApplication::setDesktopFileName(QStringLiteral("org.korvane.Korvane"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/korvane-%1.png").arg(size), QSize(size, size));
    KorvaneApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("korvane"), icon));

    const BatchOptions options = BatchOptions::Parse(KorvaneApplication::arguments().mid(1));
    auto printOut = [](const QString& text) { Print(stdout, text); };
    auto printError = [](const QString& text) { Print(stderr, text); };
    if (!options.error.isEmpty()) {
        printError(QStringLiteral("korvane: ") + options.error + QStringLiteral(" (see --help)"));
        return 2;
    }

    QtDesktopServices services;
    QtUserPrompts windowPrompts;
    BatchPrompts batchPrompts(printError);
    UserPrompts& prompts = options.active() ? static_cast<UserPrompts&>(batchPrompts)
                                            : static_cast<UserPrompts&>(windowPrompts);
    App app(DataPaths::ForApplication(), services, prompts);
    application.setErrorSink([&app](const QString& className, const QString& message) {
        app.ReportUnhandledError(className, message);
    });

    std::unique_ptr<BatchRun> batch;
    if (options.active()) {
        app.setBatchMode(true);
        // The batch run connects by itself, once the window is up.
        app.setCommandLine({});
        batch = std::make_unique<BatchRun>(app, options, printOut, printError);
        QObject::connect(batch.get(), &BatchRun::exitRequested, &application, [](int code) {
            // Leave whatever wait is on the stack first.
            QTimer::singleShot(0, [code] { KorvaneApplication::exit(code); });
        });
    }

    MainWindow window(app);
    windowPrompts.setParentWindow(&window);
    window.show();
    // Nobody sees an offscreen window: an unattended run spends no time painting it.
    if (batch && KorvaneApplication::platformName() == QLatin1String("offscreen"))
        window.setUpdatesEnabled(false);
    if (batch)
        QTimer::singleShot(0, batch.get(),
                           [&app, &batch] { app.RunGuarded([&batch] { batch->start(); }); });
    int code = KorvaneApplication::exec();
    KorvaneApplication::setApplicationName(QString::fromLatin1(App::Title));
    // A batch run whose window was closed before the run ended did not succeed.
    if (batch && !batch->done()) {
        printError(QStringLiteral("korvane: the program was closed before the run ended"));
        code = 1;
    }
    return code;
}
