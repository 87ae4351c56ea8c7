#pragma once

#include <QObject>

#include <functional>
#include <vector>

class Form1;
class QMenu;
class QPoint;
class QAbstractItemView;

// The result list's own behaviour beyond the window's commands: several rows
// selected at once, a context menu (open, show in folder, copy paths, check
// marks), Space toggling the check marks of the selected rows, sorting by a
// click on a column heading and dragging rows out as files. The menu's
// shortcuts work while the list has the focus.
class ResultListMenu : public QObject {
    Q_OBJECT

public:
    explicit ResultListMenu(Form1& form);

    QMenu* Menu() const { return m_menu; }
    // The selected rows, 1-based, in list order.
    std::vector<int> SelectedRows() const;

    void Open();
    void OpenContainingFolder();
    void CopyPath();
    void CheckSelected(bool checked);
    void CheckAll(bool checked);
    void ToggleSelected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpView();
    void CreateMenu();
    void ShowMenu(const QPoint& position);
    // Enables the entries that have something to act on.
    void UpdateEntries();
    void SortByHeading(int section, int order);
    // A box telling why the desktop opened nothing for Open or Open Containing Folder.
    void TellNothingOpened(const QString& reason);
    // The row the commands on one file act on: the current row, 1-based, or 0.
    int CurrentRow() const;

    Form1& m_form;
    QAbstractItemView* m_view;
    QMenu* m_menu;
    std::function<void()> m_updateUndoEntries;
};
