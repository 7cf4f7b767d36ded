#include "app/App.h"

#include "app/DesktopServices.h"
#include "app/ProgramFiles.h"
#include "app/UserPrompts.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"
#include "services/VersionAnswer.h"
#include "sites/CommandLineConnect.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <exception>
#include <limits>

namespace {

constexpr int StatusMaxRemove = 15;
// The network stack's description line, without its "Description= " label.
constexpr int DescriptionOffset = 13;
constexpr int DescriptionLength = 100;

} // namespace

App::App(DataPaths paths, DesktopServices& services, UserPrompts& prompts, QObject* parent)
    : QObject(parent), m_paths(std::move(paths)), m_services(services), m_prompts(prompts),
      m_store(m_paths), m_siteStats(m_paths.filePath(QStringLiteral("Stats.dat"))),
      m_statusLog(services, this), m_errorLog(m_statusLog),
      m_left(new Side(SideId::Left, this)), m_right(new Side(SideId::Right, this)),
      m_connections(new ConnectionLifecycle(*this, this)) {
    m_commandLine = QCoreApplication::arguments().mid(1);
    m_identServer.System = QStringLiteral("UNIX");
    connect(&m_identServer, &IdentServer::identRequested, this, [this](const QString& peer) {
        m_statusLog.AddStatusLine(QStringLiteral("Ident Request: ") + peer, clFuchsia);
    });
    connect(&m_identServer, &IdentServer::errorOccurred, this,
            [this](const QString& message) { m_statusLog.AddStatusLine(message, clRed); });
    m_transferTimer.setObjectName(QStringLiteral("TransferTimer"));
    m_transferTimer.setInterval(1000);
    m_statusLog.setDataDirectory(m_paths.directory());
    m_statusLog.setTransferTimer(&m_transferTimer);
    // Direct connections: the reset must stop the timer before the error
    // handling of the same line looks at it.
    connect(&m_statusLog, &StatusLog::transferDisplayResetRequested, this,
            &App::resetTransferDisplay, Qt::DirectConnection);
    connect(&m_statusLog, &StatusLog::transferPanelsTextRequested, this,
            [this](const QString& text) {
                m_left->setStatusBarText(text);
                m_right->setStatusBarText(text);
            });
    connect(&m_statusLog, &StatusLog::titleChangeRequested, this, &App::setTitle);
    m_listing.attach();
    // "On Double Click" on a file queues the selection as "&Queue" does.
    connect(&m_navigation, &ListNavigation::fileActivated, this,
            [this](SideId side, int, bool start) {
                RunGuarded([this, side, start] {
                    m_queueAdding.AddToQueue(side, false, QueueAdding::Mode::SiteToSite);
                    if (start)
                        m_queueRunner.Transfer1Click();
                });
            });
    // The Delete key in a list deletes that list's selection.
    connect(&m_navigation, &ListNavigation::deleteRequested, this, [this](SideId side) {
        RunGuarded([this, side] { m_deletion.Delete1Click(side, false); });
    });
    // "^-> Dupe After": both sides refreshed by their idle timers.
    connect(m_connections, &ConnectionLifecycle::dupeFilterRequested, this,
            [this] { m_dupeFilter.RemoveDupes1Click(); });
    // A side that reconnected after a lost session resumes the stopped run.
    connect(m_connections, &ConnectionLifecycle::queueRestartRequested, this,
            [this](SideId) { RunGuarded([this] { m_queueRunner.Transfer1Click(); }); });
}

App::~App() {
    // The sessions' last events must not reach a half-destroyed App.
    delete m_connections;
    m_connections = nullptr;
}

QString App::RunningTitle() {
    return QStringLiteral("Korvane ") + ProgramVersion();
}

void App::create() {
    // Listings an earlier run cached are of no use to this one.
    DirectoryCache::RemoveStaleFiles();
    LoadSettings();
    m_customCommands.LoadCommands();
    for (Side* side : {m_left, m_right}) {
        side->setButtonVisible(SideButton::TwoDayFilterDupes, m_settings.all);
        side->setLocalPath(startFolder());
    }
}

WindowLayout App::show() {
    setTitle(RunningTitle());
    // The capacity is taken once, at start-up.
    m_statusLog.lines().setMaxRemove(StatusMaxRemove);
    m_statusLog.lines().setMaxRecords(m_settings.statusSize);
    const WindowLayout layout = m_store.ReadWindowLayout();
    const QStringList info = PumpingSocket::WSInfo();
    if (info.size() > 2)
        m_statusLog.AddStatusLine(info.at(2).mid(DescriptionOffset, DescriptionLength), clBlack);
    applyIdentSettings(nullptr);
    return layout;
}

void App::applyStatusLogOptions() {
    StatusLogOptions options;
    options.logging = m_settings.logging;
    options.logName = m_settings.logName;
    options.show214 = m_settings.show214;
    options.errorWav = m_settings.errorWav;
    options.errorSound = SoundKind(m_settings.errorSound);
    m_statusLog.setOptions(options);
}

void App::LoadSettings() {
    LoadedSettings loaded = m_store.LoadSettings();
    m_settings = loaded.settings;
    m_skipList = loaded.skipList;
    m_favourites = loaded.favourites;
    applyStatusLogOptions();
    applyListSettings();
    for (Side* side : {m_left, m_right}) {
        // A hand-edited huge value must not overflow the millisecond interval.
        const qint64 seconds =
            std::clamp(m_settings.idleTime, 1, std::numeric_limits<int>::max() / 1000);
        side->idleTimer().setInterval(int(seconds * 1000));
        if (m_settings.antiIdle)
            side->idleTimer().start();
        else
            side->idleTimer().stop();
    }
    Q_EMIT settingsLoaded();
}

void App::applyListSettings() {
    m_listSortOrder.column = SortColumn(std::clamp(m_settings.autoSort, 0, 5));
    m_listSortOrder.direction = m_settings.sort == 1 ? 1 : 0;
    m_listSortOrder.directoriesFirst = m_settings.directories == 0;
    m_navigation.ResetColumns(m_settings.owner, m_settings.group, m_settings.attrib);
    applyMarkColours();
}

void App::applyMarkColours() {
    const MarkColours colours{m_settings.skip, m_settings.skipColour, m_settings.favoritesColour};
    for (Side* side : {m_left, m_right})
        side->listing().setMarkColours(colours);
}

SkipOptions App::skipOptions() const {
    SkipOptions options;
    options.skip = m_settings.skip;
    options.skipNullFiles = m_settings.skipNullFiles;
    options.skipListAppliesToDirs = m_settings.skipListAppliesToDirs;
    options.favorites = m_settings.favorites;
    return options;
}

void App::setSkipActive(bool on) {
    m_settings.skip = on;
    applyMarkColours();
}

void App::applyPreferences(const Settings& before) {
    // Taken before reloading: `before` may be the settings themselves.
    const Settings previous = before;
    LoadSettings();
    // The local lists stay where the user took them unless the folder they
    // start in changed.
    if (previous.downloadDirectory != m_settings.downloadDirectory)
        for (Side* side : {m_left, m_right})
            side->setLocalPath(startFolder());
    applyIdentSettings(&previous);
}

void App::applyIdentSettings(const Settings* before) {
    m_identServer.User = m_settings.identdUser;
    // A server the user did not enable never listens.
    if (!m_settings.identdServer) {
        m_identServer.Stop();
        return;
    }
    if (!m_settings.identdOnly)
        m_identServer.Start();
    else if (before && !before->identdOnly)
        m_identServer.Stop();
}

SiteStorage App::siteStorage() const {
    return SiteStorage(m_store.iniPath());
}

QuickConnectHistory App::quickConnectHistory() const {
    return QuickConnectHistory(m_paths.filePath(QStringLiteral("History.dat")));
}


void App::setOnCompleteIdle(bool idle) {
    if (idle == m_settings.onCompleteIdle)
        return;
    m_settings.onCompleteIdle = idle;
    Q_EMIT onCompleteIdleChanged(idle);
}

std::array<bool, 2> App::RunCommandLineConnect(const QStringList& arguments) {
    const QString text = JoinConnectArguments(arguments);
    if (text.isEmpty())
        return {};
    const CommandLineConnections wanted =
        ParseCommandLineConnect(text, siteStorage(), m_settings.email);
    for (const QString& warning : wanted.warnings)
        m_statusLog.AddStatusLine(warning, clRed);
    if (!wanted.error.isEmpty())
        m_statusLog.AddStatusLine(wanted.error, clRed);
    if (wanted.left) {
        QCoreApplication::processEvents();
        m_connections->ConnectToSite(*wanted.left, SideId::Left);
    }
    if (wanted.right) {
        QCoreApplication::processEvents();
        m_connections->ConnectToSite(*wanted.right, SideId::Right);
    }
    return {wanted.left.has_value(), wanted.right.has_value()};
}

QString App::startFolder() const {
    const QString folder = m_settings.downloadDirectory.trimmed();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return QDir::cleanPath(folder);
    return QDir::tempPath();
}

bool App::CloseQuery() {
    if (!m_settings.exitEmptyQueue || queueIsEmpty())
        return true;
    m_services.beep();
    return m_prompts.confirm(QStringLiteral("Exit with non empty queue?"));
}

void App::Exit(const WindowLayout& layout) {
    m_closing = true;
    if (!m_batchMode)
        m_store.WriteWindowLayout(layout);
    // Shutdown never sends QUIT: the servers see the connection close.
    for (Side* side : {m_left, m_right}) {
        side->idleTimer().stop();
        if (side->session().isConnected())
            side->session().CloseSocket();
        side->rawListing().clear();
    }
}

void App::setActiveSide(SideId side) {
    if (side == m_activeSide)
        return;
    m_activeSide = side;
    Q_EMIT activeSideChanged(side);
}

void App::setTitle(const QString& title) {
    if (title == m_title)
        return;
    m_title = title;
    Q_EMIT titleChanged(title);
}

void App::ToggleAllOptions() {
    m_settings.all = !m_settings.all;
    m_store.WriteAll(m_settings.all);
    for (Side* side : {m_left, m_right})
        side->setButtonVisible(SideButton::TwoDayFilterDupes, m_settings.all);
    m_statusLog.AddStatusLine(m_settings.all ? QStringLiteral("-- Options Visible")
                                             : QStringLiteral("-- Options Hidden"),
                              clBlue);
    Q_EMIT allOptionsChanged(m_settings.all);
}

bool App::WriteToggle(const QByteArray& key, bool on) {
    if (bool Settings::*field = SettingsStore::BoolField(key))
        m_settings.*field = on;
    if (key == ToggleKey::AntiIdle) {
        for (Side* side : {m_left, m_right}) {
            if (on)
                side->idleTimer().start();
            else
                side->idleTimer().stop();
        }
    }
    return m_store.WriteToggle(key, on);
}

void App::Abort(SideId id) {
    m_connections->AbortClick(id);
}

void App::resetTransferDisplay() {
    m_transferTimer.stop();
    for (Side* side : {m_left, m_right}) {
        side->setStatusBarText(QString());
        side->setButtonImage(SideButton::Stop, StopImageIdle);
        side->setButtonEnabled(SideButton::Stop, false);
        side->state().Busy = false;
    }
}

QString App::whatsNewPath() const {
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString found = ProgramFiles::Find(programDir, QStringLiteral("whatsnew.txt"),
                                             QStringLiteral(KORVANE_DOCS_DIR));
    return found.isEmpty() ? QDir(programDir).filePath(QStringLiteral("whatsnew.txt")) : found;
}

QString App::helpPath() const {
    return ProgramFiles::Find(QCoreApplication::applicationDirPath(), QStringLiteral("help.html"),
                              QStringLiteral(KORVANE_DOCS_DIR));
}

void App::OpenWhatsNew() {
    const QString path = whatsNewPath();
    if (!QFileInfo::exists(path)) {
        m_services.beep();
        m_prompts.error(QStringLiteral("Unable to find the whatsnew.txt"));
        return;
    }
    m_services.openFile(path);
}

void App::OpenHelp() {
    const QString path = helpPath();
    if (path.isEmpty() || !m_services.openFile(path))
        m_statusLog.AddStatusLine(QStringLiteral("Unable to open the help file help.html"), clRed);
}

void App::StartNewSession() {
    m_services.startProgram(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("--data-dir"), m_paths.directory()});
}

void App::ReportUnhandledError(const QString& className, const QString& message) {
    m_errorLog.logUnhandledError(className, message);
}

void App::RunGuarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const NetError& e) {
        ReportUnhandledError(QString::fromLatin1(e.className()), e.message());
    } catch (const std::exception& e) {
        ReportUnhandledError(QStringLiteral("Exception"), QString::fromLocal8Bit(e.what()));
    }
}
