#pragma once

#include <QDialog>

namespace gustara {

// The About window; created hidden at start-up and shown modally from the main menu.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);
};

} // namespace gustara
