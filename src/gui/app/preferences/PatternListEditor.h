#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// A sorted list of wildcard patterns with an edit field: "&Add" adds the
// field's text, "&Remove" or the Delete key removes the selected pattern and a
// double-click takes a pattern out into the field for editing. Used for the
// skip list and the favourites list; child names start with namePrefix.
class PatternListEditor : public QWidget {
    Q_OBJECT
public:
    PatternListEditor(const QString& namePrefix, QWidget* parent = nullptr);

    void setPatterns(const QStringList& patterns);
    // In the displayed order, trimmed, as the file will keep them.
    QStringList patterns() const { return m_patterns; }

    QListWidget* list() const { return m_list; }
    QLineEdit* field() const { return m_field; }

    void addFieldText();
    void removeSelected();
    void editPattern(QListWidgetItem* item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh(int selectRow);

    QStringList m_patterns;
    QListWidget* m_list;
    QLineEdit* m_field;
    QPushButton* m_add;
    QPushButton* m_remove;
};
