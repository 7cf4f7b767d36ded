#include "app/preferences/PreferencesControls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

ChoiceGroup::ChoiceGroup(const QString& title, const QStringList& items, const QString& objectName,
                         QWidget* parent)
    : QGroupBox(title, parent), m_buttons(new QButtonGroup(this)), m_layout(new QGridLayout(this)) {
    setObjectName(objectName);
    for (qsizetype i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(objectName + QStringLiteral("Button%1").arg(i));
        m_buttons->addButton(button, int(i));
        m_layout->addWidget(button, int(i), 0);
    }
    m_layout->setColumnStretch(1, 1);
}

void ChoiceGroup::setValue(int value) {
    if (QAbstractButton* button = m_buttons->button(value)) {
        button->setChecked(true);
        return;
    }
    m_unlisted = value;
    // An exclusive group cannot uncheck its last checked button.
    m_buttons->setExclusive(false);
    for (QAbstractButton* button : m_buttons->buttons())
        button->setChecked(false);
    m_buttons->setExclusive(true);
}

int ChoiceGroup::value() const {
    const int checked = m_buttons->checkedId();
    return checked >= 0 ? checked : m_unlisted;
}

QRadioButton* ChoiceGroup::button(int index) const {
    return qobject_cast<QRadioButton*>(m_buttons->button(index));
}

void ChoiceGroup::addBeside(int index, QWidget* widget) {
    m_layout->addWidget(widget, index, 1);
}

ChoiceCombo::ChoiceCombo(const QStringList& items, const QString& objectName, QWidget* parent)
    : QComboBox(parent) {
    setObjectName(objectName);
    addItems(items);
}

void ChoiceCombo::setValue(int value) {
    if (value >= 0 && value < count()) {
        setCurrentIndex(value);
        return;
    }
    m_unlisted = value;
    setCurrentIndex(-1);
}

int ChoiceCombo::value() const {
    return currentIndex() >= 0 ? currentIndex() : m_unlisted;
}

QSpinBox* MakeSpinBox(const QString& objectName, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(objectName);
    spin->setRange(0, MaxSpinValue);
    return spin;
}

QCheckBox* MakeCheckBox(const QString& text, const QString& objectName, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(objectName);
    return box;
}

QLineEdit* MakeLineEdit(const QString& objectName, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    return edit;
}

QPushButton* MakeButton(const QString& text, const QString& objectName, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}
