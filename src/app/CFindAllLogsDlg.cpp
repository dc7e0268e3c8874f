#include "CFindAllLogsDlg.h"

#include "CQuarvelDoc.h"
#include "LogModel.h"
#include "LogText.h"
#include "MatchIndex.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <chrono>
#include <stdexcept>

namespace {

constexpr auto kFindAllSlice = std::chrono::milliseconds(15);
constexpr int kPathRole = Qt::UserRole;
constexpr int kLineRole = Qt::UserRole + 1;

} // namespace

// One open log's part of the search.
struct CFindAllLogsDlg::LogSearch {
    std::weak_ptr<CQuarvelDoc> document;
    std::unique_ptr<MatchIndex> index;
    // The first line whose hit is not listed yet.
    int listedTo = 0;
};

CFindAllLogsDlg::CFindAllLogsDlg(Documents documents, QWidget* parent)
    : QDialog(parent), documents_(std::move(documents)) {
    setObjectName(QStringLiteral("findAllLogs"));
    setWindowTitle(QStringLiteral("Find in all logs"));
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("findAllText"));
    regExp_ = new QCheckBox(QStringLiteral("Regular e&xpression"), this);
    regExp_->setObjectName(QStringLiteral("findAllRegExp"));
    caseSensitive_ = new QCheckBox(QStringLiteral("&Case sensitive"), this);
    caseSensitive_->setObjectName(QStringLiteral("findAllCase"));
    auto* find = new QPushButton(QStringLiteral("&Find"), this);
    find->setObjectName(QStringLiteral("findAllButton"));
    find->setDefault(true);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("findAllStatus"));
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    progress_->hide();
    results_ = new QTreeWidget(this);
    results_->setObjectName(QStringLiteral("findAllResults"));
    results_->setColumnCount(3);
    results_->setHeaderLabels(
        {QStringLiteral("Log"), QStringLiteral("Line"), QStringLiteral("Text")});
    results_->setRootIsDecorated(false);
    results_->setUniformRowHeights(true);
    results_->header()->setStretchLastSection(true);

    auto* row = new QHBoxLayout;
    row->addWidget(text_, 1);
    row->addWidget(regExp_);
    row->addWidget(caseSensitive_);
    row->addWidget(find);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(status_, 1);
    statusRow->addWidget(progress_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(statusRow);
    layout->addWidget(results_, 1);
    resize(760, 440);

    scanSoon_.setSingleShot(true);
    scanSoon_.setInterval(0);
    connect(&scanSoon_, &QTimer::timeout, this, &CFindAllLogsDlg::ScanSlice);
    connect(find, &QPushButton::clicked, this, &CFindAllLogsDlg::StartSearch);
    connect(text_, &QLineEdit::returnPressed, this, &CFindAllLogsDlg::StartSearch);
    connect(results_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { OnItemActivated(item); });
}

CFindAllLogsDlg::~CFindAllLogsDlg() = default;

QString CFindAllLogsDlg::statusText() const {
    return status_->text();
}

void CFindAllLogsDlg::StartSearch() {
    scanSoon_.stop();
    searches_.clear();
    results_->clear();
    current_ = 0;
    hitCount_ = 0;
    error_.clear();
    if (text_->text().isEmpty()) {
        ShowStatus();
        return;
    }
    LineFilter filter;
    filter.text = TextCriterion{QStringToLogText(text_->text()), regExp_->isChecked(),
                                caseSensitive_->isChecked(), false};
    for (const std::shared_ptr<CQuarvelDoc>& document : documents_()) {
        try {
            searches_.push_back({document, std::make_unique<MatchIndex>(filter), 0});
        } catch (const std::runtime_error&) {
            // boost::regex_error: empty, malformed or unsafe.
            searches_.clear();
            error_ = QStringLiteral("Bad regular expression supplied");
            break;
        }
    }
    if (!searches_.empty()) {
        scanSoon_.start();
    }
    ShowStatus();
}

void CFindAllLogsDlg::ScanSlice() {
    while (current_ < searches_.size()) {
        LogSearch& search = searches_[current_];
        const std::shared_ptr<CQuarvelDoc> document = search.document.lock();
        if (document == nullptr) {
            ++current_; // closed meanwhile
            continue;
        }
        const ScanReport report = search.index->Scan(document->model(), kFindAllSlice);
        ListNewHits(search);
        if (report.caughtUp || search.index->stop() != IndexStop::None) {
            ++current_;
        }
        break;
    }
    if (current_ < searches_.size()) {
        scanSoon_.start();
    }
    ShowStatus();
}

void CFindAllLogsDlg::ListNewHits(LogSearch& search) {
    const std::shared_ptr<CQuarvelDoc> document = search.document.lock();
    if (document == nullptr) {
        return;
    }
    const LogModel& model = document->model();
    QList<QTreeWidgetItem*> items;
    search.index->hits().ForEachFrom(search.listedTo, [&](int line) {
        ++hitCount_;
        search.listedTo = line + 1;
        if (results_->topLevelItemCount() + items.size() < kListedLimit) {
            auto* item = new QTreeWidgetItem({document->displayName(), QString::number(line + 1),
                                              LogTextToQString(model.LineText(line))});
            item->setData(0, kPathRole, document->path());
            item->setData(0, kLineRole, line);
            item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            items.append(item);
        }
        return true;
    });
    results_->addTopLevelItems(items);
}

void CFindAllLogsDlg::ShowStatus() {
    if (!error_.isEmpty()) {
        status_->setText(error_);
        progress_->hide();
        return;
    }
    const int logs = static_cast<int>(searches_.size());
    QString text =
        QStringLiteral("%1 in %2")
            .arg(hitCount_ == 1 ? QStringLiteral("1 line")
                                : QStringLiteral("%1 lines").arg(QLocale().toString(hitCount_)),
                 logs == 1 ? QStringLiteral("1 log") : QStringLiteral("%1 logs").arg(logs));
    if (hitCount_ > kListedLimit) {
        text += QStringLiteral(" (the first %1 listed)").arg(QLocale().toString(kListedLimit));
    }
    for (const LogSearch& search : searches_) {
        if (search.index->stop() == IndexStop::TooMuchWork) {
            text += QStringLiteral("; the expression took too much work in a log");
            break;
        }
    }
    status_->setText(text);
    progress_->setVisible(searching());
    if (searching() && logs > 0) {
        progress_->setValue(static_cast<int>(current_ * 1000 / searches_.size()));
    }
}

void CFindAllLogsDlg::OnItemActivated(QTreeWidgetItem* item) {
    if (item != nullptr) {
        emit hitChosen(item->data(0, kPathRole).toString(), item->data(0, kLineRole).toInt());
    }
}
