#include "app/preferences/SoundsTab.h"

#include "app/DesktopServices.h"
#include "app/UserPrompts.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString WaveFilter = QStringLiteral("Wav File (*.wav)");

struct Event {
    const char* caption;
    const char* name; // objectName prefix
};

const Event Events[] = {
    {"On Connect", "connect"},
    {"On Disconnect", "disconnect"},
    {"On Error", "error"},
    {"On Transfer Complete", "queue"},
};

} // namespace

SoundsTab::SoundsTab(UserPrompts& prompts, DesktopServices& services, QWidget* parent)
    : PreferencesTab(parent), m_prompts(prompts),
      m_services(services), m_rows{{{&Settings::connectSound, &Settings::connectWav},
                                    {&Settings::disconnectSound, &Settings::disconnectWav},
                                    {&Settings::errorSound, &Settings::errorWav},
                                    {&Settings::queueSound, &Settings::queueWav}}} {
    setObjectName(QStringLiteral("soundsTab"));
    const QStringList kinds{QStringLiteral("(none)"),    QStringLiteral("Asterisk"),
                            QStringLiteral("Beep"),      QStringLiteral("Exclamation"),
                            QStringLiteral("Question"),  QStringLiteral("Stop"),
                            QStringLiteral("<Wav File>")};
    auto* grid = new QGridLayout(this);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Row& row = m_rows[i];
        const QString name = QLatin1String(Events[i].name);
        row.kindBox = new ChoiceCombo(kinds, name + QStringLiteral("SoundCombo"), this);
        row.waveEdit = MakeLineEdit(name + QStringLiteral("WavEdit"), this);
        QPushButton* browse =
            MakeButton(QStringLiteral("..."), name + QStringLiteral("WavBrowseButton"), this);
        QPushButton* play =
            MakeButton(QStringLiteral("Play"), name + QStringLiteral("PlayButton"), this);
        const int line = int(i);
        grid->addWidget(new QLabel(QLatin1String(Events[i].caption), this), line, 0);
        grid->addWidget(row.kindBox, line, 1);
        grid->addWidget(row.waveEdit, line, 2);
        grid->addWidget(browse, line, 3);
        grid->addWidget(play, line, 4);
        connect(browse, &QPushButton::clicked, this, [this, i] { this->browse(m_rows[i]); });
        connect(play, &QPushButton::clicked, this, [this, i] { this->play(m_rows[i]); });
    }
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(int(m_rows.size()), 1);
}

void SoundsTab::load(const Settings& s) {
    for (const Row& row : m_rows) {
        row.kindBox->setValue(s.*row.kind);
        row.waveEdit->setText(s.*row.wave);
    }
}

void SoundsTab::store(Settings& s) const {
    for (const Row& row : m_rows) {
        s.*row.kind = row.kindBox->value();
        s.*row.wave = row.waveEdit->text();
    }
}

void SoundsTab::browse(const Row& row) {
    const QString current = row.waveEdit->text();
    const QString start = current.isEmpty() ? QString() : QFileInfo(current).path();
    const QString file = m_prompts.openFileName(QString(), start, WaveFilter);
    if (!file.isEmpty())
        row.waveEdit->setText(file);
}

void SoundsTab::play(const Row& row) {
    PlayEventSound(m_services, row.waveEdit->text(), SoundKind(row.kindBox->value()));
}
