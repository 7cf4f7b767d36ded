#include "sites/CommandLineConnect.h"

#include "app/DataPaths.h"
#include "sites/SiteStorage.h"

namespace {

const QString FtpPrefix = QStringLiteral("ftp://");

// Empty is the default port; anything else must be a usable port number.
bool ReadPort(QString& port, QString* reason) {
    port = port.trimmed();
    if (port.isEmpty()) {
        port = QStringLiteral("21");
        return true;
    }
    bool ok = false;
    const uint number = port.toUInt(&ok);
    if (!ok || number < 1 || number > 65535) {
        *reason = QStringLiteral("\"%1\" is not a port number from 1 to 65535").arg(port);
        return false;
    }
    port = QString::number(number);
    return true;
}

// "user:password@host[:port][/path]", the text after "ftp://".
bool ReadFtpAddress(const QString& rest, ConnectRequest& request, QString* reason) {
    const qsizetype at = rest.indexOf(QLatin1Char('@'));
    if (at < 0) {
        *reason = QStringLiteral("no \"@\" after the user name and password");
        return false;
    }
    const QString login = rest.left(at);
    const qsizetype colon = login.indexOf(QLatin1Char(':'));
    request.user = colon < 0 ? login : login.left(colon);
    request.password = colon < 0 ? QString() : login.mid(colon + 1);

    const QString location = rest.mid(at + 1);
    const qsizetype slash = location.indexOf(QLatin1Char('/'));
    const QString hostPort = slash < 0 ? location : location.left(slash);
    request.path = slash < 0 ? QString() : location.mid(slash);
    const qsizetype portColon = hostPort.indexOf(QLatin1Char(':'));
    request.host = portColon < 0 ? hostPort : hostPort.left(portColon);
    request.port = portColon < 0 ? QString() : hostPort.mid(portColon + 1);
    if (request.host.isEmpty()) {
        *reason = QStringLiteral("no host name after \"@\"");
        return false;
    }
    return ReadPort(request.port, reason);
}

// "host:user:password:port:path", the path taking the rest.
bool ReadColonFields(const QString& text, ConnectRequest& request, QString* reason) {
    QStringList fields = text.split(QLatin1Char(':'));
    while (fields.size() > 5)
        fields[4] += QLatin1Char(':') + fields.takeAt(5);
    fields.resize(5);
    request.host = fields[0];
    request.user = fields[1];
    request.password = fields[2];
    request.port = fields[3];
    request.path = fields[4];
    if (request.host.isEmpty()) {
        *reason = QStringLiteral("no host name before the first \":\"");
        return false;
    }
    return ReadPort(request.port, reason);
}

struct PartResult {
    std::optional<ConnectRequest> request;
    QString error;
    QString warning;
};

PartResult ReadPart(const QString& part, const SiteStorage& sites, const QString& email) {
    PartResult result;
    if (part.isEmpty())
        return result;
    if (!sites.HostOf(part).isEmpty()) {
        const SiteRecord site = sites.LoadSite(part);
        result.request = site.connectRequest();
        result.warning = site.problem;
        return result;
    }

    ConnectRequest request;
    QString reason;
    bool ok = true;
    if (!part.contains(QLatin1Char(':'))) {
        request.host = part;
    } else if (part.startsWith(FtpPrefix, Qt::CaseInsensitive)) {
        ok = ReadFtpAddress(part.mid(FtpPrefix.size()), request, &reason);
    } else if (part.contains(FtpPrefix, Qt::CaseInsensitive)) {
        ok = false;
        reason = QStringLiteral("\"ftp://\" must begin the address");
    } else {
        ok = ReadColonFields(part, request, &reason);
    }
    if (!ok) {
        result.error =
            QStringLiteral("Command line: cannot read the address \"%1\": %2.").arg(part, reason);
        return result;
    }
    // As in quick connect: no user name means an anonymous login.
    if (request.user.isEmpty()) {
        request.user = QStringLiteral("anonymous");
        request.password = email;
    }
    request.displayName = request.host;
    result.request = request;
    return result;
}

} // namespace

QString JoinConnectArguments(const QStringList& arguments) {
    return DataPaths::StripOptions(arguments).join(QString());
}

CommandLineConnections ParseCommandLineConnect(const QString& text, const SiteStorage& sites,
                                               const QString& email) {
    CommandLineConnections connections;
    const qsizetype semicolon = text.indexOf(QLatin1Char(';'));
    const QString leftPart = semicolon < 0 ? text : text.left(semicolon);
    const QString rightPart = semicolon < 0 ? QString() : text.mid(semicolon + 1);

    for (const auto& [part, target] :
         {std::pair{leftPart, &connections.left}, std::pair{rightPart, &connections.right}}) {
        PartResult result = ReadPart(part, sites, email);
        if (!result.warning.isEmpty())
            connections.warnings.append(result.warning);
        if (!result.error.isEmpty()) {
            connections.error = result.error;
            break;
        }
        *target = result.request;
    }
    return connections;
}
