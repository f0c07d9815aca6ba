#include "shared/DesktopOpener.h"

#include <QDesktopServices>

#include <utility>

namespace gustara {

namespace {

std::function<bool(const QUrl&)>& Opener()
{
    static std::function<bool(const QUrl&)> opener = QDesktopServices::openUrl;
    return opener;
}

} // namespace

bool OpenOnDesktop(const QUrl& target)
{
    return Opener()(target);
}

void SetDesktopOpenerForTesting(std::function<bool(const QUrl& target)> opener)
{
    Opener() = opener ? std::move(opener) : QDesktopServices::openUrl;
}

} // namespace gustara
