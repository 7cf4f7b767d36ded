#include "listing/RemoteViews.h"

#include "app/App.h"
#include "app/ListColumns.h"
#include "app/SidePanel.h"
#include "listing/ColumnFit.h"
#include "widgets/StandardIcons.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <functional>

namespace {

QColor ToQColor(Colour c) {
    return QColor(ColourRed(c), ColourGreen(c), ColourBlue(c));
}

// Draws marked entries in their colour and gives each row its icon.
class MarkDelegate : public QStyledItemDelegate {
public:
    using ColourOf = std::function<std::optional<Colour>(const QModelIndex&)>;
    using IconOf = std::function<QIcon(const QModelIndex&)>;
    MarkDelegate(ColourOf colour, IconOf icon, int cutRole, QObject* parent)
        : QStyledItemDelegate(parent), m_colour(std::move(colour)), m_icon(std::move(icon)),
          m_cutRole(cutRole) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        // Queued entries are dimmed, as a cut item is.
        if (index.data(m_cutRole).toBool())
            option->palette.setColor(QPalette::Text,
                                     option->palette.color(QPalette::Disabled, QPalette::Text));
        if (const auto c = m_colour(index)) {
            option->palette.setColor(QPalette::Text, ToQColor(*c));
            option->palette.setColor(QPalette::HighlightedText, ToQColor(*c));
        }
        if (index.column() == 0) {
            const QIcon icon = m_icon(index);
            if (!icon.isNull()) {
                option->icon = icon;
                option->features |= QStyleOptionViewItem::HasDecoration;
            }
        }
    }

private:
    ColourOf m_colour;
    IconOf m_icon;
    int m_cutRole;
};

// Measuring every name of a 100,000-entry listing costs more than the
// listing itself; the widest text is among the longest ones.
int WidestText(const QFontMetrics& metrics, const std::vector<DirEntry>& entries,
               QString DirEntry::*field) {
    qsizetype longest = 0;
    for (const DirEntry& e : entries)
        longest = std::max(longest, (e.*field).size());
    int widest = 0;
    int measured = 0;
    for (const DirEntry& e : entries) {
        const QString& text = e.*field;
        if (text.size() + 4 < longest || measured > 200)
            continue;
        widest = std::max(widest, metrics.horizontalAdvance(text));
        ++measured;
    }
    return widest;
}

} // namespace

RemoteViews::RemoteViews(App& app, SidePanel& panel)
    : QObject(&panel), m_app(app), m_panel(panel), m_side(panel.side()), m_list(panel.list()),
      m_tree(panel.tree()) {
    bindList();
    bindTree();
    bindPathBox();
}

void RemoteViews::run(const std::function<void()>& command) {
    m_app.RunGuarded(command);
}

void RemoteViews::bindList() {
    QAbstractItemModel* old = m_list->model();
    m_list->setModel(&m_side.listing());
    m_list->setSelectionModel(&m_side.listSelection());
    if (old && old->parent() == m_list)
        old->deleteLater();
    m_list->setSortingEnabled(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSortIndicatorShown(false);
    const QIcon folder = StandardIcon(QStyle::SP_DirIcon);
    const QIcon link = StandardIcon(QStyle::SP_DirLinkIcon);
    const QIcon file = StandardIcon(QStyle::SP_FileIcon);
    const QIcon up = StandardIcon(QStyle::SP_FileDialogToParent);
    m_list->setItemDelegate(new MarkDelegate(
        [](const QModelIndex& index) -> std::optional<Colour> {
            const QVariant v = index.data(ListingModel::MarkColourRole);
            return v.isValid() ? std::optional<Colour>(v.value<Colour>()) : std::nullopt;
        },
        [=](const QModelIndex& index) {
            switch (EntryKind(index.data(ListingModel::KindRole).toInt())) {
            case EntryKind::Parent: return up;
            case EntryKind::Directory: return folder;
            case EntryKind::Link: return link;
            case EntryKind::File: return file;
            }
            return QIcon();
        },
        ListingModel::CutRole, m_list));
    const SideId id = m_side.id();
    ListNavigation& nav = m_app.navigation();
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this, id, &nav](const QModelIndex& i) {
        run([id, &nav, row = i.row()] { nav.ListDoubleClick(id, row); });
    });
    connect(m_list, &QAbstractItemView::clicked, &nav, [&nav] { nav.restartMultiTimer(); });
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            [id, &nav](int column) { nav.ColumnClick(id, column); });
    m_list->installEventFilter(this);

    // While a listing loads the list is disabled and shows the hourglass.
    connect(&m_side, &Side::listingStarted, this, [this] {
        m_list->setEnabled(false);
        m_list->setCursor(Qt::WaitCursor);
    });
    connect(&m_side, &Side::listingEnded, this, [this] {
        m_list->setEnabled(true);
        m_list->unsetCursor();
    });
    connect(&m_side, &Side::fitColumnsRequested, this, &RemoteViews::FitColumns);
    connect(&nav, &ListNavigation::columnsChanged, this, [this] {
        showColumns();
        FitColumns();
    });
    showColumns();
}

void RemoteViews::bindTree() {
    m_tree->setModel(&m_side.tree());
    m_tree->setSelectionModel(&m_side.treeSelection());
    const QIcon folder = StandardIcon(QStyle::SP_DirIcon);
    const QIcon open = StandardIcon(QStyle::SP_DirOpenIcon);
    const QIcon root = StandardIcon(QStyle::SP_DriveHDIcon);
    Side& side = m_side;
    App& app = m_app;
    m_tree->setItemDelegate(new MarkDelegate(
        [&app](const QModelIndex& index) {
            const Settings& s = app.settings();
            return MarkColour(EntryMark(index.data(DirectoryTreeModel::MarkRole).toInt()),
                              {app.skipActive(), s.skipColour, s.favoritesColour});
        },
        [=, &side](const QModelIndex& index) {
            const int image = index.data(DirectoryTreeModel::ImageRole).toInt();
            if (image == 4)
                return root;
            return side.treeSelection().isSelected(index) ? open : folder;
        },
        DirectoryTreeModel::CutRole, m_tree));
    const SideId id = m_side.id();
    ListNavigation& nav = m_app.navigation();
    connect(m_tree, &QAbstractItemView::doubleClicked, this, [this, id, &nav](const QModelIndex& i) {
        run([id, &nav, i] { nav.TreeDoubleClick(id, i); });
    });
    connect(&m_side, &Side::treeNodeShown, this, [this](const QModelIndex& node) {
        m_tree->expand(node.parent());
        m_tree->scrollTo(node);
    });
}

void RemoteViews::bindPathBox() {
    QComboBox* box = m_panel.pathBox();
    box->setInsertPolicy(QComboBox::NoInsert);
    auto showHistory = [this, box] {
        const QSignalBlocker block(box);
        box->clear();
        box->addItems(m_side.pathHistory());
        box->setCurrentText(m_side.currentPath());
    };
    connect(&m_side, &Side::pathHistoryChanged, box, showHistory);
    connect(&m_side, &Side::currentPathChanged, box,
            [box](const QString& path) { box->setCurrentText(path); });
    const SideId id = m_side.id();
    ListNavigation& nav = m_app.navigation();
    connect(box->lineEdit(), &QLineEdit::returnPressed, this, [this, id, &nav, box] {
        run([id, &nav, text = box->currentText()] { nav.PathBoxEnter(id, text); });
    });
    connect(box, &QComboBox::activated, this, [this, id, &nav, box](int index) {
        run([id, &nav, text = box->itemText(index)] { nav.PathBoxEnter(id, text); });
    });
}

bool RemoteViews::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        ListNavigation& nav = m_app.navigation();
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const SideId id = m_side.id();
            run([id, &nav] { nav.ListEnter(id); });
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            nav.DeleteKey();
            return true;
        }
        nav.restartMultiTimer();
    }
    return QObject::eventFilter(watched, event);
}

void RemoteViews::showColumns() {
    const ColumnChoice& c = m_app.navigation().columns();
    const bool shown[] = {true, c.size, c.date, c.owner, c.group, c.attrib};
    for (int column = 0; column < ListingModel::ColumnCount; ++column)
        m_list->setColumnHidden(column, !shown[column]);
    const std::pair<int, int> opening[] = {{ListColumns::Owner, ListColumns::OwnerWidth},
                                           {ListColumns::Group, ListColumns::GroupWidth},
                                           {ListColumns::Attrib, ListColumns::AttribWidth}};
    for (auto [column, width] : opening)
        if (shown[column])
            m_list->setColumnWidth(column, width);
}

void RemoteViews::FitColumns() {
    const ListingModel& model = m_side.listing();
    const ColumnChoice& shown = m_app.navigation().columns();
    const QFontMetrics metrics(m_list->font());
    QHeaderView* header = m_list->header();
    // Room for the icon, the margins and the gaps between columns. A view
    // without an icon size of its own draws the style's small icons.
    const QSize icon = m_list->iconSize();
    const int iconWidth =
        icon.isValid() ? icon.width()
                       : m_list->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, m_list);
    const int padding = iconWidth + 16;
    ColumnMeasures m;
    m.itemCount = model.count();
    m.sizeHeaderWidth = metrics.horizontalAdvance(QStringLiteral("Size"));
    m.listWidth = m_list->viewport()->width();
    m.attribWidth = m_list->columnWidth(ListingModel::AttribColumn);
    if (m.itemCount >= 2) {
        const auto& entries = model.entries();
        m.widest = {WidestText(metrics, entries, &DirEntry::name),
                    WidestText(metrics, entries, &DirEntry::sizeText),
                    WidestText(metrics, entries, &DirEntry::dateText),
                    WidestText(metrics, entries, &DirEntry::owner),
                    WidestText(metrics, entries, &DirEntry::group),
                    0};
    }
    const auto fit = ::FitColumns(m, shown);
    for (int column = 0; column < ListingModel::ColumnCount; ++column) {
        const ColumnFit& f = fit[size_t(column)];
        int width = f.width;
        if (f.kind == ColumnFit::Contents)
            width = m.widest[size_t(column)] + padding;
        else if (f.kind == ColumnFit::Header)
            width = header->sectionSizeHint(column);
        if (width > 0)
            m_list->setColumnWidth(column, width);
    }
}
