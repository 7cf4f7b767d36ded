#include "app/preferences/DisplayTab.h"

#include "app/FontConversion.h"
#include "app/UserPrompts.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

DisplayTab::DisplayTab(UserPrompts& prompts, QWidget* parent)
    : PreferencesTab(parent), m_prompts(prompts) {
    setObjectName(QStringLiteral("displayTab"));
    m_directories = new ChoiceGroup(
        QStringLiteral("Directory Listing"),
        {QStringLiteral("Directories on top"), QStringLiteral("Mix files/directories")},
        QStringLiteral("directoriesGroup"), this);
    m_autoSort =
        new ChoiceGroup(QStringLiteral("Auto-Sort"),
                        {QStringLiteral("Name"), QStringLiteral("Size"), QStringLiteral("Date"),
                         QStringLiteral("Owner"), QStringLiteral("Group"), QStringLiteral("None")},
                        QStringLiteral("autoSortGroup"), this);
    m_sort = new ChoiceGroup(QStringLiteral("Sort"),
                             {QStringLiteral("Ascending"), QStringLiteral("Descending")},
                             QStringLiteral("sortGroup"), this);
    m_owner = MakeCheckBox(QStringLiteral("Owner"), QStringLiteral("ownerCheck"), this);
    m_group = MakeCheckBox(QStringLiteral("Group"), QStringLiteral("groupCheck"), this);
    m_attrib = MakeCheckBox(QStringLiteral("Attrib"), QStringLiteral("attribCheck"), this);
    m_fontButton = MakeButton(QStringLiteral("Font"), QStringLiteral("fontButton"), this);
    m_fontPreview = new QLabel(this);
    m_fontPreview->setObjectName(QStringLiteral("fontPreviewLabel"));
    m_statusFontButton =
        MakeButton(QStringLiteral("Status Font"), QStringLiteral("statusFontButton"), this);
    m_statusFontPreview = new QLabel(this);
    m_statusFontPreview->setObjectName(QStringLiteral("statusFontPreviewLabel"));
    m_itemCount = MakeSpinBox(QStringLiteral("itemCountSpin"), this);

    auto* columns = new QGroupBox(this);
    auto* columnsLayout = new QVBoxLayout(columns);
    columnsLayout->addWidget(m_owner);
    columnsLayout->addWidget(m_group);
    columnsLayout->addWidget(m_attrib);

    auto* fonts = new QGridLayout;
    fonts->addWidget(m_fontButton, 0, 0);
    fonts->addWidget(m_fontPreview, 0, 1);
    fonts->addWidget(m_statusFontButton, 1, 0);
    fonts->addWidget(m_statusFontPreview, 1, 1);
    fonts->setColumnStretch(1, 1);

    auto* itemCount = new QFormLayout;
    itemCount->addRow(QStringLiteral("Connect Menu - Sites Per Column"), m_itemCount);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_directories, 0, 0);
    grid->addWidget(m_sort, 0, 1);
    grid->addWidget(m_autoSort, 1, 0);
    grid->addWidget(columns, 1, 1);
    grid->addLayout(fonts, 2, 0, 1, 2);
    grid->addLayout(itemCount, 3, 0, 1, 2);
    grid->setRowStretch(4, 1);

    connect(m_fontButton, &QPushButton::clicked, this,
            [this] { chooseFont(m_font, m_fontPreview); });
    connect(m_statusFontButton, &QPushButton::clicked, this,
            [this] { chooseFont(m_statusFont, m_statusFontPreview); });
}

void DisplayTab::load(const Settings& s) {
    m_directories->setValue(s.directories);
    m_autoSort->setValue(s.autoSort);
    m_sort->setValue(s.sort);
    m_owner->setChecked(s.owner);
    m_group->setChecked(s.group);
    m_attrib->setChecked(s.attrib);
    m_font = s.font;
    m_statusFont = s.statusFont;
    m_itemCount->setValue(s.itemCount);
    showFont(m_font, m_fontPreview);
    showFont(m_statusFont, m_statusFontPreview);
}

void DisplayTab::store(Settings& s) const {
    s.directories = m_directories->value();
    s.autoSort = m_autoSort->value();
    s.sort = m_sort->value();
    s.owner = m_owner->isChecked();
    s.group = m_group->isChecked();
    s.attrib = m_attrib->isChecked();
    s.font = m_font;
    s.statusFont = m_statusFont;
    s.itemCount = m_itemCount->value();
}

void DisplayTab::chooseFont(QString& fontString, QLabel* preview) {
    FontDescription desc = ToFontDescription(font(), FontDescription().colour);
    StringToFont(fontString, desc);
    const std::optional<FontDescription> chosen = m_prompts.chooseFont(QString(), desc);
    if (!chosen)
        return;
    fontString = FontToString(*chosen);
    showFont(fontString, preview);
}

void DisplayTab::showFont(const QString& fontString, QLabel* preview) const {
    if (fontString.isEmpty()) {
        preview->setText(QStringLiteral("(default)"));
        return;
    }
    FontDescription desc = ToFontDescription(font(), FontDescription().colour);
    StringToFont(fontString, desc);
    QStringList parts{desc.family, QString::number(desc.pointSize)};
    if (desc.bold)
        parts << QStringLiteral("Bold");
    if (desc.italic)
        parts << QStringLiteral("Italic");
    if (desc.underline)
        parts << QStringLiteral("Underline");
    if (desc.strikeout)
        parts << QStringLiteral("Strikeout");
    preview->setText(parts.join(QStringLiteral(", ")));
}
