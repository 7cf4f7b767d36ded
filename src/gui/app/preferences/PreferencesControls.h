#pragma once

#include "app/Settings.h"

#include <QComboBox>
#include <QGroupBox>
#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// One page of the Preferences dialog: shows values from a Settings and puts
// the edited ones back, leaving every field it does not own untouched.
class PreferencesTab : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void load(const Settings& settings) = 0;
    virtual void store(Settings& settings) const = 0;
};

// A titled group of radio buttons whose index is the stored integer. A stored
// value without a button checks none and is kept until the user picks one, so
// opening and confirming the dialog never changes it.
class ChoiceGroup : public QGroupBox {
    Q_OBJECT
public:
    ChoiceGroup(const QString& title, const QStringList& items, const QString& objectName,
                QWidget* parent = nullptr);

    void setValue(int value);
    int value() const;
    QRadioButton* button(int index) const;
    // Puts widget to the right of the button at index.
    void addBeside(int index, QWidget* widget);

private:
    QButtonGroup* m_buttons;
    QGridLayout* m_layout;
    int m_unlisted = 0;
};

// A drop-down whose index is the stored integer, with the same rule for
// values it has no item for.
class ChoiceCombo : public QComboBox {
    Q_OBJECT
public:
    ChoiceCombo(const QStringList& items, const QString& objectName, QWidget* parent = nullptr);

    void setValue(int value);
    int value() const;

private:
    int m_unlisted = 0;
};

// Seconds are multiplied into int milliseconds by the timers; this bound keeps
// every field inside that range.
inline constexpr int MaxSpinValue = 2147483;

// A field for a count or a number of seconds, never below 0.
QSpinBox* MakeSpinBox(const QString& objectName, QWidget* parent);
QCheckBox* MakeCheckBox(const QString& text, const QString& objectName, QWidget* parent);
QLineEdit* MakeLineEdit(const QString& objectName, QWidget* parent);
// Never the dialog's default button: Enter in a field means "&OK".
QPushButton* MakeButton(const QString& text, const QString& objectName, QWidget* parent);
