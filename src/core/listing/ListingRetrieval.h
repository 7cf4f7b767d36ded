#pragma once

#include "app/SideState.h"
#include "listing/ListingParser.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>

#include <array>
#include <optional>

class App;
class Side;
struct Settings;

// Fetches a remote side's listing and loads it into the side's list and
// tree: PWD, then the session's own listing or our passive one, or a replay
// from the directory cache.
class ListingRetrieval : public QObject {
    Q_OBJECT
public:
    // A listing that never ends stops here, so memory stays bounded (about
    // 1.5 KiB an entry). No real directory comes near either limit.
    static constexpr qsizetype MaxListingLines = 1'000'000;
    static constexpr qsizetype MaxListingBytes = qsizetype(128) * 1024 * 1024;
    // Longer lines hold no entry (no file system has such names); they are
    // kept in the raw listing but not parsed.
    static constexpr qsizetype MaxEntryLineLength = 64 * 1024;

    explicit ListingRetrieval(App& app);
    // Listens to both sides' sessions and listing sockets; once, after the sides exist.
    void attach();

    // useCache: navigation may replay a cached listing; explicit refreshes
    // and changed contents do not.
    void RefreshDirectory(SideId side, bool useCache);
    // PWD: the side's CurrentPath, path box and tree path follow the answer.
    void ReadCurrentDirectory(SideId side);
    // TYPE A, PASV, a connection of our own to the side's RemoteAddress, LIST.
    void PassiveList(SideId side, const QString& argument);
    // Splits the received text into lines and parses each.
    void FormatList(SideId side, const QByteArray& rawText);
    // One line of the session's own listing.
    void OnListItem(SideId side, const QString& line);

    // "", " -al" or " -" + the custom letters: appended to "LIST".
    static QString ListArgument(const Settings& settings);
    // Lower limits, for tests.
    void setListingLimits(qsizetype lines, qsizetype bytes) {
        m_maxLines = lines;
        m_maxBytes = bytes;
    }

    // Lines of raw listing text: CR LF, CR and LF each end one.
    static QStringList SplitListing(const QByteArray& rawText);

private:
    struct PerSide {
        ListParseContext context;
        QByteArray rawText;     // bytes of a passive listing so far
        qsizetype rawLines = 0; // line feeds among them
        bool capped = false;    // the listing went past its cap
        QElapsedTimer progress; // progress texts at most every 100 ms
    };
    PerSide& per(SideId side) { return m_per[side == SideId::Left ? 0 : 1]; }
    // Parse, record for the cache, add to the list and offer to the tree.
    void addLine(Side& side, const QString& line);
    void fetchListing(Side& side, const QString& argument);
    void finishRefresh(Side& side, bool keepBusy);
    // Reads reply lines until one begins with an accepted prefix.
    bool awaitReply(Side& side, std::initializer_list<const char*> prefixes);
    // Waits until the server has sent the listing and closed; false when the
    // listing is abandoned (disconnect, Abort, silence for the TimeOut).
    bool waitForListingData(Side& side);
    void listingDataAvailable(Side& side);
    void stopOverlongListing(Side& side);
    bool progressDue(PerSide& p);
    ListParseContext parseContext(const Side& side) const;

    App& m_app;
    std::array<PerSide, 2> m_per;
    qsizetype m_maxLines = MaxListingLines;
    qsizetype m_maxBytes = MaxListingBytes;
};
