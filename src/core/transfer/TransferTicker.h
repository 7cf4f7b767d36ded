#pragma once

class App;

// The one-second transfer timer's work while a site-to-site file moves: the
// elapsed seconds in the title, the status bar and the tray tip.
class TransferTicker {
public:
    explicit TransferTicker(App& app);

    void TransferTimerTimer();
    // Title "dirs-files (mm:ss)" ("(??:??)" with reset), "Elapsed: " in the
    // right panel, and "Korvane - " + title as the tray tip.
    void UpdateTitle(bool reset);

private:
    App& m_app;
};
