#include "WindowTestSupport.h"
#include "about/UnitAbout.h"
#include "compare/ComparisonWindow.h"
#include "main/UnitMain.h"
#include "progress/UnitStatus.h"
#include "shared/Placement.h"
#include "shared/WindowLanguage.h"

#include <QAction>
#include <QGroupBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using gustara::Language;
using gustara::test::Child;
using gustara::test::ConfigHome;

Q_DECLARE_METATYPE(Language)

// Every window in each language: each control's text fits the room its control gives it, no
// two controls side by side overlap, and the window lies within the screen.
class WindowTextFitTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gustara::ApplyWindowLanguage(Language::Japanese); }
    void everyTextFitsAndNothingOverlaps_data();
    void everyTextFitsAndNothingOverlaps();
};

namespace {

// The problems of `window`'s shown controls, one line each.
QStringList Problems(const QWidget& window)
{
    QStringList problems;
    const QString at = window.objectName() + QLatin1Char('/');
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (control->window() != &window || !control->isVisibleTo(&window))
            continue;
        if (const int shortfall = gustara::TextShortfall(*control); shortfall > 0)
            problems << at + control->objectName() + QStringLiteral(" lacks %1 px").arg(shortfall);
        // Siblings in the hand-placed layouts: group boxes and plain widgets.
        if (!qobject_cast<const QGroupBox*>(control) && control->metaObject() != &QWidget::staticMetaObject
            && control != &window)
            continue;
        QList<const QWidget*> shown;
        for (const QObject* child : control->children()) {
            const auto* widget = qobject_cast<const QWidget*>(child);
            if (widget && !widget->isWindow() && widget->isVisibleTo(&window))
                shown << widget;
        }
        for (qsizetype i = 0; i < shown.size(); ++i) {
            for (qsizetype j = i + 1; j < shown.size(); ++j) {
                if (shown[i]->geometry().intersects(shown[j]->geometry()))
                    problems << at + shown[i]->objectName() + QStringLiteral(" overlaps ") + shown[j]->objectName();
            }
            if (!control->rect().contains(shown[i]->geometry()))
                problems << at + shown[i]->objectName() + QStringLiteral(" sticks out of ") + control->objectName();
        }
    }
    // A window of fixed size lies within the screen; one that the user sizes can be made to.
    const QRect screen = window.screen()->availableGeometry();
    if (window.minimumSize() == window.maximumSize()
            ? !screen.contains(window.frameGeometry())
            : window.minimumWidth() > screen.width() || window.minimumHeight() > screen.height())
        problems << at + QStringLiteral(" leaves the screen");
    return problems;
}

} // namespace

void WindowTextFitTest::everyTextFitsAndNothingOverlaps_data()
{
    QTest::addColumn<Language>("language");
    QTest::addColumn<bool>("qualityShown");
    QTest::newRow("Japanese") << Language::Japanese << false;
    QTest::newRow("Japanese, quality settings") << Language::Japanese << true;
    QTest::newRow("English") << Language::English << false;
    QTest::newRow("English, quality settings") << Language::English << true;
}

void WindowTextFitTest::everyTextFitsAndNothingOverlaps()
{
    QFETCH(Language, language);
    QFETCH(bool, qualityShown);
    const ConfigHome home;
    gustara::TFormMain form;
    gustara::TFormStatus status(&form);
    gustara::TFormAbout about(&form);
    form.AttachWindows(status, about);
    Child<QAction>(form, "QualityItem")->setChecked(qualityShown);
    // Every window as a batch with failures and a comparison leave them, switched while open.
    status.SetFailureList({QStringLiteral("a.jpg")});
    status.OfferStop(true);
    gustara::ComparisonWindow& compare = form.CompareWindow();
    gustara::ApplyWindowLanguage(language);
    form.show();
    status.show();
    about.show();
    compare.show();
    QVERIFY(QTest::qWaitForWindowExposed(&compare));
    Child<QPushButton>(status, "BtnDetails")->click();
    auto* failures = Child<QWidget>(status, "FormFailures");
    QVERIFY(QTest::qWaitForWindowExposed(failures));
    for (const QWidget* window : std::initializer_list<const QWidget*>{&form, &status, &about, &compare, failures})
        QVERIFY2(Problems(*window).isEmpty(), qPrintable(Problems(*window).join(QStringLiteral("; "))));
    status.OfferStop(false);
}

QTEST_MAIN(WindowTextFitTest)
#include "WindowTextFitTest.moc"
