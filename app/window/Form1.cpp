#include "app/window/Form1.h"

#include "actions/undo/UndoRecords.h"
#include "app/core/ApplicationTitle.h"
#include "app/core/Dialogs.h"
#include "app/core/ErrorTrap.h"
#include "app/core/EventPump.h"
#include "app/core/FileSystem.h"
#include "app/core/KeyCode.h"
#include "app/core/MousePointer.h"
#include "app/core/ProductTexts.h"
#include "app/core/RowList.h"
#include "app/core/Shell.h"
#include "app/core/Timestamp.h"
#include "app/window/DatePicker.h"
#include "app/window/HandCursor.h"
#include "app/window/ProgramIcon.h"
#include "app/window/ResultListMenu.h"
#include "app/window/RowTableView.h"
#include "app/window/Skin.h"
#include "search/SearchState.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTime>
#include <QWindow>

#include <algorithm>

namespace {
constexpr char kListToolTip[] =
    "Double-click item to remove it. Move | line to right and out of window to reveal full names.";
constexpr int kTwipsPerInch = 1440;
// The client area's design size.
constexpr int kClientWidth = 15960;
constexpr int kClientHeight = 6615;
constexpr int kWebSiteDraw = 7;

struct Geometry {
    int left, top, width, height;
};

// Moves over a child that ignores them (a push button, an option button) come
// up to its frame and to the window as well; only the widget that is itself
// under the pointer changes it.
bool DirectlyOver(const QWidget& widget, const QMouseEvent& event)
{
    return !widget.childAt(event.position().toPoint());
}

// The Windows key code of a Qt key.
int WindowsKeyCode(int qtKey)
{
    return qtKey == Qt::Key_Delete ? KeyCode::Delete : KeyCode::None;
}

// The window's white with the dark text that reads on it: a desktop theme's
// own text colour may be light. Frames, options and the label inherit both;
// the other controls keep the theme's colours for their own backgrounds.
QPalette WhiteWindowPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x76, 0x76, 0x76));
    return palette;
}

bool IsPressKey(const QKeyEvent& key)
{
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) && !key.isAutoRepeat();
}

// Windows shift state bits of a key event: 1 shift, 2 control, 4 alt.
int ShiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}
}  // namespace

Form1::Form1(Seams seams, QString programFolder, QWidget* parent)
    : QWidget(parent),
      m_seams(seams),
      m_programFolder(std::move(programFolder)),
      m_folderRows(new RowList(false, seams.pump, this)),
      m_resultRows(new RowList(true, seams.pump, this)),
      m_search(std::make_unique<SearchState>()),
      m_undo(std::make_unique<UndoRecords>()),
      m_random([] { return QRandomGenerator::global()->generateDouble(); })
{
    setObjectName(QStringLiteral("Form1"));
    CreateControls();
    CreateScrollBars();
    new ResultListMenu(*this);
    ConnectHandlers();
}

Form1::~Form1() = default;

int Form1::Twips(int twips) const
{
    return (twips * logicalDpiX() + kTwipsPerInch / 2) / kTwipsPerInch;
}

void Form1::CreateControls()
{
    QFont font(QStringLiteral("Arial"), 9, QFont::Bold);
    setFont(font);
    QFont buttonFont = font;
    buttonFont.setPointSizeF(11.25);

    setPalette(WhiteWindowPalette());
    setAutoFillBackground(true);
    setFixedSize(Twips(kClientWidth), Twips(kClientHeight));

    auto place = [this](QWidget* widget, const char* name, Geometry g) {
        widget->setObjectName(QLatin1String(name));
        widget->setGeometry(Twips(g.left), Twips(g.top), Twips(g.width), Twips(g.height));
    };
    auto list = [&](const char* name, Geometry g, RowList* rows, const char* accessibleName) {
        auto* view = new RowTableView(this);
        place(view, name, g);
        view->setAccessibleName(QLatin1String(accessibleName));
        view->setModel(rows);
        view->setToolTip(QLatin1String(kListToolTip));
        // The path's end holds the file name, the part read first.
        view->setTextElideMode(Qt::ElideMiddle);
        // The save and the copy write the columns in their own order.
        view->horizontalHeader()->setSectionsMovable(false);
        connect(rows, &RowList::ColumnWidthChanged, view,
                [this, view](int column, int twips) { view->SetColumnWidth(column - 1, Twips(twips)); });
        return view;
    };
    auto button = [&](const char* name, Geometry g, const char* caption) {
        auto* widget = new QPushButton(QString::fromUtf8(caption), this);
        place(widget, name, g);
        widget->setFont(buttonFont);
        return widget;
    };
    auto option = [&](QGroupBox* frame, const char* name, Geometry g, const char* caption) {
        auto* widget = new QRadioButton(QString::fromUtf8(caption), frame);
        place(widget, name, g);
        return widget;
    };
    // A picker has no caption of its own; its name says which date it holds.
    auto picker = [&](const char* name, Geometry g, const char* accessibleName) {
        auto* widget = new DatePicker(Frame1);
        place(widget, name, g);
        widget->setAccessibleName(QLatin1String(accessibleName));
        widget->setCalendarPopup(true);
        widget->setDisplayFormat(ShortDateFormat(widget->locale()));
        return widget;
    };
    auto frame = [&](const char* name, Geometry g, const char* caption) {
        auto* widget = new QGroupBox(QString::fromUtf8(caption), this);
        place(widget, name, g);
        return widget;
    };

    ListView1 = list("ListView1", {120, 120, 7800, 1695}, m_folderRows, "Folder list");
    ListView2 = list("ListView2", {8040, 630, 7800, 4350}, m_resultRows, "Result list");
    // After a search the second column holds the dates; only the path is elided.
    ListView2->SetDateColumn(1);
    // Double-click and Delete remove the current folder row alone, so no other row may look selected.
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    PushButton3 = button("PushButton3", {120, 1900, 3840, 405}, "Add Folder to Search");
    PushButton1 = button("PushButton1", {8040, 120, 7800, 405}, "Start Searching");
    PushButton2 = button("PushButton2", {8040, 5070, 3840, 405}, "Save Results As Text File");
    PushButton6 = button("PushButton6", {8040, 5580, 3840, 405}, "Clear List");
    Frame2 = frame("Frame2", {120, 2865, 7800, 735}, "Find by which date?");
    Option1 = option(Frame2, "Option1", {240, 300, 1575, 255}, "Date Modified");
    Option2 = option(Frame2, "Option2", {1920, 300, 1575, 255}, "Date Created");
    Option3 = option(Frame2, "Option3", {3600, 300, 1695, 255}, "Date Accessed");
    Frame1 = frame("Frame1", {120, 3660, 7800, 2835}, "Select Range");
    Option4 = option(Frame1, "Option4", {240, 1860, 1935, 255}, "Between:");
    Option5 = option(Frame1, "Option5", {240, 1360, 1935, 255}, "On this date:");
    Option6 = option(Frame1, "Option6", {240, 860, 1935, 255}, "Before this date:");
    Option7 = option(Frame1, "Option7", {240, 360, 1935, 255}, "After this date:");
    DTPicker1 = picker("DTPicker1", {2280, 300, 4335, 375}, "After this date");
    DTPicker2 = picker("DTPicker2", {2280, 800, 4335, 375}, "Before this date");
    DTPicker3 = picker("DTPicker3", {2280, 1300, 4335, 375}, "On this date");
    DTPicker4 = picker("DTPicker4", {2280, 1800, 3975, 375}, "Between, first date");
    DTPicker5 = picker("DTPicker5", {2280, 2300, 4335, 375}, "Between, second date");
    Label1 = new QLabel(QStringLiteral("and"), Frame1);
    place(Label1, "Label1", {6360, 1860, 315, 255});
    PushButton4 = button("PushButton4", {12000, 5070, 3840, 405}, "Copy Results To Clipboard");
    PushButton5 = button("PushButton5", {8040, 6090, 7800, 405}, "Send Checked To Recycle Bin");
    PushButton7 = button("PushButton7", {120, 2410, 3840, 405}, "Help");
    PushButton11 = button("PushButton11", {12000, 5580, 3840, 405}, "Move Checked To Another Folder");
    PushButton8 = button("PushButton8", {4080, 2410, 3840, 405}, "Load Sample/Example Folders");
    PushButton9 = button("PushButton9", {4080, 1900, 3840, 405}, "Clear List");
    // The two "Clear List" buttons keep their caption as name and tell their lists apart.
    PushButton9->setAccessibleDescription(QStringLiteral("Empties the folder list"));
    PushButton6->setAccessibleDescription(QStringLiteral("Empties the result list"));

    Option1->setChecked(true);
    Option7->setChecked(true);

    const QList<QWidget*> tabOrder = {ListView1, ListView2, PushButton3, PushButton1, PushButton2,
                                      PushButton6, Option1, Option2, Option3, Option4,
                                      Option5, Option6, Option7, DTPicker1, DTPicker2,
                                      DTPicker3, DTPicker4, DTPicker5, PushButton4, PushButton5,
                                      PushButton7, PushButton11, PushButton8, PushButton9};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    m_controls = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);

    setMouseTracking(true);
    for (QPushButton* widget : findChildren<QPushButton*>())
        TrackPointer(widget, MousePointer::Custom);
    for (QWidget* widget : {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Frame2),
                            ListView1->viewport(), ListView2->viewport()})
        TrackPointer(widget, MousePointer::Default);
    ListView1->installEventFilter(this);
}

void Form1::CreateScrollBars()
{
    m_horizontalBar = new QScrollBar(Qt::Horizontal, this);
    m_verticalBar = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {m_horizontalBar, m_verticalBar}) {
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setSingleStep(Twips(405));
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this,
                [this] { ScrollTo(QPoint(m_horizontalBar->value(), m_verticalBar->value())); });
    }
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && isAncestorOf(now))
            EnsureVisible(now);
    });
}

void Form1::FitToScreen()
{
    const QSize design(Twips(kClientWidth), Twips(kClientHeight));
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    // The window manager's frame, once the window has one, takes room as well.
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
    const QSize room = (screen()->availableGeometry().size() - frame).expandedTo(QSize(bar * 4, bar * 4));
    bool wide = design.width() > room.width();
    const bool tall = design.height() > room.height() - (wide ? bar : 0);
    wide = design.width() > room.width() - (tall ? bar : 0);
    const QSize window(std::min(design.width() + (tall ? bar : 0), room.width()),
                       std::min(design.height() + (wide ? bar : 0), room.height()));
    const QSize view = window - QSize(tall ? bar : 0, wide ? bar : 0);
    setFixedSize(window);
    m_horizontalBar->setGeometry(0, view.height(), view.width(), bar);
    m_verticalBar->setGeometry(view.width(), 0, bar, view.height());
    m_horizontalBar->setRange(0, design.width() - view.width());
    m_verticalBar->setRange(0, design.height() - view.height());
    m_horizontalBar->setPageStep(view.width());
    m_verticalBar->setPageStep(view.height());
    m_horizontalBar->setVisible(wide);
    m_verticalBar->setVisible(tall);
    m_horizontalBar->raise();
    m_verticalBar->raise();
}

void Form1::ScrollTo(const QPoint& offset)
{
    const QPoint delta = offset - m_scrolled;
    m_scrolled = offset;
    for (QWidget* control : std::as_const(m_controls))
        control->move(control->pos() - delta);
}

void Form1::EnsureVisible(QWidget* widget)
{
    const QRect area(0, 0, m_verticalBar->isVisible() ? m_verticalBar->x() : width(),
                     m_horizontalBar->isVisible() ? m_horizontalBar->y() : height());
    const QRect control(widget->mapTo(this, QPoint()), widget->size());
    // A little of the surroundings shows with the control.
    const int margin = Twips(120);
    const auto scroll = [margin](QScrollBar* bar, int first, int last, int areaEnd) {
        if (last > areaEnd)
            bar->setValue(bar->value() + std::min(last - areaEnd + margin, first));
        else if (first < 0)
            bar->setValue(bar->value() + first - margin);
    };
    scroll(m_horizontalBar, control.left(), control.right() + 1, area.width());
    scroll(m_verticalBar, control.top(), control.bottom() + 1, area.height());
}

void Form1::showEvent(QShowEvent* event)
{
    FitToScreen();
    // A window taken to another screen fits that one.
    if (!m_followsScreen && windowHandle()) {
        m_followsScreen = true;
        connect(windowHandle(), &QWindow::screenChanged, this, &Form1::FitToScreen);
    }
    QWidget::showEvent(event);
}

void Form1::wheelEvent(QWheelEvent* event)
{
    // The wheel over the window's background scrolls its client area.
    QScrollBar* bar = m_verticalBar->isVisible() ? m_verticalBar : m_horizontalBar;
    if (bar->isVisible())
        QCoreApplication::sendEvent(bar, event);
    else
        QWidget::wheelEvent(event);
}

void Form1::ConnectHandlers()
{
    connect(PushButton1, &QPushButton::clicked, this, &Form1::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(PushButton3, &QPushButton::clicked, this, &Form1::PushButton3_Click);
    connect(PushButton4, &QPushButton::clicked, this, &Form1::PushButton4_Click);
    connect(PushButton5, &QPushButton::clicked, this, &Form1::PushButton5_Click);
    connect(PushButton6, &QPushButton::clicked, this, &Form1::PushButton6_Click);
    connect(PushButton7, &QPushButton::clicked, this, &Form1::PushButton7_Click);
    connect(PushButton8, &QPushButton::clicked, this, &Form1::PushButton8_Click);
    connect(PushButton9, &QPushButton::clicked, this, &Form1::PushButton9_Click);
    connect(PushButton11, &QPushButton::clicked, this, &Form1::PushButton11_Click);
    // The picker rule follows a range option turning on however that happens
    // (mouse, keyboard, accessibility action), and a click on the one already on.
    const std::pair<QRadioButton*, void (Form1::*)()> rangeOptions[] = {
        {Option4, &Form1::Option4_Click}, {Option5, &Form1::Option5_Click},
        {Option6, &Form1::Option6_Click}, {Option7, &Form1::Option7_Click}};
    for (const auto& [option, handler] : rangeOptions) {
        connect(option, &QRadioButton::clicked, this, handler);
        connect(option, &QRadioButton::toggled, this, [this, handler = handler](bool on) {
            if (on)
                (this->*handler)();
        });
    }
}

void Form1::TrackPointer(QWidget* widget, int pointer)
{
    widget->setMouseTracking(true);
    widget->setProperty("orvantaPointer", pointer);
    widget->installEventFilter(this);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        const QVariant pointer = watched->property("orvantaPointer");
        if (pointer.isValid() && m_mousePointer != MousePointer::Hourglass
            && DirectlyOver(*static_cast<QWidget*>(watched), *static_cast<QMouseEvent*>(event)))
            SetMousePointer(pointer.toInt());
    } else if (event->type() == QEvent::KeyPress && IsPressKey(*static_cast<QKeyEvent*>(event))
               && qobject_cast<QPushButton*>(watched)) {
        // Return and Enter press a focused button, as Space does.
        static_cast<QPushButton*>(watched)->click();
        return true;
    } else if (event->type() == QEvent::KeyPress && watched == ListView1) {
        const auto* key = static_cast<QKeyEvent*>(event);
        ListView1_KeyDown(WindowsKeyCode(key->key()), ShiftState(key->modifiers()));
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == ListView1->viewport()
               && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // Wherever it lands, over a row or the blank area below them.
        ListView1_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    if (m_mousePointer != MousePointer::Hourglass && DirectlyOver(*this, *event))
        SetMousePointer(MousePointer::Default);
    QWidget::mouseMoveEvent(event);
}

void Form1::SetMousePointer(int value)
{
    // The hourglass of an enclosing long command guards the folder list until that command ends.
    if (m_keepHourglass)
        value = MousePointer::Hourglass;
    m_mousePointer = value;
    if (value == MousePointer::Hourglass)
        setCursor(Qt::WaitCursor);
    else if (value == MousePointer::Custom && m_customCursor)
        setCursor(*m_customCursor);
    else
        unsetCursor();
}

void Form1::RefreshTitle()
{
    setWindowTitle(QString::fromUtf8(Product::kName));
    setWindowIcon(ProgramIcon());
    SetApplicationTitle();
}

void Form1::Form_Load()
{
    ErrorTrap trap(m_seams.dialogs, this, QLatin1String(LocationTag::kFormLoad));
    trap.Run(100, [&] { ApplySkin(); });
    trap.Run(104, [&] { RefreshTitle(); });
    const QString cursorPath = m_programFolder + QStringLiteral("/HAND-M.CUR");
    if (trap.Test(106, [&] { return m_seams.fileSystem.FileExistsByDate(cursorPath); }))
        trap.Run(108, [&] { m_customCursor = LoadHandCursor(m_seams.fileSystem.ReadFile(cursorPath)); });
    trap.Run(110, [&] { OccasionalWebSiteVisit(); });
    trap.Run(128, [&] { m_folderRows->AddColumn(QStringLiteral("Folder(s)")); });
    trap.Run(130, [&] { m_folderRows->SetColumnWidthTwips(1, 7000); });
    trap.Run(132, [&] { m_resultRows->AddColumn(QStringLiteral("Results")); });
    trap.Run(134, [&] { m_resultRows->SetColumnWidthTwips(1, 7000); });
    const QDate today = QDate::currentDate();
    int step = 136;
    for (QDateEdit* picker : {DTPicker1, DTPicker2, DTPicker3, DTPicker4, DTPicker5}) {
        trap.Run(step, [&] { picker->setDate(today); });
        step += 2;
    }
}

void Form1::ApplySkin()
{
    const QString skinPath = m_programFolder + QStringLiteral("/x/o.cjs");
    // A link to the skin file counts as the file; a folder of that name does not.
    if (!m_seams.fileSystem.FileExistsByDate(skinPath) || m_seams.fileSystem.IsExistingFolder(skinPath))
        return;
    // The skin's button face goes with the theme's own text colours.
    setPalette(QPalette());
    ApplySkinFile(*this, m_seams.fileSystem.ReadFile(skinPath));
}

void Form1::OccasionalWebSiteVisit()
{
    const int draw = static_cast<int>(m_random() * 100) + 1;
    if (draw == kWebSiteDraw)
        m_seams.shell.OpenUrl(QUrl(QString::fromUtf8(Product::kWebSite)));
}

void Form1::PushButton7_Click()
{
    ErrorTrap trap(m_seams.dialogs, this, QLatin1String(LocationTag::kHelp));
    trap.Run(100, [&] {
        m_seams.dialogs.ShowMessage(this, ApplicationTitle(),
                                    QStringLiteral("Questions? Please contact Team Halvecore at ")
                                        + QString::fromUtf8(Product::kContactPage));
    });
}

void Form1::BeginLongCommand()
{
    m_longCommands.push_back(m_keepHourglass);
    m_keepHourglass = m_keepHourglass || m_mousePointer == MousePointer::Hourglass;
}

void Form1::EndLongCommand()
{
    m_keepHourglass = m_longCommands.back();
    m_longCommands.pop_back();
    if (m_longCommands.empty() && m_seams.pump.Closing())
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (!m_longCommands.empty()) {
        m_seams.pump.RequestClose();
        emit CloseRequested();
        event->ignore();
        return;
    }
    event->accept();
}
