#include "shell/HandOverChannel.h"
#include "shell/LateNotice.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace gustara {

namespace {

constexpr int kPollMilliseconds = 200;
// Long enough for the descriptors of idle connections to be freed.
constexpr int kPauseAfterAcceptErrorMilliseconds = 1000;

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

// A folder that this user owns and nobody else may enter; a link never counts.
bool IsPrivateFolder(const QByteArray& path)
{
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
           && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

bool AddressOf(const QString& path, sockaddr_un& address)
{
    const QByteArray bytes = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (bytes.isEmpty() || static_cast<std::size_t>(bytes.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

// The uid of the process at the other end; the connecting side's for a listener, the
// listener's for a connecting side.
bool PeerIsThisUser(int fd)
{
    ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer
           && peer.uid == ::geteuid();
}

enum class Reached {
    Window,    // a window of this user holds the other end
    Nobody,    // nothing at the path, or a socket that refuses connections
    Busy,      // a window whose queue of connections is full
    Stranger,  // another user's socket, or one whose peer cannot be told
};

Reached Connect(const QString& path, Descriptor& connection)
{
    sockaddr_un address;
    if (!AddressOf(path, address))
        return Reached::Nobody;
    connection.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (connection.get() < 0)
        return Reached::Nobody;
    if (::connect(connection.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        switch (errno) {
        case ENOENT:
        case ECONNREFUSED:
            return Reached::Nobody;
        case EAGAIN:
        case EINTR:
            return Reached::Busy;
        default:
            return Reached::Stranger;
        }
    }
    return PeerIsThisUser(connection.get()) ? Reached::Window : Reached::Stranger;
}

// Waits for `events` on `fd` (none: just waits); false on an error of the connection.
bool Wait(int fd, short events)
{
    pollfd watched{fd, events, 0};
    const int ready = ::poll(&watched, fd < 0 ? 0 : 1, kPollMilliseconds);
    return ready >= 0 || errno == EINTR;
}

} // namespace

QString ChannelUserTag()
{
    return QString::number(::getuid());
}

QString ChannelPath(const QString& name)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && IsPrivateFolder(QFile::encodeName(runtime)))
        return runtime + QLatin1Char('/') + name;
    const QString folder = QDir::tempPath() + QStringLiteral("/gustara-%1").arg(::geteuid());
    const QByteArray bytes = QFile::encodeName(folder);
    // One made by anybody else, or left open to others, is never used.
    (void)::mkdir(bytes.constData(), 0700);
    return IsPrivateFolder(bytes) ? folder + QLatin1Char('/') + name : QString();
}

std::optional<char> AskWindow(const QString& path, const QByteArray& message, const std::function<void()>& notAnswering)
{
    LateNotice tellOnce(notAnswering);
    Descriptor connection;
    for (Reached reached = Connect(path, connection); reached != Reached::Window; reached = Connect(path, connection)) {
        if (reached != Reached::Busy)
            return std::nullopt;
        Wait(-1, 0);
        tellOnce();
    }
    const int fd = connection.get();
    for (qsizetype sent = 0; sent < message.size(); tellOnce()) {
        const ssize_t written = ::send(fd, message.constData() + sent, static_cast<std::size_t>(message.size() - sent), MSG_NOSIGNAL);
        if (written > 0)
            sent += written;
        else if ((errno != EAGAIN && errno != EINTR) || !Wait(fd, POLLOUT))
            return std::nullopt;
    }
    for (;; tellOnce()) {
        char answer = 0;
        const ssize_t read = ::recv(fd, &answer, 1, 0);
        if (read == 1)
            return answer;
        if (read == 0 || (errno != EAGAIN && errno != EINTR) || !Wait(fd, POLLIN))
            return std::nullopt;
    }
}

struct ChannelListener::State {
    Descriptor socket;
    QByteArray path;
    dev_t device = 0;
    ino_t inode = 0;
    QSocketNotifier* notifier = nullptr;
};

ChannelListener::ChannelListener(std::function<void(QLocalSocket*)> connected) : Connected(std::move(connected)) {}

ChannelListener::~ChannelListener()
{
    if (!Listening)
        return;
    delete Listening->notifier;
    struct stat info {};
    // A later window that took the name over (this one seemed dead) keeps its socket.
    if (::lstat(Listening->path.constData(), &info) == 0 && info.st_dev == Listening->device && info.st_ino == Listening->inode)
        ::unlink(Listening->path.constData());
}

bool ChannelListener::Listen(const QString& path)
{
    sockaddr_un address;
    if (Listening || !AddressOf(path, address))
        return false;
    auto state = std::make_unique<State>();
    state->path = QFile::encodeName(path);
    for (int attempt = 0;; ++attempt) {
        state->socket.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (state->socket.get() < 0)
            return false;
        if (::bind(state->socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            break;
        if (errno != EADDRINUSE || attempt > 0)
            return false;
        // Only a socket that refuses connections is a dead window's; one that accepts them
        // belongs to a live window, however long it takes to answer.
        Descriptor probe;
        struct stat info {};
        if (Connect(path, probe) != Reached::Nobody || ::lstat(state->path.constData(), &info) != 0 || !S_ISSOCK(info.st_mode))
            return false;
        ::unlink(state->path.constData());
    }
    struct stat info {};
    if (::listen(state->socket.get(), SOMAXCONN) != 0 || ::lstat(state->path.constData(), &info) != 0) {
        ::unlink(state->path.constData());
        return false;
    }
    state->device = info.st_dev;
    state->inode = info.st_ino;
    state->notifier = new QSocketNotifier(state->socket.get(), QSocketNotifier::Read, this);
    connect(state->notifier, &QSocketNotifier::activated, this, [this] { Accept(); });
    Listening = std::move(state);
    return true;
}

void ChannelListener::Accept()
{
    for (;;) {
        Descriptor connection(::accept4(Listening->socket.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (connection.get() < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EAGAIN)
                return;
            // Out of descriptors or memory: the waiting connections stay queued until some
            // are freed.
            Listening->notifier->setEnabled(false);
            QTimer::singleShot(kPauseAfterAcceptErrorMilliseconds, this, [this] { Listening->notifier->setEnabled(true); });
            return;
        }
        if (!PeerIsThisUser(connection.get()))
            continue;
        auto* socket = new QLocalSocket;
        if (socket->setSocketDescriptor(connection.get(), QLocalSocket::ConnectedState, QIODevice::ReadWrite)) {
            connection.release();
            Connected(socket);
        } else {
            delete socket;
        }
    }
}

} // namespace gustara
