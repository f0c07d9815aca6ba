#include "settings/SettingControls.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QWidget>

#include <functional>
#include <span>
#include <stdexcept>

using gustara::ControlValues;
using gustara::SettingControls;
using gustara::SettingRow;
using V = ControlValues;

namespace {

// Adds to the window the control named "Control", or nothing.
using MakeControl = std::function<void(QWidget&)>;

QObject* Named(QObject* control)
{
    control->setObjectName(QStringLiteral("Control"));
    return control;
}

MakeControl List(int count)
{
    return [count](QWidget& window) {
        auto* list = static_cast<QComboBox*>(Named(new QComboBox(&window)));
        for (int i = 0; i < count; ++i)
            list->addItem(QString::number(i));
    };
}

MakeControl MenuItem(bool checkable)
{
    return [checkable](QWidget& window) { static_cast<QAction*>(Named(new QAction(&window)))->setCheckable(checkable); };
}

struct Case {
    const char* name;
    MakeControl make;
    SettingRow row;
    bool fits;
};

} // namespace

class SettingControlsTest : public QObject {
    Q_OBJECT

private slots:
    void aControlThatCannotHoldItsSettingFailsTheBuild();
};

void SettingControlsTest::aControlThatCannotHoldItsSettingFailsTheBuild()
{
    const MakeControl edit = [](QWidget& window) { Named(new QLineEdit(&window)); };
    const MakeControl slider = [](QWidget& window) { Named(new QSlider(&window)); };  // 0 to 99
    const SettingRow flag = {"Control", "S", "K", &V::CBPicSize};
    const SettingRow index = {"Control", "S", "K", &V::CBSizeList, {0, 2}};
    const SettingRow text = {"Control", "S", "K", &V::EditDirName};
    const Case cases[] = {
        {"missing", [](QWidget&) {}, flag, false},
        {"flag in an edit field", edit, flag, false},
        {"flag in a menu item that cannot be checked", MenuItem(false), flag, false},
        {"flag in a checkable menu item", MenuItem(true), flag, true},
        {"index in a list shorter than its range", List(2), index, false},
        {"index in a list of its range", List(3), index, true},
        {"position in a slider of another range", slider, index, false},
        {"text in a list", List(3), text, false},
        {"text in an edit field", edit, text, true},
    };
    for (const Case& c : cases) {
        QWidget window;
        c.make(window);
        bool built = true;
        try {
            SettingControls controls(window, std::span(&c.row, 1));
        } catch (const std::logic_error&) {
            built = false;
        }
        QVERIFY2(built == c.fits, c.name);
    }
}

QTEST_MAIN(SettingControlsTest)
#include "SettingControlsTest.moc"
