#pragma once

#include <QDialog>

namespace gustara {

// The progress window of a batch; created hidden at start-up and reused by every batch.
class TFormStatus : public QDialog {
    Q_OBJECT
public:
    explicit TFormStatus(QWidget* parent = nullptr);
};

} // namespace gustara
