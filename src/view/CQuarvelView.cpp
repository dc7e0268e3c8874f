// The log view as a whole: construction, the update that classifies the log,
// and the commands. Printing is in ViewPrint.cpp, following the file in
// ViewFollow.cpp, Go to in ViewGoTo.cpp, the double-click on a name in
// ViewPlayerPick.cpp.
#include "CQuarvelView.h"

#include "AppConfig.h"
#include "CGoToDlg.h"
#include "CQuarvelDoc.h"
#include "ClassificationProgress.h"
#include "CommandIds.h"
#include "DatabaseUpdateRun.h"
#include "LoadingProgress.h"
#include "ModelLines.h"

#include <QScrollBar>
#include <algorithm>

CQuarvelView::CQuarvelView(CQuarvelDoc& document, const AppConfig& config, QWidget* parent)
    : LogLinesView(std::make_unique<ModelLines>(document.model()), parent), document_(document),
      config_(config) {
    // The document tells every view of its log when the log grows or is
    // loaded again.
    InstallMarkMargin();
    connect(&document_, &CQuarvelDoc::linesAppended, this, &CQuarvelView::OnLinesAppended);
    connect(&document_, &CQuarvelDoc::reloaded, this, &CQuarvelView::OnReloaded);
    connect(&document_, &CQuarvelDoc::loadProgressed, this, &CQuarvelView::OnLoadProgressed);
    connect(&document_, &CQuarvelDoc::loadFinished, this, &CQuarvelView::OnLoadFinished);
    connect(&document_, &CQuarvelDoc::loadCancelled, this,
            [this] { LoadingProgress::Drop(loadingProgress_); });
    connect(&document_, &CQuarvelDoc::liveHarvestChanged, this, &CQuarvelView::commandStateChanged);

    goToDialog_ = new CGoToDlg(this);
}

CQuarvelView::~CQuarvelView() {
    LoadingProgress::Drop(loadingProgress_);
}

bool CQuarvelView::LinesDrawable() const {
    // A log that did not load shows nothing but the background.
    return document_.model().loadStatus() == LoadStatus::Loaded;
}

int CQuarvelView::MeasurableLines() const {
    // Only classified lines are measured: a line's codes are hidden once it
    // is.
    return document_.model().classifiedCount();
}

void CQuarvelView::HoldingLines(const std::function<void()>& work) {
    const CQuarvelDoc::ChangesDeferred deferred(document_);
    work();
}

void CQuarvelView::OnUpdate() {
    const bool hadSelection = selectionActive();
    ResetPositions();
    LogModel& model = document_.model();
    SetLineCount(model.lineCount());
    SetHorizontalPosition();
    SetVerticalPosition();

    if (document_.loading()) {
        // The document classifies in slices; the first screen shows as soon
        // as its lines are in.
        ShowLoadingProgress();
    } else {
        ClassificationProgress progress(*this);
        progress.Run(model);
        viewport()->update();
    }
    // The lines' lengths are known once they are classified.
    RemeasureLines();
    // A followed log is read from its end, where its writer adds to it; a
    // log still loading keeps its end in view as its lines come in.
    if (following()) {
        OnVScroll(QAbstractSlider::SliderToMaximum);
    }
    if (hadSelection) {
        emit commandStateChanged();
    }
}

void CQuarvelView::ShowLoadingProgress() {
    LoadingProgress::Drop(loadingProgress_);
    loadingProgress_ = LoadingProgress::ShowFor(*this);
    if (loadingProgress_ != nullptr) {
        loadingProgress_->SetPermille(document_.loadedPermille());
        connect(loadingProgress_, &LoadingProgress::cancelled, &document_,
                &CQuarvelDoc::CancelLoading);
    }
}

std::vector<int> CQuarvelView::ContextMenuCommands() const {
    std::vector<int> commands = LogLinesView::ContextMenuCommands();
    commands.insert(commands.end(), {0, CommandId::kToggleMark, CommandId::kFilterByPlayer,
                                     CommandId::kFilterBySelection, CommandId::kPlayerInfo});
    return commands;
}

bool CQuarvelView::ServesCommand(int id) const {
    switch (id) {
    case CommandId::kFileReload:
    case CommandId::kPlayerInfo:
    case CommandId::kFilterByPlayer:
    case CommandId::kFilterBySelection:
    case CommandId::kToggleMark:
    case CommandId::kNextMark:
    case CommandId::kPreviousMark:
    case CommandId::kGoTo:
    case CommandId::kDatabaseUpdate:
    case CommandId::kFollowEnd:
    case CommandId::kKeepDatabaseUpdated:
    case CommandId::kFilePrint:
        return true;
    default:
        return LogLinesView::ServesCommand(id);
    }
}

bool CQuarvelView::OnCommand(int id) {
    switch (id) {
    case CommandId::kFileReload:
        document_.Reload();
        return true;
    case CommandId::kPlayerInfo:
        OnPlayerInfo();
        return true;
    case CommandId::kFilterByPlayer:
        OnFilterByPlayer();
        return true;
    case CommandId::kFilterBySelection:
        OnFilterBySelection();
        return true;
    case CommandId::kToggleMark:
        document_.ToggleMark(std::clamp(caretLine(), 0, std::max(lineCount() - 1, 0)));
        return true;
    case CommandId::kNextMark:
    case CommandId::kPreviousMark:
        GoToMark(id == CommandId::kNextMark);
        return true;
    case CommandId::kGoTo:
        OnGoTo();
        return true;
    case CommandId::kDatabaseUpdate:
        OnDatabaseUpdate();
        return true;
    case CommandId::kFollowEnd:
        SetFollowing(!following());
        return true;
    case CommandId::kKeepDatabaseUpdated:
        OnKeepDatabaseUpdated();
        return true;
    default:
        return LogLinesView::OnCommand(id);
    }
}

bool CQuarvelView::IsCommandChecked(int id) const {
    switch (id) {
    case CommandId::kFollowEnd:
        return following();
    case CommandId::kKeepDatabaseUpdated:
        return document_.liveHarvestOn();
    default:
        return LogLinesView::IsCommandChecked(id);
    }
}

bool CQuarvelView::IsCommandEnabled(int id) const {
    switch (id) {
    case CommandId::kFilePrint:
    case CommandId::kFollowEnd:
    case CommandId::kFileReload:
        return true;
    case CommandId::kPlayerInfo:
        return PlayerAtCaret().has_value();
    case CommandId::kFilterByPlayer: {
        const auto player = PlayerAtCaret();
        return player && player->segment.player != nullptr;
    }
    case CommandId::kFilterBySelection:
        return selectionActive() && selection().startLine == selection().endLine;
    case CommandId::kToggleMark:
        return lineCount() > 0;
    case CommandId::kNextMark:
    case CommandId::kPreviousMark:
        return !document_.marks().Empty();
    case CommandId::kKeepDatabaseUpdated:
        // Turning it off is always possible.
        return document_.liveHarvestOn() || !config_.databasePath.empty();
    case CommandId::kGoTo:
        return lineCount() > 0;
    case CommandId::kDatabaseUpdate:
        return IsDatabaseUpdateEnabled(config_.databasePath, updateRunning_);
    default:
        return LogLinesView::IsCommandEnabled(id);
    }
}
