#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QLocalSocket;

namespace gustara {

// The channel through which a later launch hands its pictures to the window that is open: a
// local socket in a folder that only this user may enter, or a named pipe that only this user
// may open. Only a peer running as this user is ever given or taken anything; whatever cannot
// be told counts as another user's. Everything here runs on the user-interface thread and
// never throws.

// What keeps users apart in a channel's name: the user id; on Windows the user's SID and the
// logon session. Empty when it cannot be told.
QString ChannelUserTag();

// The path of the channel `name`: on Windows the named pipe of that name, which only this
// user may open or make. On Linux a socket in XDG_RUNTIME_DIR when that is a folder of this
// user that nobody else may enter; else in the folder "gustara-<user id>" of the temporary
// folder, made with mode 0700 when missing and used only when it is a folder (not a link) of
// this user that nobody else may enter. Empty when there is no such place: the window then works alone.
QString ChannelPath(const QString& name);

// Sends `message` to the window listening at `path` and returns its one-byte answer. Waits as
// long as that window is alive, however long it does not answer (stopped, under a debugger,
// swapping), calling `notAnswering` once when it has not answered within a few seconds.
// Returns nullopt when no window of this user takes it: nothing at the path, a socket that
// refuses connections (its window died), another user's, one that dies meanwhile.
std::optional<char> AskWindow(const QString& path, const QByteArray& message, const std::function<void()>& notAnswering);

// Listens at a channel's path and hands each connection of this user, as a QLocalSocket
// owned by the receiver, to `connected`; other users' connections are closed unread. An
// error of accept (too many open files) pauses listening for a moment, never ends it.
class ChannelListener : public QObject {
public:
    explicit ChannelListener(std::function<void(QLocalSocket*)> connected);
    // Stops listening and removes the socket, unless another window has taken its name.
    ~ChannelListener() override;
    ChannelListener(const ChannelListener&) = delete;
    ChannelListener& operator=(const ChannelListener&) = delete;

    // Starts listening at `path`, first removing a socket there that refuses connections (its
    // window died). Returns false, leaving everything there, when a window answers at `path`
    // or the socket cannot be made.
    bool Listen(const QString& path);

private:
    void Accept();

    struct State;
    std::unique_ptr<State> Listening;
    std::function<void(QLocalSocket*)> Connected;
};

} // namespace gustara
