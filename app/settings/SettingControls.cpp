#include "settings/SettingControls.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

#include <stdexcept>
#include <string>
#include <variant>

namespace gustara {

namespace {

using V = ControlValues;

bool CoversRange(const IntegerRange& range, int lowest, int highest)
{
    return range.lowest == lowest && range.highest == highest;
}

} // namespace

SettingControls::SettingControls(const QObject& window, std::span<const SettingRow> rows)
{
    for (const SettingRow& row : rows) {
        if (!row.control)
            continue;
        QObject* control = window.findChild<QObject*>(QLatin1String(row.control));
        Bound bound{&row};
        const bool fits = control
                          && std::visit(Overloaded{
                                            [&](bool V::*) {
                                                bound.button = qobject_cast<QAbstractButton*>(control);
                                                bound.item = qobject_cast<QAction*>(control);
                                                return bound.button || (bound.item && bound.item->isCheckable());
                                            },
                                            [&](int32_t V::*) {
                                                bound.list = qobject_cast<QComboBox*>(control);
                                                bound.slider = qobject_cast<QSlider*>(control);
                                                return bound.list ? CoversRange(row.range, 0, bound.list->count() - 1)
                                                       : bound.slider
                                                           ? CoversRange(row.range, bound.slider->minimum(),
                                                                         bound.slider->maximum())
                                                           : false;
                                            },
                                            [&](std::string V::*) {
                                                bound.edit = qobject_cast<QLineEdit*>(control);
                                                return bound.edit != nullptr;
                                            },
                                        },
                                        row.field);
        if (!fits)
            throw std::logic_error(std::string("the settings control ") + row.control
                                   + (control ? " cannot hold its setting" : " is missing"));
        bound_.push_back(bound);
    }
}

void SettingControls::Read(ControlValues& values) const
{
    for (const Bound& bound : bound_) {
        std::visit(Overloaded{
                       [&](bool V::*field) {
                           values.*field = bound.button ? bound.button->isChecked() : bound.item->isChecked();
                       },
                       [&](int32_t V::*field) {
                           values.*field = bound.list ? bound.list->currentIndex() : bound.slider->value();
                       },
                       [&](std::string V::*field) { values.*field = bound.edit->text().toStdString(); },
                   },
                   bound.row->field);
    }
}

void SettingControls::Apply(const ControlValues& values) const
{
    for (const Bound& bound : bound_) {
        std::visit(Overloaded{
                       [&](bool V::*field) {
                           if (bound.button)
                               bound.button->setChecked(values.*field);
                           else
                               bound.item->setChecked(values.*field);
                       },
                       [&](int32_t V::*field) {
                           const int32_t value = values.*field;
                           if (bound.list)
                               bound.list->setCurrentIndex(bound.row->range.Holds(value) ? value : -1);
                           else
                               bound.slider->setValue(value);
                       },
                       [&](std::string V::*field) { bound.edit->setText(QString::fromStdString(values.*field)); },
                   },
                   bound.row->field);
    }
}

} // namespace gustara
