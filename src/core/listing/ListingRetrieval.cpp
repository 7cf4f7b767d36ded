#include "listing/ListingRetrieval.h"

#include "app/App.h"
#include "net/FtpSession.h"

void ListingRetrieval::RefreshDirectory(SideId id, bool useCache) {
    Q_UNUSED(useCache)
    Side& side = m_app.side(id);
    // A transfer or delete that was running keeps the side busy afterwards.
    const bool keepBusy = side.state().Busy && side.button(SideButton::Stop).enabled;
    side.state().Busy = true;
    side.setButtonEnabled(SideButton::Refresh, false);
    side.setSummaryText(QString());
    side.rawListing().clear();
    // The closing steps run whatever happened on the way.
    auto finish = [&] {
        if (!keepBusy)
            side.state().Busy = false;
        side.setButtonEnabled(SideButton::Refresh, side.session().isConnected());
    };
    try {
        ReadCurrentDirectory(id);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void ListingRetrieval::ReadCurrentDirectory(SideId id) {
    Side& side = m_app.side(id);
    FtpSession& session = side.session();
    const QString path = session.CurrentDir();
    if (session.replyNumber() == 257 && !path.isEmpty())
        side.setCurrentPath(path);
}
