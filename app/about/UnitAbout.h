#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;

namespace gustara {

// The About window: the program's picture, title, version and a link to the maker's web
// site, or to the installed README when the build names no site. Created hidden at start-up
// and shown modally from the main menu, the same window each time. Everything here runs on
// the user-interface thread.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    // Builds the hidden window. `parent` is the main window: the window takes its font and
    // is centred on it.
    explicit TFormAbout(QWidget* parent = nullptr);

    // Asks the desktop to open the link's target (the web site in the browser, the README in
    // its viewer); a failure is ignored.
    void lblURLClick();

    QLabel* ImageIco;
    QLabel* lblSoftTitle;
    QLabel* lblSoftVer;
    QLabel* lblURL;

protected:
    // Turns a left click released over lblURL into lblURLClick.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Retranslates on QEvent::LanguageChange.
    void changeEvent(QEvent* event) override;

private:
    void CreateControls();
    // The caption and the labels' texts in the current language, the link's target with them.
    void RetranslateUi();

    QUrl linkTarget;
};

} // namespace gustara
