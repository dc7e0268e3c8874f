#include "CServerEditDlg.h"

#include "ConfigValues.h"
#include "LogText.h"
#include "ServerCommands.h"
#include "ServerTestLine.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct FieldTraits {
    ServerKey key;
    const char* label; // with its mnemonic
    const char* name;  // in messages
};

constexpr std::array<FieldTraits, kServerKeyCount> kFields = {{
    {ServerKey::Name, "&Name:", "Name"},
    {ServerKey::Address, "&Address:", "Address"},
    {ServerKey::Port, "&Port:", "Port"},
    {ServerKey::Password, "Pass&word:", "Password"},
    {ServerKey::Log, "&Log file:", "Log file"},
    {ServerKey::Poll, "Poll s&econds:", "Poll seconds"},
    {ServerKey::Kick, "&Kick:", "Kick"},
    {ServerKey::TempKick, "Te&mp-kick:", "Temp-kick"},
    {ServerKey::Say, "Sa&y:", "Say"},
    {ServerKey::Userinfo, "&Userinfo:", "Userinfo"},
}};

const FieldTraits& TraitsOf(ServerKey key) {
    return kFields[static_cast<std::size_t>(key)];
}

// Blanks around these are a slip of the keyboard; elsewhere (a password, a
// path, a command) they may be meant, and the rules refuse them rather than
// guess.
bool TrimmedField(ServerKey key) {
    return key == ServerKey::Name || key == ServerKey::Address || key == ServerKey::Port ||
           key == ServerKey::Poll;
}

// A path is in the file system's encoding; every other value is text of the
// game, Windows-1252 as the log is.
QString FieldText(ServerKey key, const std::string& bytes) {
    return key == ServerKey::Log ? QFile::decodeName(QByteArray::fromStdString(bytes))
                                 : LogTextToQString(bytes);
}

std::optional<std::string> FieldBytes(ServerKey key, const QString& text) {
    if (key == ServerKey::Log) {
        const QByteArray bytes = QFile::encodeName(text);
        return QFile::decodeName(bytes) == text ? std::optional(bytes.toStdString()) : std::nullopt;
    }
    std::string bytes = QStringToLogText(text);
    return LogTextToQString(bytes) == text ? std::optional(std::move(bytes)) : std::nullopt;
}

} // namespace

QString ServerFieldProblem(ServerKey key, std::string_view value) {
    const std::string why = CheckServerField(key, value);
    return why.empty() ? QString()
                       : QString::fromLatin1(TraitsOf(key).name) + QStringLiteral(": ") +
                             QString::fromStdString(why);
}

CServerEditDlg::CServerEditDlg(const QString& title, const ServerValues& values, QWidget* parent)
    : QDialog(parent), values_(values), messageBoxes_(this), messages_(&messageBoxes_) {
    setWindowTitle(title);
    // Made in the order Tab walks them: each field, and the button beside it.
    for (const ServerKey key : kServerKeys) {
        auto* edit = new QLineEdit(FieldText(key, values[key]), this);
        edit->setObjectName(QString::fromLatin1(ServerKeyText(key).data()));
        fields_[static_cast<std::size_t>(key)] = edit;
        if (const auto command = ServerCommandOfKey(ServerKeyText(key))) {
            edit->setPlaceholderText(LogTextToQString(DefaultCommandTemplate(*command)));
        }
        if (key == ServerKey::Password) {
            edit->setEchoMode(QLineEdit::Password);
            showPassword_ = new QCheckBox(QStringLiteral("&Show"), this);
            showPassword_->setObjectName(QStringLiteral("showPassword"));
            connect(showPassword_, &QCheckBox::toggled, edit, [edit](bool shown) {
                edit->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
            });
        } else if (key == ServerKey::Log) {
            browse_ = new QPushButton(QStringLiteral("&Browse..."), this);
            browse_->setObjectName(QStringLiteral("browseButton"));
            connect(browse_, &QPushButton::clicked, this, &CServerEditDlg::Browse);
        }
    }
    field(ServerKey::Poll)->setPlaceholderText(QString::number(kDefaultPollSeconds));
    field(ServerKey::Address)->setPlaceholderText(QStringLiteral("192.0.2.7 or a host name"));

    const auto addRow = [this](QFormLayout& form, ServerKey key, QWidget* beside = nullptr) {
        auto* label = new QLabel(QString::fromLatin1(TraitsOf(key).label), this);
        label->setBuddy(field(key));
        if (beside == nullptr) {
            form.addRow(label, field(key));
            return;
        }
        auto* pair = new QHBoxLayout;
        pair->addWidget(field(key), 1);
        pair->addWidget(beside);
        form.addRow(label, pair);
    };
    auto* form = new QFormLayout;
    for (const ServerKey key : {ServerKey::Name, ServerKey::Address, ServerKey::Port}) {
        addRow(*form, key);
    }
    addRow(*form, ServerKey::Password, showPassword_);
    addRow(*form, ServerKey::Log, browse_);
    addRow(*form, ServerKey::Poll);

    auto* commands = new QGroupBox(QStringLiteral("Commands (empty: the default)"), this);
    auto* commandForm = new QFormLayout(commands);
    for (const ServerKey key :
         {ServerKey::Kick, ServerKey::TempKick, ServerKey::Say, ServerKey::Userinfo}) {
        addRow(*commandForm, key);
    }

    test_ = new ServerTestLine(
        [this]() -> std::optional<ServerEntry> {
            const auto checked = CheckedValues();
            return checked ? std::optional(EntryOfValues(*checked)) : std::nullopt;
        },
        this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CServerEditDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CServerEditDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(commands);
    layout->addWidget(test_);
    layout->addWidget(buttons);
    // Room for a path or a command; the dialog keeps the size it asks for.
    for (QLineEdit* edit : fields_) {
        edit->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    }
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CServerEditDlg::~CServerEditDlg() = default;

void CServerEditDlg::SetMessageSink(MessageSink* messages) {
    messages_ = messages != nullptr ? messages : &messageBoxes_;
}

std::optional<ServerValues> CServerEditDlg::CheckedValues() {
    ServerValues values;
    for (const ServerKey key : kServerKeys) {
        QLineEdit* edit = field(key);
        const QString text = TrimmedField(key) ? edit->text().trimmed() : edit->text();
        const std::optional<std::string> bytes = FieldBytes(key, text);
        const QString why =
            bytes ? ServerFieldProblem(key, *bytes)
                  : QString::fromLatin1(TraitsOf(key).name) +
                        QStringLiteral(": It holds a character the configuration file cannot "
                                       "hold.");
        if (!why.isEmpty()) {
            messages_->Show({why.toStdString(), windowTitle().toStdString(), MessageIcon::Warning});
            edit->setFocus(Qt::OtherFocusReason);
            edit->selectAll();
            return std::nullopt;
        }
        values[key] = *bytes;
    }
    return values;
}

void CServerEditDlg::accept() {
    if (auto checked = CheckedValues()) {
        values_ = std::move(*checked);
        QDialog::accept();
    }
}

void CServerEditDlg::Browse() {
    QLineEdit* log = field(ServerKey::Log);
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Log file"), QFileInfo(log->text()).path(),
        QStringLiteral("Log files (*.log);;All files (*)"));
    if (!path.isEmpty()) {
        log->setText(path);
    }
}
