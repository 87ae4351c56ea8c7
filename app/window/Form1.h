#pragma once

#include "app/core/CommandWindow.h"
#include "app/core/Seams.h"

#include <QCursor>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;
class RowList;
class RowTableView;
class SearchState;
struct UndoRecords;

// The main window: every control of the layout, the command handlers (each
// forwarding to its command in the subsystem that owns it), the mouse pointer
// and the closing rule.
class Form1 : public QWidget, public CommandWindow {
    Q_OBJECT

public:
    // programFolder is the folder of the executable, where the optional skin,
    // cursor and sample folders are looked up.
    Form1(Seams seams, QString programFolder, QWidget* parent = nullptr);
    ~Form1() override;

    // The random draw of the occasional web-site visit, in [0, 1).
    void SetRandomSource(std::function<double()> random) { m_random = std::move(random); }

    const QString& ProgramFolder() const { return m_programFolder; }
    Seams& Services() { return m_seams; }
    RowList& FolderRows() { return *m_folderRows; }
    RowList& ResultRows() { return *m_resultRows; }
    SearchState& Search() { return *m_search; }
    // What the last trash and move did, for taking them back.
    UndoRecords& Undo() { return *m_undo; }

    QWidget* Owner() override { return this; }
    int MousePointer() const override { return m_mousePointer; }
    void SetMousePointer(int value) override;
    void RefreshTitle() override;
    void SetCaption(const QString& caption) override { setWindowTitle(caption); }
    void BeginLongCommand() override;
    void EndLongCommand() override;

    // Pixels for a length in twips at the screen's logical dpi.
    int Twips(int twips) const;
    // Keeps the design size where the screen's available area holds it;
    // otherwise the window takes what the area allows and its client area
    // scrolls, so every control stays reachable.
    void FitToScreen();

    // Controls, named as in the layout.
    RowTableView* ListView1;
    RowTableView* ListView2;
    QPushButton* PushButton1;
    QPushButton* PushButton2;
    QPushButton* PushButton3;
    QPushButton* PushButton4;
    QPushButton* PushButton5;
    QPushButton* PushButton6;
    QPushButton* PushButton7;
    QPushButton* PushButton8;
    QPushButton* PushButton9;
    QPushButton* PushButton11;
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QRadioButton* Option5;
    QRadioButton* Option6;
    QRadioButton* Option7;
    QDateEdit* DTPicker1;
    QDateEdit* DTPicker2;
    QDateEdit* DTPicker3;
    QDateEdit* DTPicker4;
    QDateEdit* DTPicker5;
    QLabel* Label1;

public slots:
    void Form_Load();

    void PushButton1_Click();   // search/   Start Searching / Stop
    void PushButton2_Click();   // actions/  Save Results As Text File
    void PushButton3_Click();   // folders/  Add Folder to Search
    void PushButton4_Click();   // actions/  Copy Results To Clipboard
    void PushButton5_Click();   // actions/  Send Checked To Recycle Bin
    void PushButton6_Click();   // actions/  Clear List (results)
    void PushButton7_Click();   // the window's own Help box
    void PushButton8_Click();   // folders/  Load Sample/Example Folders
    void PushButton9_Click();   // folders/  Clear List (folders)
    void PushButton11_Click();  // actions/  Move Checked To Another Folder

    void ListView1_DblClick();                       // folders/
    void ListView1_KeyDown(int keyCode, int shift);  // folders/

    // The range options enable the pickers they read.
    void Option4_Click();
    void Option5_Click();
    void Option6_Click();
    void Option7_Click();

signals:
    // The user asked to close the window while a long command runs.
    void CloseRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void CreateControls();
    void ConnectHandlers();
    void TrackPointer(QWidget* widget, int pointer);
    void CreateScrollBars();
    // Moves the controls so that the design point offset is at the top left.
    void ScrollTo(const QPoint& offset);
    // Scrolls a control that takes the focus into the visible area.
    void EnsureVisible(QWidget* widget);
    void ApplySkin();
    void OccasionalWebSiteVisit();

    Seams m_seams;
    QString m_programFolder;
    RowList* m_folderRows;
    RowList* m_resultRows;
    std::unique_ptr<SearchState> m_search;
    std::unique_ptr<UndoRecords> m_undo;
    std::function<double()> m_random;
    std::optional<QCursor> m_customCursor;
    // The controls at their design places, moved together when the client area scrolls.
    QList<QWidget*> m_controls;
    QScrollBar* m_horizontalBar = nullptr;
    QScrollBar* m_verticalBar = nullptr;
    QPoint m_scrolled;
    bool m_followsScreen = false;
    int m_mousePointer = 0;
    // One entry a running long command: whether the hourglass was kept before it began.
    std::vector<bool> m_longCommands;
    // Set while a command runs inside a long one that shows the hourglass.
    bool m_keepHourglass = false;
};
