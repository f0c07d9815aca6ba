#include "UnitStatus.h"

#include "AppText.h"

namespace gustara {

TFormStatus::TFormStatus(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(kStatusWindowCaption));
}

} // namespace gustara
