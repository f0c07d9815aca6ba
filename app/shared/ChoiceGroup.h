#pragma once

#include <QObject>
#include <QRadioButton>

#include <initializer_list>
#include <vector>

namespace gustara {

// A choice (radio) button that a click only ever selects: clicking a selected choice keeps
// it selected, as with the platform's own radio buttons. It is not auto-exclusive; its
// ChoiceGroup does the excluding, so that a program can deselect it.
class ChoiceButton : public QRadioButton {
    Q_OBJECT
public:
    ChoiceButton(const QString& caption, QWidget* parent);

protected:
    void nextCheckState() override;
};

// Choices of which at most one is selected: selecting one (by click or by setChecked)
// deselects the others; deselecting one changes nothing else, so the group can end with no
// choice selected. The buttons are not owned; the group lives as a child of `parent`.
class ChoiceGroup : public QObject {
    Q_OBJECT
public:
    ChoiceGroup(std::initializer_list<QRadioButton*> buttons, QObject* parent);

private:
    void DeselectOthers(QRadioButton* selected);

    std::vector<QRadioButton*> buttons_;
};

} // namespace gustara
