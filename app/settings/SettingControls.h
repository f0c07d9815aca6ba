#pragma once

#include "settings/SettingsTable.h"

#include <span>
#include <vector>

class QAbstractButton;
class QAction;
class QComboBox;
class QLineEdit;
class QObject;
class QSlider;

namespace gustara {

// The controls of a window's settings rows, found once by their object names when the window
// is built and checked there against the kind of value of each row. The controls are not owned
// and must outlive this object; used on the user-interface thread only.
class SettingControls {
public:
    // Finds the control of every row that has one among the children of `window`. Throws
    // std::logic_error naming the control when it is missing, cannot hold the row's value (a
    // check box, choice or checkable menu item for a flag; a list or slider for an integer; an
    // edit field for a text), or is a list or slider whose indexes or positions are not the
    // row's range.
    SettingControls(const QObject& window, std::span<const SettingRow> rows);

    // The controls' values into `values`; rows without a control keep theirs.
    void Read(ControlValues& values) const;
    // Sets each control from `values`, in the order of the rows, so that within a choice group
    // the last selected choice wins, as a load of the keys one after the other does. A list
    // given a value outside the row's range selects nothing.
    void Apply(const ControlValues& values) const;

private:
    // Exactly one control pointer is set, the one that holds the row's value.
    struct Bound {
        const SettingRow* row;
        QAbstractButton* button = nullptr;
        QAction* item = nullptr;
        QComboBox* list = nullptr;
        QSlider* slider = nullptr;
        QLineEdit* edit = nullptr;
    };

    std::vector<Bound> bound_;
};

} // namespace gustara
