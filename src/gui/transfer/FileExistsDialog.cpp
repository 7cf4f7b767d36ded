#include "transfer/FileExistsDialog.h"

#include "widgets/DialogPlacement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* Label(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

FileExistsDialog::FileExistsDialog(const FileExistsQuestion& question, QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("FrmExists"));
    setWindowTitle(QStringLiteral("File Exists, Now what?"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* name = Label(QStringLiteral("LFilename"), question.filenameText(), this);
    name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(name);
    auto* sizes = new QGridLayout;
    sizes->addWidget(Label(QStringLiteral("Label3"), QStringLiteral("Local Size:"), this), 0, 0);
    sizes->addWidget(Label(QStringLiteral("LSize"), question.localSizeText(QLocale()), this), 0, 1);
    sizes->addWidget(Label(QStringLiteral("Label4"), QStringLiteral("Remote Size:"), this), 1, 0);
    sizes->addWidget(Label(QStringLiteral("Rsize"), question.remoteSizeLabel(), this), 1, 1);
    layout->addLayout(sizes);
    m_wait = Label(QStringLiteral("Lwait"), QString(), this);
    layout->addWidget(m_wait);
    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, const char*> specs[] = {{"bOverwrite", "&Overwrite"},
                                                         {"bResume", "&Resume"},
                                                         {"bRename", "Re&name"},
                                                         {"bSkip", "&Skip"}};
    int result = int(FileExistsChoice::Overwrite);
    for (auto [objectName, text] : specs) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        button->setObjectName(QString::fromLatin1(objectName));
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        if (result == int(FileExistsChoice::Overwrite))
            button->setDefault(true);
        buttons->addWidget(button);
        ++result;
    }
    layout->addLayout(buttons);
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &FileExistsDialog::Timer1Timer);
    if (question.wait)
        m_timer.start();
    adjustSize();
    CentreOver(this, mainWindow);
}

void FileExistsDialog::Timer1Timer() {
    m_wait->setText(m_countdown.Tick());
    if (m_countdown.expired()) {
        m_timer.stop();
        done(int(FileExistsChoice::Overwrite));
    }
}
