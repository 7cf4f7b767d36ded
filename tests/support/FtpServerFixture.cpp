#include "FtpServerFixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

QString supportDir() {
    const QByteArray fromEnv = qgetenv("KORVANE_TEST_SUPPORT_DIR");
    return fromEnv.isEmpty() ? QStringLiteral(KORVANE_TEST_SUPPORT_DIR)
                             : QString::fromLocal8Bit(fromEnv);
}

} // namespace

FtpServerFixture::FtpServerFixture(Slot slot) : m_slot(slot) {}

FtpServerFixture::~FtpServerFixture() {
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
    // Qt cannot name files whose names are not UTF-8; the file system library can.
    if (m_root) {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(m_root->path().toStdString()), ignored);
    }
}

bool FtpServerFixture::start() {
    const char* variable = m_slot == Slot::A ? "KORVANE_TEST_FTP_A" : "KORVANE_TEST_FTP_B";
    const QByteArray external = qgetenv(variable);
    if (!external.isEmpty()) {
        const QUrl url(QString::fromUtf8(external));
        if (!url.isValid() || url.scheme() != QLatin1String("ftp")) {
            m_error = QStringLiteral("%1 is not an ftp:// URL").arg(QLatin1String(variable));
            return false;
        }
        m_external = true;
        m_host = url.host();
        m_port = quint16(url.port(21));
        m_user = url.userName();
        m_password = url.password();
        m_baseDir = url.path().isEmpty() ? QStringLiteral("/") : url.path();
        return true;
    }

    m_root = std::make_unique<QTemporaryDir>();
    if (!m_root->isValid()) {
        m_error = QStringLiteral("no temporary directory for the server root");
        return false;
    }
    m_host = m_listenHost;
    m_user = QStringLiteral("korvane");
    m_password = QStringLiteral("secret");
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->start(QStringLiteral("/usr/bin/python3"),
                     {supportDir() + QStringLiteral("/ftpserver.py"), QStringLiteral("--root"),
                      m_root->path(), QStringLiteral("--user"), m_user,
                      QStringLiteral("--password"), m_password, QStringLiteral("--host"),
                      m_host});
    if (!m_process->waitForStarted(10000)) {
        m_error = QStringLiteral("could not start /usr/bin/python3: ") + m_process->errorString();
        return false;
    }
    QDeadlineTimer deadline(20000);
    QByteArray output;
    while (!deadline.hasExpired()) {
        if (!m_process->canReadLine() &&
            !m_process->waitForReadyRead(int(deadline.remainingTime()))) {
            if (m_process->state() == QProcess::NotRunning)
                break;
            continue;
        }
        const QByteArray line = m_process->readLine().trimmed();
        if (line.startsWith("PORT ")) {
            m_port = quint16(line.mid(5).toUInt());
            return m_port != 0;
        }
        output += line + '\n';
    }
    m_error = QStringLiteral("pyftpdlib did not start: ") + QString::fromLocal8Bit(output) +
              QString::fromLocal8Bit(m_process->readAllStandardError());
    return false;
}

QString FtpServerFixture::rootPath() const {
    return m_root ? m_root->path() : QString();
}

bool FtpServerFixture::putFile(const QString& relativePath, const QByteArray& content) const {
    if (!m_root)
        return false;
    const QString path = m_root->filePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray FtpServerFixture::readFile(const QString& relativePath) const {
    if (!m_root)
        return {};
    QFile file(m_root->filePath(relativePath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray FtpServerFixture::readFileBytes(const QByteArray& relativePath) const {
    if (!m_root)
        return {};
    const std::string path = m_root->path().toStdString() + '/' + relativePath.toStdString();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    const std::string content((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    return QByteArray::fromStdString(content);
}
