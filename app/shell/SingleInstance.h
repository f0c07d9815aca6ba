#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QLocalServer;

namespace gustara {

class HandedPictures;
class TFormMain;
class TFormStatus;

// One window per user, display and settings folder, so that two windows never overwrite each
// other's settings. The first program listens on a local socket named after the three; a later
// one hands its pictures over and ends. Everything here runs on the user-interface thread.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // Names the socket after the settings folder, which it creates as the window would.
    // Never throws.
    SingleInstance();
    ~SingleInstance() override;

    // Hands `paths` (bytes; none only brings the window to the front) to the window that
    // listens, and returns true once it has answered that it holds them: this program then
    // ends. Returns false when no window of this user answers (none, a dead one's socket, one
    // that died meanwhile): this program starts its own. Never throws.
    bool HandOver(const std::vector<std::string>& paths);
    // Gives `window` this program's own `paths`, then listens for later programs, first
    // removing a dead window's socket, and gives it what they hand over (HandedPictures says
    // when). When the name cannot be taken, the window works alone as before. Both windows
    // must outlive this object. Never throws.
    void Serve(TFormMain& window, TFormStatus& status, std::vector<std::string> paths);

private:
    void TakeConnection();

    QString Name;
    std::unique_ptr<QLocalServer> Server;
    std::unique_ptr<HandedPictures> Handed;
};

} // namespace gustara
