// Draws the windows for the README's screenshots in the language of the settings file, as a
// user sees them after a batch with a failure: the main window, the progress window, its list
// of the pictures to check, the comparison window and the About window, each saved as
// PATTERN with its %1 replaced by window, progress, failures, about and compare-window. The
// settings come from XDG_CONFIG_HOME as the window reads them; with KEEP_GOING=1 a picture that
// fails leaves the others to be written.
// Usage: window-shots PATTERN PICTURE... (some picture must fail; the first is compared)

#include "about/UnitAbout.h"
#include "compare/ComparisonWindow.h"
#include "main/UnitMain.h"
#include "progress/UnitStatus.h"

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Runs the event loop until `signal` of `sender` or a minute has passed; false on the latter.
template <class Sender, class Signal>
bool WaitFor(const Sender* sender, Signal signal)
{
    QEventLoop loop;
    QTimer::singleShot(60000, &loop, [&loop] { loop.exit(1); });
    QObject::connect(sender, signal, &loop, [&loop] { loop.exit(0); });
    return loop.exec() == 0;
}

bool Save(QWidget& window, const QString& path)
{
    QApplication::processEvents();
    if (window.grab().save(path))
        return true;
    std::fprintf(stderr, "window-shots: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: window-shots PATTERN PICTURE...\n");
        return 2;
    }
    const QString pattern = QString::fromLocal8Bit(argv[1]);
    const auto path = [&pattern](const char* window) { return pattern.arg(QLatin1String(window)); };
    const std::vector<std::string> pictures(argv + 2, argv + argc);

    gustara::TFormMain form;
    gustara::TFormStatus status(&form);
    gustara::TFormAbout about(&form);
    form.AttachWindows(status, about);
    form.show();
    if (!Save(form, path("window")))
        return 1;

    form.OpenPaths(pictures);
    if (!WaitFor(&form, &gustara::TFormMain::BatchEnded)) {
        std::fprintf(stderr, "window-shots: the batch did not end\n");
        return 1;
    }
    if (!Save(status, path("progress")))
        return 1;
    auto* details = status.findChild<QPushButton*>(QStringLiteral("BtnDetails"));
    if (!details || !details->isVisible()) {
        std::fprintf(stderr, "window-shots: no picture failed, so there is no list to show\n");
        return 1;
    }
    details->click();
    auto* failures = status.findChild<QWidget*>(QStringLiteral("FormFailures"));
    if (!failures || !Save(*failures, path("failures")))
        return 1;
    failures->hide();
    // As the user closes it, which gives the main window back.
    status.findChild<QPushButton*>(QStringLiteral("BtnClose"))->click();

    about.show();
    if (!Save(about, path("about")))
        return 1;
    about.hide();

    gustara::ComparisonWindow& compare = form.CompareWindow();
    compare.ShowPicture(pictures.front());
    if (!WaitFor(&compare, &gustara::ComparisonWindow::PictureShown) || !Save(compare, path("compare-window")))
        return 1;
    return 0;
}
