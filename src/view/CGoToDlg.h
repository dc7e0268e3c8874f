#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

// "Go To": asks for a line number or a time of the log. One belongs to each
// view and keeps the last text asked for. The prompt names the log's line
// numbers, which count from 1 as a reader does.
class CGoToDlg : public QDialog {
    Q_OBJECT

public:
    explicit CGoToDlg(QWidget* parent = nullptr);

    // Sets the prompt for a log of `lineCount` lines.
    void SetLineCount(int lineCount);

    // What the user typed, once the dialog closed with OK.
    QString targetText;

    QLineEdit* targetEdit() const { return targetEdit_; }

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* prompt_ = nullptr;
    QLineEdit* targetEdit_ = nullptr;
};
