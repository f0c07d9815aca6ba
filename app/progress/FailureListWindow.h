#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

namespace gustara {

// The reports of the pictures that failed or were saved with a part missing, one a line, as
// selectable text: one window of its progress window, `owner`, which owns it and reuses it for
// every look at the list.
class FailureListWindow : public QDialog {
    Q_OBJECT
public:
    explicit FailureListWindow(QWidget& owner);

    // Shows `lines` and brings the window to the front beside `neighbour` and within its
    // screen (BesideWithin), made smaller where no side has room for it, so that it covers
    // none of the neighbour where it can. Returns at once.
    void ShowBeside(const QStringList& lines, const QWidget& neighbour);
    // Shows `lines` instead, where the window stands.
    void SetLines(const QStringList& lines);

protected:
    // Retranslates on QEvent::LanguageChange.
    void changeEvent(QEvent* event) override;

private:
    void RetranslateUi();

    QPlainTextEdit* Lines;
    QPushButton* CloseButton;
};

} // namespace gustara
