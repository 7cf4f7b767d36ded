// The duplicate filter's commands and what the window shows while it runs.
#include "app/App.h"
#include "app/MainWindow.h"
#include "app/SidePanel.h"
#include "widgets/StatusPanelLabel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QTreeView>

void MainWindow::wireDupeFilter() {
    DupeFilter& filter = m_app.dupeFilter();
    auto on = [this](const char* name, auto handler) {
        connect(action(name), &QAction::triggered, this,
                [this, handler] { m_app.RunGuarded(handler); });
    };
    on("FilterDupes1", [&filter] { filter.RemoveDupes1Click(); });
    on("Action1", [&filter] { filter.RemoveDupes1Click(); });
    on("Left1", [this] { runSideButton(SideId::Left, int(SideButton::TwoDayFilterDupes)); });
    on("Right1", [this] { runSideButton(SideId::Right, int(SideButton::TwoDayFilterDupes)); });
    on("dupe1", [this] {
        const SideId id = m_app.activeSide();
        if (m_app.side(id).button(SideButton::TwoDayFilterDupes).visible)
            runSideButton(id, int(SideButton::TwoDayFilterDupes));
    });
    connect(action("Race1"), &QAction::triggered, this,
            [this, &filter](bool on) { m_app.RunGuarded([&filter, on] { filter.setRace(on); }); });

    // The gauge fills status-bar panel 2, which shows only during a run.
    auto* gaugeLayout = new QHBoxLayout(m_statusPanels[2]);
    gaugeLayout->setContentsMargins(0, 0, 0, 0);
    gaugeLayout->addWidget(m_gauge);
    connect(&filter, &DupeFilter::runStarted, this, [this](int maximum) {
        m_gauge->setRange(0, std::max(maximum, 1));
        m_gauge->setValue(0);
        m_statusPanels[2]->show();
        m_gauge->show();
        fitStatusBar();
        // One repaint at the end instead of one per removed row.
        for (SidePanel* panel : {m_leftPanel, m_rightPanel})
            panel->list()->setUpdatesEnabled(false);
    });
    connect(&filter, &DupeFilter::progressed, this, [this](int processed, int maximum) {
        m_gauge->setMaximum(std::max(maximum, 1));
        m_gauge->setValue(std::min(processed, m_gauge->maximum()));
    });
    connect(&filter, &DupeFilter::runFinished, this, [this] {
        for (SidePanel* panel : {m_leftPanel, m_rightPanel}) {
            panel->list()->setUpdatesEnabled(true);
            panel->list()->viewport()->update();
        }
        m_gauge->setValue(m_gauge->maximum());
        m_gauge->hide();
        m_statusPanels[2]->hide();
        fitStatusBar();
    });
}
