#include "shared/ChoiceGroup.h"

namespace gustara {

ChoiceButton::ChoiceButton(const QString& caption, QWidget* parent)
    : QRadioButton(caption, parent)
{
    setAutoExclusive(false);
}

void ChoiceButton::nextCheckState()
{
    setChecked(true);
}

ChoiceGroup::ChoiceGroup(std::initializer_list<QRadioButton*> buttons, QObject* parent)
    : QObject(parent)
    , buttons_(buttons)
{
    for (QRadioButton* button : buttons_) {
        button->setAutoExclusive(false);
        connect(button, &QAbstractButton::toggled, this, [this, button](bool selected) {
            if (selected)
                DeselectOthers(button);
        });
    }
}

void ChoiceGroup::DeselectOthers(QRadioButton* selected)
{
    for (QRadioButton* button : buttons_) {
        if (button != selected)
            button->setChecked(false);
    }
}

} // namespace gustara
