#include "app/ApplicationTitle.h"
#include "app/Dialogs.h"
#include "app/ErrorTrap.h"
#include "app/EventPump.h"
#include "app/Form1.h"
#include "app/MousePointer.h"
#include "app/ProductTexts.h"
#include "app/RowList.h"
#include "app/Timestamp.h"
#include "search/ListMatchingFiles.h"
#include "search/NestedFolderRows.h"
#include "search/SearchState.h"
#include "search/WalkJob.h"

#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {
constexpr char kStopCaption[] = "Stop";
constexpr int kProgressIntervalMs = 250;

DateType ChosenDateType(const Form1& form)
{
    if (form.Option1->isChecked())
        return DateType::Modified;
    if (form.Option2->isChecked())
        return DateType::Created;
    if (form.Option3->isChecked())
        return DateType::Accessed;
    return DateType::Modified;
}

// One run of "Start Searching", from its start to its last row.
class SearchRun {
public:
    SearchRun(Form1& form, ErrorTrap& trap)
        : m_form(form), m_state(form.Search()), m_trap(trap), m_generation(++m_state.Generation)
    {
    }

    void Run();

private:
    bool Stopped() const
    {
        return m_state.StopSearch || m_state.Generation != m_generation || m_form.Services().pump.Closing();
    }
    // Ends the run when it was stopped: the title refresh (where asked) and the default pointer.
    bool StopCheck(bool refreshTitle)
    {
        if (!Stopped())
            return false;
        if (refreshTitle)
            m_form.RefreshTitle();
        m_form.SetMousePointer(MousePointer::Default);
        return true;
    }

    bool RemoveNestedFolders();
    bool Walk();
    void RebuildColumns();
    QString ProgressCaption(const WalkJob& job) const;

    Form1& m_form;
    SearchState& m_state;
    ErrorTrap& m_trap;
    const int m_generation;
};

void SearchRun::Run()
{
    const Form1::LongCommand guard(m_form);
    QObject scope;
    QObject::connect(&m_form, &Form1::CloseRequested, &scope, [this] {
        m_state.StopSearch = true;
        if (m_state.CurrentWalk)
            m_state.CurrentWalk->Abandon();
    });

    m_trap.Run(104, [&] { m_state.SavedStartCaption = m_form.PushButton1->text(); });
    m_trap.Run(106, [&] { m_form.PushButton1->setText(QLatin1String(kStopCaption)); });
    m_trap.Run(108, [&] { m_state.StopSearch = false; });
    m_trap.Run(110, [&] { m_state.FoundFiles.Clear(); });
    m_trap.Run(118, [&] { m_form.SetMousePointer(MousePointer::Hourglass); });
    RefreshLocalTimeZone();

    if (!RemoveNestedFolders())
        return;
    m_trap.Run(168, [&] { m_form.RefreshTitle(); });
    if (!Walk())
        return;
    m_trap.Run(240, [&] { m_form.RefreshTitle(); });
    if (StopCheck(false))
        return;
    RebuildColumns();
    if (StopCheck(false))
        return;
    m_trap.Run(276, [&] { ListMatchingFiles(m_form, m_generation); });
    m_trap.Run(278, [&] { m_form.SetMousePointer(MousePointer::Default); });
    m_trap.Run(280, [&] { m_form.PushButton1->setText(m_state.SavedStartCaption); });
}

bool SearchRun::RemoveNestedFolders()
{
    RowList& folders = m_form.FolderRows();
    QStringList texts;
    m_trap.Run(122, [&] {
        for (int i = 1; i <= folders.Count(); ++i)
            texts << folders.Text(i);
    });
    const std::vector<int> nested = NestedFolderRows(texts);
    if (StopCheck(true))
        return false;
    for (auto it = nested.rbegin(); it != nested.rend(); ++it) {
        const int row = *it;
        m_trap.Run(154, [&] {
            m_form.Services().dialogs.ShowMessage(
                &m_form, ApplicationTitle(),
                folders.Text(row)
                    + QStringLiteral(" will be removed because it is a subfolder of another folder that you added."));
        });
        m_trap.Run(156, [&] { folders.Remove(row); });
        m_trap.Run(158, [&] { m_form.Services().pump.Point(); });
        if (StopCheck(true))
            return false;
    }
    return true;
}

bool SearchRun::Walk()
{
    QStringList rows;
    m_trap.Run(170, [&] {
        const int count = m_form.FolderRows().Count();
        for (int i = 1; i <= count; ++i)
            rows << m_form.FolderRows().Text(i);
    });
    const auto job = std::make_shared<WalkJob>(m_form.Services().fileSystem, rows, ChosenDateType(m_form));

    // The worker reads the date type per file; the options keep it current.
    QObject scope;
    for (QRadioButton* option : {m_form.Option1, m_form.Option2, m_form.Option3})
        QObject::connect(option, &QRadioButton::toggled, &scope,
                         [this, job] { job->dateType.store(ChosenDateType(m_form)); });
    QTimer progress;
    QObject::connect(&progress, &QTimer::timeout, &scope,
                     [this, job] { m_form.setWindowTitle(ProgressCaption(*job)); });
    progress.start(kProgressIntervalMs);

    m_state.CurrentWalk = job;
    m_state.StartWalk(job);
    const bool finished = job->Wait([this](const WalkJob::PendingFailure& failure) {
        ErrorTrap(m_form.Services().dialogs, &m_form, QLatin1String(failure.locationTag))
            .Report(failure.step, failure.description);
    });
    if (m_state.CurrentWalk == job)
        m_state.CurrentWalk.reset();
    // The stop checks of the walk: the title refresh and the default pointer.
    if (!finished || Stopped()) {
        m_form.RefreshTitle();
        m_form.SetMousePointer(MousePointer::Default);
        return false;
    }
    m_state.FoundFiles = std::move(job->Found());
    return true;
}

QString SearchRun::ProgressCaption(const WalkJob& job) const
{
    QLocale locale;
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return QString::fromUtf8(Product::kName) + QStringLiteral(" - ")
        + locale.toString(job.progress.files.load()) + QStringLiteral(" files - ") + job.CurrentFolder();
}

void SearchRun::RebuildColumns()
{
    RowList& results = m_form.ResultRows();
    m_trap.Run(246, [&] { results.Clear(); });
    for (int column = results.ColumnCount(); column >= 1; --column)
        m_trap.Run(250, [&] { results.RemoveColumn(column); });
    m_trap.Run(254, [&] { results.AddColumn(QStringLiteral("File(s) Found")); });
    m_trap.Run(256, [&] { results.SetColumnWidthTwips(1, 5000); });
    if (m_form.Option1->isChecked())
        m_trap.Run(260, [&] { results.AddColumn(QStringLiteral("Date Modified")); });
    if (m_form.Option2->isChecked())
        m_trap.Run(264, [&] { results.AddColumn(QStringLiteral("Date Created")); });
    if (m_form.Option3->isChecked())
        m_trap.Run(268, [&] { results.AddColumn(QStringLiteral("Date Accessed")); });
    m_trap.Run(270, [&] { results.SetColumnWidthTwips(2, 2000); });
}
}  // namespace

void Form1::PushButton1_Click()
{
    ErrorTrap trap(m_seams.dialogs, this, QLatin1String(LocationTag::kSearch));
    if (trap.Test(100, [&] { return m_folderRows->Count() == 0; }, false)) {
        trap.Run(288, [&] {
            m_seams.dialogs.ShowMessage(this, ApplicationTitle(), QStringLiteral("No folders added."));
        });
        return;
    }
    if (trap.Test(102, [&] { return PushButton1->text() == QLatin1String(kStopCaption); }, false)) {
        trap.Run(284, [&] { PushButton1->setText(m_search->SavedStartCaption); });
        trap.Run(286, [&] {
            m_search->StopSearch = true;
            if (m_search->CurrentWalk)
                m_search->CurrentWalk->Abandon();
        });
        return;
    }
    SearchRun(*this, trap).Run();
}
