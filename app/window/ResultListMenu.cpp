#include "app/window/ResultListMenu.h"

#include "actions/CsvExport.h"
#include "app/core/ApplicationTitle.h"
#include "app/core/Dialogs.h"
#include "app/core/Failure.h"
#include "app/core/MousePointer.h"
#include "app/core/RowList.h"
#include "app/core/Shell.h"
#include "app/window/Form1.h"
#include "app/window/RowTableView.h"
#include "app/window/timeline/TimelineWindow.h"
#include "app/window/UndoMenuEntries.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QUrl>

ResultListMenu::ResultListMenu(Form1& form)
    : QObject(&form), m_form(form), m_view(form.ListView2), m_menu(new QMenu(form.ListView2))
{
    setObjectName(QStringLiteral("ResultListMenu"));
    SetUpView();
    CreateMenu();
}

void ResultListMenu::SetUpView()
{
    QAbstractItemView* view = m_view;
    RowList& rows = m_form.ResultRows();
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows.SetDragAsFiles(true);
    view->setDragEnabled(true);
    view->setDragDropMode(QAbstractItemView::DragOnly);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, &ResultListMenu::ShowMenu);
    view->installEventFilter(this);

    // The heading's indicator drives the sorting; the view never sorts by itself,
    // so rows keep the walk order until the user clicks a heading.
    QHeaderView* header = m_form.ListView2->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    connect(header, &QHeaderView::sortIndicatorChanged, this,
            [this](int section, Qt::SortOrder order) { SortByHeading(section, order); });
    // A cleared list (a new search) is in walk order again.
    const auto resetIndicator = [header] { header->setSortIndicator(-1, Qt::AscendingOrder); };
    connect(&rows, &QAbstractItemModel::modelReset, header, resetIndicator);
    connect(&rows, &QAbstractItemModel::columnsRemoved, header, resetIndicator);
}

void ResultListMenu::CreateMenu()
{
    m_menu->setObjectName(QStringLiteral("ResultListContextMenu"));
    QAction* open = m_menu->addAction(QStringLiteral("Open"), this, &ResultListMenu::Open);
    // The keypad's Enter opens as well; the menu shows the first key.
    open->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    m_menu->addAction(QStringLiteral("Open Containing Folder"), this, &ResultListMenu::OpenContainingFolder);
    m_menu->addAction(QStringLiteral("Copy Path"), this, &ResultListMenu::CopyPath)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("Check Selected"), this, [this] { CheckSelected(true); });
    m_menu->addAction(QStringLiteral("Uncheck Selected"), this, [this] { CheckSelected(false); });
    m_menu->addAction(QStringLiteral("Check All"), this, [this] { CheckAll(true); });
    m_menu->addAction(QStringLiteral("Uncheck All"), this, [this] { CheckAll(false); });
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("Show Timeline..."), this, [this] { ShowTimeline(m_form); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    m_menu->addAction(QStringLiteral("Export as CSV..."), this, [this] { ExportResultsAsCsv(m_form.ResultRows(), m_form.Services(), m_form); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_menu->addSeparator();
    m_updateUndoEntries = AddUndoEntries(*m_menu, m_form);
    // The entries' keys act while the list (or the open menu) has the focus.
    for (QAction* action : m_menu->actions()) {
        if (action->shortcut().isEmpty())
            continue;
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_view->addAction(action);
    }
}

void ResultListMenu::UpdateEntries()
{
    const bool anyRows = m_form.ResultRows().Count() > 0;
    const bool anySelected = m_view->selectionModel()->hasSelection();
    const QList<QAction*> actions = m_menu->actions();
    for (QAction* action : actions) {
        const QString text = action->text();
        const bool onSelection = text.startsWith(QLatin1String("Open")) || text == QLatin1String("Copy Path")
            || text.endsWith(QLatin1String("Selected"));
        action->setEnabled(onSelection ? anySelected : anyRows);
    }
    m_updateUndoEntries();
}

void ResultListMenu::ShowMenu(const QPoint& position)
{
    UpdateEntries();
    m_menu->popup(m_view->viewport()->mapToGlobal(position));
}

std::vector<int> ResultListMenu::SelectedRows() const
{
    const int count = m_form.ResultRows().Count();
    std::vector<bool> selected(static_cast<size_t>(count), false);
    for (const QItemSelectionRange& range : m_view->selectionModel()->selection()) {
        for (int row = std::max(range.top(), 0); row <= std::min(range.bottom(), count - 1); ++row)
            selected[static_cast<size_t>(row)] = true;
    }
    std::vector<int> rows;
    for (int row = 0; row < count; ++row) {
        if (selected[static_cast<size_t>(row)])
            rows.push_back(row + 1);
    }
    return rows;
}

int ResultListMenu::CurrentRow() const
{
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid() && m_view->selectionModel()->isRowSelected(current.row()))
        return current.row() + 1;
    // The first selected row, read from the ranges: a million selected rows are one range.
    int first = -1;
    for (const QItemSelectionRange& range : m_view->selectionModel()->selection()) {
        if (first < 0 || range.top() < first)
            first = range.top();
    }
    return first + 1;
}

void ResultListMenu::Open()
{
    const int row = CurrentRow();
    if (row == 0)
        return;
    try {
        m_form.Services().shell.OpenUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(m_form.ResultRows().Text(row))));
    } catch (const Failure& failure) {
        TellNothingOpened(failure.Description());
    }
}

void ResultListMenu::OpenContainingFolder()
{
    // The file manager may answer after the window has gone.
    if (const int row = CurrentRow())
        m_form.Services().shell.ShowInFolder(m_form.ResultRows().Text(row), [menu = QPointer(this)](const QString& reason) {
            if (menu)
                menu->TellNothingOpened(reason);
        });
}

void ResultListMenu::TellNothingOpened(const QString& reason)
{
    m_form.Services().dialogs.ShowWarning(&m_form, ApplicationTitle(), reason);
}

void ResultListMenu::CopyPath()
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    // One buffer of the exact size, so the paths are not held twice.
    const RowList& list = m_form.ResultRows();
    qsizetype length = static_cast<qsizetype>(rows.size()) - 1;
    for (int row : rows)
        length += list.TextLength(row);
    QString text;
    text.reserve(length);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i != 0)
            text += QLatin1Char('\n');
        list.AppendText(text, rows[i]);
    }
    QGuiApplication::clipboard()->setText(text);
}

void ResultListMenu::CheckSelected(bool checked)
{
    m_form.ResultRows().SetCheckedRows(SelectedRows(), checked);
}

void ResultListMenu::CheckAll(bool checked)
{
    m_form.ResultRows().SetAllChecked(checked);
}

void ResultListMenu::ToggleSelected()
{
    // As a list with check boxes does: the selected rows all take the
    // opposite of the current row's mark.
    const int row = CurrentRow();
    if (row != 0)
        CheckSelected(!m_form.ResultRows().Checked(row));
}

bool ResultListMenu::eventFilter(QObject* watched, QEvent* event)
{
    // A key is offered to the list before the shortcuts are looked up: an
    // entry's key acts exactly when the menu would offer the entry.
    if (watched == m_view && event->type() == QEvent::ShortcutOverride)
        UpdateEntries();
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            ToggleSelected();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ResultListMenu::SortByHeading(int section, int order)
{
    if (section < 0 || section >= m_form.ResultRows().ColumnCount())
        return;
    // A search in progress keeps its own pointer afterwards.
    const int previous = m_form.MousePointer();
    m_form.SetMousePointer(MousePointer::Hourglass);
    m_form.ResultRows().Sort(section + 1, static_cast<Qt::SortOrder>(order));
    m_form.SetMousePointer(previous);
}
