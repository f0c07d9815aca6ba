#include "UnitAbout.h"

#include "AppText.h"

namespace gustara {

TFormAbout::TFormAbout(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(kAboutWindowCaption));
}

} // namespace gustara
