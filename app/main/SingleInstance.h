#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QLocalSocket;

namespace gustara {

class ChannelListener;
class HandedPictures;
class TFormMain;
class TFormStatus;

// One window per user, display and settings folder, so that two windows never overwrite each
// other's settings. The first program listens on a channel (HandOverChannel.h) named after the
// three; a later one hands its pictures over and ends. Everything here runs on the
// user-interface thread.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // Names the socket after the settings folder, which it creates as the window would.
    // Never throws.
    SingleInstance();
    ~SingleInstance() override;

    // Hands `paths` (bytes; none only brings the window to the front) to the window that
    // listens, and returns true once it has answered that it holds them: this program then
    // ends. A window that is slow to answer is waited for, and standard error says so after a
    // few seconds. Returns false when no window of this user takes them (none, a dead one's
    // socket, another user's, one that died meanwhile) or they are too many to hand over:
    // this program starts its own. Never throws.
    bool HandOver(const std::vector<std::string>& paths);
    // Gives `window` this program's own `paths`, then listens for later programs, first
    // removing a dead window's socket, and gives it what they hand over (HandedPictures says
    // when). When the name cannot be taken, the window works alone. Both windows must
    // outlive this object. Never throws.
    void Serve(TFormMain& window, TFormStatus& status, std::vector<std::string> paths);

private:
    // Reads one message from `socket`, which it owns, and answers it.
    void TakeConnection(QLocalSocket* socket);

    QString Path;
    std::unique_ptr<ChannelListener> Listener;
    std::unique_ptr<HandedPictures> Handed;
};

} // namespace gustara
