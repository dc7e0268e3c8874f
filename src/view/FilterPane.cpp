#include "FilterPane.h"

#include "CQuarvelDoc.h"
#include "FilteredLinesView.h"
#include "LogModel.h"
#include "LogText.h"
#include "MatchIndex.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace {

// Each slice of the index's work: short enough that typing and scrolling
// never wait on it.
constexpr auto kScanSlice = std::chrono::milliseconds(15);
// Typing applies the text this long after the last key.
constexpr int kTypingPauseMs = 300;

QString KindButtonText(LineEvent event) {
    switch (event) {
    case LineEvent::Chat:
        return QStringLiteral("Chat");
    case LineEvent::Kill:
        return QStringLiteral("Kills");
    case LineEvent::Connect:
        return QStringLiteral("Connects");
    case LineEvent::Rename:
        return QStringLiteral("Renames");
    case LineEvent::None:
        break;
    }
    return {};
}

} // namespace

FilterPane::FilterPane(CQuarvelDoc& document, QWidget* parent)
    : QWidget(parent), document_(document) {
    setObjectName(QStringLiteral("filterPane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(2, 0, 2, 0);
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("filterText"));
    text_->setPlaceholderText(QStringLiteral("Filter"));
    text_->setClearButtonEnabled(true);
    bar->addWidget(text_, 1);
    regExp_ = new QCheckBox(QStringLiteral("Regular e&xpression"), this);
    regExp_->setObjectName(QStringLiteral("filterRegExp"));
    bar->addWidget(regExp_);
    caseSensitive_ = new QCheckBox(QStringLiteral("&Case sensitive"), this);
    caseSensitive_->setObjectName(QStringLiteral("filterCase"));
    bar->addWidget(caseSensitive_);
    for (std::size_t k = 0; k < kKinds.size(); ++k) {
        kindButtons_[k] = AddToggle(KindButtonText(kKinds[k]),
                                    QStringLiteral("filterKind%1").arg(KindButtonText(kKinds[k])));
        bar->addWidget(kindButtons_[k]);
    }
    player_ = new QLabel(this);
    player_->setObjectName(QStringLiteral("filterPlayer"));
    player_->hide();
    bar->addWidget(player_);
    dropPlayer_ = new QToolButton(this);
    dropPlayer_->setObjectName(QStringLiteral("filterDropPlayer"));
    dropPlayer_->setText(QStringLiteral("x"));
    dropPlayer_->setToolTip(QStringLiteral("Show every player's lines"));
    dropPlayer_->hide();
    bar->addWidget(dropPlayer_);
    exclude_ = new QCheckBox(QStringLiteral("E&xclude"), this);
    exclude_->setObjectName(QStringLiteral("filterExclude"));
    exclude_->setToolTip(QStringLiteral("Show the lines the filter does not take"));
    bar->addWidget(exclude_);
    shows_ = new QComboBox(this);
    shows_->setObjectName(QStringLiteral("filterShows"));
    shows_->addItems(
        {QStringLiteral("Matches"), QStringLiteral("Marks"), QStringLiteral("Matches and marks")});
    bar->addWidget(shows_);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("filterCount"));
    bar->addWidget(count_);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("filterProgress"));
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    progress_->setMaximumWidth(120);
    progress_->hide();
    bar->addWidget(progress_);
    layout->addLayout(bar);

    lines_ = new FilteredLinesView(document_.model(), this);
    layout->addWidget(lines_, 1);
    setFocusProxy(text_);

    scanSoon_.setSingleShot(true);
    scanSoon_.setInterval(0);
    connect(&scanSoon_, &QTimer::timeout, this, &FilterPane::ScanSlice);
    typingPause_.setSingleShot(true);
    typingPause_.setInterval(kTypingPauseMs);
    connect(&typingPause_, &QTimer::timeout, this, &FilterPane::ApplyFilter);
    connect(text_, &QLineEdit::textEdited, &typingPause_, qOverload<>(&QTimer::start));
    connect(text_, &QLineEdit::returnPressed, this, &FilterPane::ApplyFilter);
    for (QCheckBox* option : {regExp_, caseSensitive_, exclude_}) {
        connect(option, &QCheckBox::toggled, this, &FilterPane::ApplyFilter);
    }
    connect(dropPlayer_, &QToolButton::clicked, this, [this] { SetPlayer({}, {}); });
    connect(shows_, &QComboBox::currentIndexChanged, this, [this] {
        UpdateList(true);
        ShowProgress();
    });
    connect(&document_, &CQuarvelDoc::marksChanged, this, [this] {
        if (shows() != Shows::Matches) {
            UpdateList(false);
            ShowProgress();
        }
    });
    connect(&document_, &CQuarvelDoc::linesAppended, this, &FilterPane::OnLinesCame);
    connect(&document_, &CQuarvelDoc::loadProgressed, this, &FilterPane::OnLinesCame);
    connect(&document_, &CQuarvelDoc::loadFinished, this, &FilterPane::OnLinesCame);
    connect(&document_, &CQuarvelDoc::reloaded, this, &FilterPane::OnReloaded);
    ApplyFilter();
}

FilterPane::~FilterPane() = default;

QToolButton* FilterPane::AddToggle(const QString& text, const QString& name) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(text);
    button->setCheckable(true);
    button->setToolTip(QStringLiteral("Show the %1 lines").arg(text.toLower()));
    connect(button, &QToolButton::toggled, this, &FilterPane::ApplyFilter);
    return button;
}

void FilterPane::SetText(const QString& text, bool regExp) {
    const QSignalBlocker blockRegExp(regExp_);
    text_->setText(text);
    regExp_->setChecked(regExp);
    ApplyFilter();
}

FilterPane::Shows FilterPane::shows() const {
    return static_cast<Shows>(std::clamp(shows_->currentIndex(), 0, 2));
}

void FilterPane::SetShows(Shows shows) {
    shows_->setCurrentIndex(static_cast<int>(shows));
}

void FilterPane::UpdateList(bool anew) {
    const LineSet* set = nullptr;
    if (shows() == Shows::Matches) {
        set = index_ != nullptr ? &index_->hits() : nullptr;
    } else {
        shown_ = document_.marks();
        if (shows() == Shows::Both && index_ != nullptr) {
            shown_ |= index_->hits();
        }
        set = &shown_;
    }
    if (anew || lines_->shownSet() != set) {
        lines_->ShowHits(set);
    } else {
        lines_->TakeNewHits();
    }
    emit listChanged();
}

const LineSet* FilterPane::matches() const {
    return index_ != nullptr ? &index_->hits() : nullptr;
}

void FilterPane::SetPlayer(const std::string& guid, const QString& name) {
    playerGuid_ = guid;
    player_->setText(QStringLiteral("Player: %1").arg(name));
    player_->setToolTip(QString::fromStdString(guid));
    player_->setVisible(!guid.empty());
    dropPlayer_->setVisible(!guid.empty());
    ApplyFilter();
}

LineFilter FilterPane::FilterFromBar() const {
    LineFilter filter;
    if (!text_->text().isEmpty()) {
        filter.text = TextCriterion{QStringToLogText(text_->text()), regExp_->isChecked(),
                                    caseSensitive_->isChecked(), false};
    }
    for (std::size_t k = 0; k < kKinds.size(); ++k) {
        if (kindButtons_[k]->isChecked()) {
            if (!filter.kinds) {
                filter.kinds.emplace();
            }
            filter.kinds->kinds.Add(kKinds[k]);
        }
    }
    if (!playerGuid_.empty()) {
        filter.player = PlayerCriterion{playerGuid_, false};
    }
    filter.exclude = exclude_->isChecked();
    return filter;
}

void FilterPane::ApplyFilter() {
    typingPause_.stop();
    scanSoon_.stop();
    // The list lets go of the old set before it goes.
    lines_->ShowHits(nullptr);
    index_.reset();
    shown_.Clear();
    const LineFilter filter = FilterFromBar();
    if (!filter.text && !filter.kinds && !filter.player) {
        idleText_ = QStringLiteral("Type a text, or choose kinds of lines");
    } else {
        try {
            index_ = std::make_unique<MatchIndex>(filter);
            idleText_.clear();
        } catch (const std::runtime_error&) {
            // boost::regex_error: empty, malformed or unsafe.
            idleText_ = QStringLiteral("Bad regular expression supplied");
        }
    }
    UpdateList(true);
    if (index_ != nullptr) {
        scanSoon_.start();
    }
    ShowProgress();
}

void FilterPane::ScanSlice() {
    if (index_ == nullptr) {
        return;
    }
    const ScanReport report = index_->Scan(document_.model(), kScanSlice);
    UpdateList(false);
    if (!report.caughtUp && index_->stop() == IndexStop::None) {
        scanSoon_.start();
    }
    ShowProgress();
}

void FilterPane::ScanToEnd() {
    if (index_ != nullptr) {
        scanSoon_.stop();
        index_->ScanAll(document_.model());
        UpdateList(false);
        ShowProgress();
    }
}

QString FilterPane::countText() const {
    return count_->text();
}

void FilterPane::ShowProgress() {
    if (index_ == nullptr && shows() == Shows::Matches) {
        count_->setText(idleText_);
        progress_->hide();
        return;
    }
    const int hits = lines_->lineCount();
    QString text = hits == 1 ? QStringLiteral("1 line")
                             : QStringLiteral("%1 lines").arg(QLocale().toString(hits));
    if (index_ != nullptr && index_->stop() == IndexStop::TooMuchWork) {
        text += QStringLiteral(" (stopped at line %1: the expression takes too much work)")
                    .arg(QLocale().toString(index_->scannedLines() + 1));
    }
    count_->setText(text);
    const int total = document_.model().lineCount();
    const bool working = index_ != nullptr && scanSoon_.isActive() && total > 0;
    progress_->setVisible(working);
    if (working) {
        progress_->setValue(
            static_cast<int>(static_cast<std::int64_t>(index_->scannedLines()) * 1000 / total));
    }
}

void FilterPane::OnLinesCame() {
    if (index_ != nullptr && index_->stop() == IndexStop::None && !scanSoon_.isActive()) {
        scanSoon_.start();
    }
}

void FilterPane::OnReloaded() {
    // Every line is another now: the index forgets what it found.
    if (index_ != nullptr) {
        index_->Reset();
        scanSoon_.start();
    }
    UpdateList(true);
    ShowProgress();
}
