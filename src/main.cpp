#include "app/App.h"
#include "app/DataPaths.h"
#include "app/KorvaneApplication.h"
#include "app/MainWindow.h"
#include "app/QtDesktopServices.h"
#include "app/QtUserPrompts.h"

int main(int argc, char* argv[]) {
    KorvaneApplication application(argc, argv);
    KorvaneApplication::setApplicationName(QString::fromLatin1(App::Title));
    KorvaneApplication::setOrganizationName(QString::fromLatin1(App::Title));

    QtDesktopServices services;
    QtUserPrompts prompts;
    App app(DataPaths::ForApplication(), services, prompts);
    application.setErrorSink([&app](const QString& className, const QString& message) {
        app.ReportUnhandledError(className, message);
    });

    MainWindow window(app);
    prompts.setParentWindow(&window);
    window.show();
    const int code = KorvaneApplication::exec();
    KorvaneApplication::setApplicationName(QString::fromLatin1(App::Title));
    return code;
}
