#pragma once

class App;
class Side;

// The one-second transfer timer's work and the data-packet notifications:
// a download's or upload's progress line in its side's panel, or while a
// site-to-site file moves, the elapsed seconds in the title, the status bar
// and the tray tip.
class TransferTicker {
public:
    explicit TransferTicker(App& app);

    void TransferTimerTimer();
    // Title "dirs-files (mm:ss)" ("(??:??)" with reset), "Elapsed: " in the
    // right panel, and "Korvane - " + title as the tray tip.
    void UpdateTitle(bool reset);

private:
    // A data packet moved on the side's session during a local transfer.
    void packet(Side& side, bool sent);
    void showProgress(Side& side, bool sending);

    App& m_app;
};
