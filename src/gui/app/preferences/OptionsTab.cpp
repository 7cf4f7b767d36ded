#include "app/preferences/OptionsTab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
// What the custom form of LIST sends until the user saves another text.
const QString DefaultListCustomText = QStringLiteral("al");
} // namespace

OptionsTab::OptionsTab(QWidget* parent) : PreferencesTab(parent) {
    setObjectName(QStringLiteral("optionsTab"));
    m_onDoubleClick = new ChoiceGroup(
        QStringLiteral("On Double Click"),
        {QStringLiteral("(nothing)"), QStringLiteral("Queue"), QStringLiteral("Transfer")},
        QStringLiteral("onDoubleClickGroup"), this);
    m_onDragDrop = new ChoiceGroup(QStringLiteral("On Drag Drop"),
                                   {QStringLiteral("Queue"), QStringLiteral("Transfer")},
                                   QStringLiteral("onDragDropGroup"), this);
    m_onLocalDuplicate =
        new ChoiceGroup(QStringLiteral("Duplicate local downloads"),
                        {QStringLiteral("Ask aways"), QStringLiteral("Overwrite aways"),
                         QStringLiteral("Resume aways"), QStringLiteral("Skip always")},
                        QStringLiteral("onLocalDuplicateGroup"), this);
    m_listMethod = new ChoiceGroup(QStringLiteral("&List Method"),
                                   {QStringLiteral("Default"), QStringLiteral("Show Hidden files"),
                                    QStringLiteral("Custom List")},
                                   QStringLiteral("listMethodGroup"), this);
    m_listCustomText = MakeLineEdit(QStringLiteral("listCustomTextEdit"), m_listMethod);
    m_listMethod->addBeside(2, m_listCustomText);

    m_wait = MakeCheckBox(QStringLiteral("Wait 45 sec. then overwite"), QStringLiteral("waitCheck"),
                          this);
    m_altList = MakeCheckBox(QStringLiteral("Use PASV Mode"), QStringLiteral("altListCheck"), this);
    m_show214 = MakeCheckBox(QStringLiteral("Show 214 replys in window"),
                             QStringLiteral("show214Check"), this);
    m_restoreResume = MakeCheckBox(QStringLiteral("If connection is lost, try to resume transfer"),
                                   QStringLiteral("restoreResumeCheck"), this);
    m_cleanUp = MakeCheckBox(QStringLiteral("Clean up Empty Directorys"),
                             QStringLiteral("cleanUpCheck"), this);
    m_exitEmptyQueue = MakeCheckBox(QStringLiteral("Confirm Exit with non empty queue"),
                                    QStringLiteral("exitEmptyQueueCheck"), this);

    auto* checks = new QVBoxLayout;
    checks->addWidget(m_wait);
    checks->addWidget(m_altList);
    checks->addWidget(m_show214);
    checks->addWidget(m_restoreResume);
    checks->addWidget(m_cleanUp);
    checks->addWidget(m_exitEmptyQueue);
    checks->addStretch(1);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_onDoubleClick, 0, 0);
    grid->addWidget(m_onDragDrop, 0, 1);
    grid->addWidget(m_onLocalDuplicate, 1, 0);
    grid->addWidget(m_listMethod, 1, 1);
    grid->addLayout(checks, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
}

void OptionsTab::load(const Settings& s) {
    m_onDoubleClick->setValue(s.onDoubleClick);
    m_onDragDrop->setValue(s.onDragDrop);
    m_onLocalDuplicate->setValue(s.onLocalDuplicate);
    m_wait->setChecked(s.wait);
    m_altList->setChecked(s.altList);
    m_show214->setChecked(s.show214);
    m_restoreResume->setChecked(s.restoreResume);
    m_cleanUp->setChecked(s.cleanUp);
    m_cleanUp->setVisible(s.all);
    m_listMethod->setValue(s.listMethod);
    m_listCustomText->setText(s.listCustomText.isEmpty() ? DefaultListCustomText
                                                         : s.listCustomText);
    m_exitEmptyQueue->setChecked(s.exitEmptyQueue);
}

void OptionsTab::store(Settings& s) const {
    s.onDoubleClick = m_onDoubleClick->value();
    s.onDragDrop = m_onDragDrop->value();
    s.onLocalDuplicate = m_onLocalDuplicate->value();
    s.wait = m_wait->isChecked();
    s.altList = m_altList->isChecked();
    s.show214 = m_show214->isChecked();
    s.restoreResume = m_restoreResume->isChecked();
    s.cleanUp = m_cleanUp->isChecked();
    s.listMethod = m_listMethod->value();
    s.listCustomText = m_listCustomText->text();
    s.exitEmptyQueue = m_exitEmptyQueue->isChecked();
}
