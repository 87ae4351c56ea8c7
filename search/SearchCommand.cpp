#include "search/SearchCommand.h"

#include "app/core/ApplicationTitle.h"
#include "app/core/CommandWindow.h"
#include "app/core/Dialogs.h"
#include "app/core/ErrorTrap.h"
#include "app/core/EventPump.h"
#include "app/core/MousePointer.h"
#include "app/core/ProductTexts.h"
#include "app/core/RowList.h"
#include "app/core/Seams.h"
#include "app/core/Timestamp.h"
#include "search/ListMatchingFiles.h"
#include "search/NestedFolderRows.h"
#include "search/SearchControls.h"
#include "search/SearchState.h"
#include "search/WalkJob.h"

#include <QLocale>
#include <QTimer>

namespace {
constexpr char kStopCaption[] = "Stop";
constexpr int kProgressIntervalMs = 250;

DateType ChosenDateType(const SearchControls& controls)
{
    return controls.CheckedDateType().value_or(DateType::Modified);
}

// One run of "Start Searching", from its start to its last row.
class SearchRun {
public:
    SearchRun(const SearchCommand::Parts& parts, ErrorTrap& trap)
        : m_parts(parts), m_trap(trap), m_generation(++m_parts.state.Generation)
    {
    }

    void Run();

private:
    bool Stopped() const
    {
        return m_parts.state.StopSearch || m_parts.state.Generation != m_generation || m_parts.seams.pump.Closing();
    }
    // Ends the run when it was stopped: the title refresh (where asked) and the default pointer.
    bool StopCheck(bool refreshTitle)
    {
        if (!Stopped())
            return false;
        if (refreshTitle)
            m_parts.window.RefreshTitle();
        m_parts.window.SetMousePointer(MousePointer::Default);
        return true;
    }

    bool RemoveNestedFolders();
    bool Walk();
    void RebuildColumns();
    QString ProgressCaption(const WalkJob& job) const;

    const SearchCommand::Parts& m_parts;
    ErrorTrap& m_trap;
    const int m_generation;
};

void SearchRun::Run()
{
    const LongCommand guard(m_parts.window);
    m_trap.Run(104, [&] { m_parts.state.SavedStartCaption = m_parts.controls.StartCaption(); });
    m_trap.Run(106, [&] { m_parts.controls.SetStartCaption(QLatin1String(kStopCaption)); });
    m_trap.Run(108, [&] { m_parts.state.StopSearch = false; });
    m_trap.Run(110, [&] { m_parts.state.FoundFiles.Clear(); });
    m_trap.Run(118, [&] { m_parts.window.SetMousePointer(MousePointer::Hourglass); });
    RefreshLocalTimeZone();

    if (!RemoveNestedFolders())
        return;
    m_trap.Run(168, [&] { m_parts.window.RefreshTitle(); });
    if (!Walk())
        return;
    m_trap.Run(240, [&] { m_parts.window.RefreshTitle(); });
    if (StopCheck(false))
        return;
    RebuildColumns();
    if (StopCheck(false))
        return;
    m_trap.Run(276, [&] { ListMatchingFiles(m_parts.state, m_parts.results, m_parts.controls, m_parts.seams.pump, m_parts.window, m_generation); });
    m_trap.Run(278, [&] { m_parts.window.SetMousePointer(MousePointer::Default); });
    m_trap.Run(280, [&] { m_parts.controls.SetStartCaption(m_parts.state.SavedStartCaption); });
}

bool SearchRun::RemoveNestedFolders()
{
    RowList& folders = m_parts.folders;
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
            m_parts.seams.dialogs.ShowMessage(
                m_parts.window.Owner(), ApplicationTitle(),
                folders.Text(row)
                    + QStringLiteral(" will be removed because it is a subfolder of another folder that you added."));
        });
        m_trap.Run(156, [&] { folders.Remove(row); });
        m_trap.Run(158, [&] { m_parts.seams.pump.Point(); });
        if (StopCheck(true))
            return false;
    }
    return true;
}

bool SearchRun::Walk()
{
    QStringList rows;
    m_trap.Run(170, [&] {
        const int count = m_parts.folders.Count();
        for (int i = 1; i <= count; ++i)
            rows << m_parts.folders.Text(i);
    });
    const auto job = std::make_shared<WalkJob>(m_parts.seams.fileSystem, rows, ChosenDateType(m_parts.controls));

    QTimer progress;
    QObject::connect(&progress, &QTimer::timeout, [this, job] { m_parts.window.SetCaption(ProgressCaption(*job)); });
    progress.start(kProgressIntervalMs);

    m_parts.state.CurrentWalk = job;
    m_parts.state.StartWalk(job);
    const bool finished = job->Wait([this](const WalkJob::PendingFailure& failure) {
        ErrorTrap(m_parts.seams.dialogs, m_parts.window.Owner(), QLatin1String(failure.locationTag))
            .Report(failure.step, failure.description);
    });
    if (m_parts.state.CurrentWalk == job)
        m_parts.state.CurrentWalk.reset();
    // The stop checks of the walk: the title refresh and the default pointer.
    if (!finished || Stopped()) {
        m_parts.window.RefreshTitle();
        m_parts.window.SetMousePointer(MousePointer::Default);
        return false;
    }
    m_parts.state.FoundFiles = std::move(job->Found());
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
    RowList& results = m_parts.results;
    m_trap.Run(246, [&] { results.Clear(); });
    for (int column = results.ColumnCount(); column >= 1; --column)
        m_trap.Run(250, [&] { results.RemoveColumn(column); });
    m_trap.Run(254, [&] { results.AddColumn(QStringLiteral("File(s) Found")); });
    m_trap.Run(256, [&] { results.SetColumnWidthTwips(1, 5000); });
    const std::optional<DateType> dateType = m_parts.controls.CheckedDateType();
    if (dateType == DateType::Modified)
        m_trap.Run(260, [&] { results.AddColumn(QStringLiteral("Date Modified")); });
    if (dateType == DateType::Created)
        m_trap.Run(264, [&] { results.AddColumn(QStringLiteral("Date Created")); });
    if (dateType == DateType::Accessed)
        m_trap.Run(268, [&] { results.AddColumn(QStringLiteral("Date Accessed")); });
    m_trap.Run(270, [&] { results.SetColumnWidthTwips(2, 2000); });
}
}  // namespace

void SearchCommand::Run()
{
    ErrorTrap trap(m_parts.seams.dialogs, m_parts.window.Owner(), QLatin1String(LocationTag::kSearch));
    if (trap.Test(100, [&] { return m_parts.folders.Count() == 0; }, false)) {
        trap.Run(288, [&] {
            m_parts.seams.dialogs.ShowMessage(m_parts.window.Owner(), ApplicationTitle(), QStringLiteral("No folders added."));
        });
        return;
    }
    if (trap.Test(102, [&] { return m_parts.controls.StartCaption() == QLatin1String(kStopCaption); }, false)) {
        trap.Run(284, [&] { m_parts.controls.SetStartCaption(m_parts.state.SavedStartCaption); });
        trap.Run(286, [&] {
            m_parts.state.StopSearch = true;
            if (m_parts.state.CurrentWalk)
                m_parts.state.CurrentWalk->Abandon();
        });
        return;
    }
    m_running = true;
    SearchRun(m_parts, trap).Run();
    m_running = false;
}

void SearchCommand::CloseRequested()
{
    if (!m_running)
        return;
    m_parts.state.StopSearch = true;
    if (m_parts.state.CurrentWalk)
        m_parts.state.CurrentWalk->Abandon();
}

void SearchCommand::DateTypeChanged()
{
    // The worker reads the date type per file.
    if (m_running && m_parts.state.CurrentWalk)
        m_parts.state.CurrentWalk->dateType.store(ChosenDateType(m_parts.controls));
}
