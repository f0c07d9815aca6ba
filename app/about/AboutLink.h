#pragma once

#include <QString>
#include <QUrl>

namespace gustara {

// What the About window's link shows and opens.
struct AboutLink {
    QString text;
    QUrl target;
};

// The homepage when one is given; otherwise the README installed with the program, found
// from `programFolder` (the folder of the running program) the way the installation lays
// it out. Does not check that the README exists.
AboutLink ChooseAboutLink(const QString& homepage, const QString& programFolder);

// ChooseAboutLink with the homepage given at build time and the running program's folder.
// Needs the QCoreApplication.
AboutLink BuiltAboutLink();

} // namespace gustara
