#pragma once

// Script steps that most tests with a FakeFtpServer begin with.
#include "FakeFtpServer.h"
#include "app/App.h"
#include "listing/ListingModel.h"

#include <QStringList>

// USER, PASS and SYST, each accepted.
inline void ScriptLogin(FakeFtpServer& fake) {
    fake.expect("USER", "331 password").expect("PASS", "230 in").expect("SYST", "215 UNIX");
}

// A login that ends in dir, as a site without an initial path shows it.
inline void ScriptLoginAt(FakeFtpServer& fake, const QByteArray& dir) {
    ScriptLogin(fake);
    fake.expect("PWD", "257 \"" + dir + "\"");
}

// A login again after a drop: back into the directory the side showed.
inline void ScriptReloginAt(FakeFtpServer& fake, const QByteArray& dir) {
    ScriptLogin(fake);
    fake.expect("CWD " + dir + "/", "250 ok");
    fake.expect("PWD", "257 \"" + dir + "\"");
}

// PWD naming dir, then a passive LIST answered with text: a side's refresh.
inline void ScriptPassiveList(FakeFtpServer& fake, const QByteArray& dir, const QByteArray& text) {
    fake.expect("PWD", "257 \"" + dir + "\" is current")
        .expect("TYPE A", "200 ok")
        .expect("PASV", FakeFtpServer::ReplyPassive)
        .expect("LIST", [text](FakeFtpServer& s, const QByteArray&) {
            s.send("150 here");
            s.sendData(text);
            s.send("226 done");
        });
}

// The app's left side logs in to the fake server with these site options.
inline void ConnectLeftToFake(App& app, const FakeFtpServer& fake,
                              const QString& options = QStringLiteral("20")) {
    app.connections().ConnectToSite({QStringLiteral("fake"), QStringLiteral("127.0.0.1"),
                                     QString::number(fake.port()), QStringLiteral("u"),
                                     QStringLiteral("p"), options, {}},
                                    SideId::Left);
}

// The left side logs in to one fake, the right side to the other.
inline void ConnectToFakes(App& app, const FakeFtpServer& left, const FakeFtpServer& right) {
    for (auto [fake, id] : {std::pair{&left, SideId::Left}, std::pair{&right, SideId::Right}})
        app.connections().ConnectToSite({QStringLiteral("fake"), QStringLiteral("127.0.0.1"),
                                         QString::number(fake->port()), QStringLiteral("u"),
                                         QStringLiteral("p"), QStringLiteral("00"), {}},
                                        id);
}

// The side's listing shows these files, each of this many bytes.
inline void ShowFiles(App& app, SideId id, const QStringList& names, qint64 size) {
    ListingModel& listing = app.side(id).listing();
    listing.beginListing();
    for (const QString& name : names)
        listing.AddListEntry(DirEntry{name, size, QString::number(size)});
    listing.endListing();
}

// One site-to-site file: PASV to the source, PORT and STOR to the target.
inline void ScriptFxpStart(FakeFtpServer& src, FakeFtpServer& dst, const QByteArray& name) {
    src.expect("PASV", "227 Entering Passive Mode (127,0,0,1,4,1)");
    dst.expect("PORT", "200 ok");
    dst.expect("STOR " + name, "150 storing");
}

// Its end when it arrives whole: RETR, both servers confirm, and both give
// the same size.
inline void ScriptFxpArrives(FakeFtpServer& src, FakeFtpServer& dst, const QByteArray& name) {
    src.expect("RETR " + name, [&dst, name](FakeFtpServer& s, const QByteArray&) {
        s.send("150 sending");
        s.send("226 sent");
        dst.sendAfterAnswer("STOR " + name, "226 stored");
    });
    dst.expect("SIZE " + name, "213 10");
    src.expect("SIZE " + name, "213 10");
}
