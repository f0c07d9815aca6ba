#include "shell/SingleInstance.h"

#include "platform/UserLanguage.h"
#include "rules/Messages.h"
#include "settings/SettingsFile.h"
#include "shell/HandOverChannel.h"
#include "shell/HandedPictures.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QLocalSocket>
#include <QTimer>
#include <QtEndian>

#include <iostream>
#include <utility>

namespace gustara {

namespace {

// A message is its length (8 bytes, big-endian) and then the paths, each ended by a NUL byte.
constexpr qsizetype kLengthBytes = 8;
// Far more than a command line can pass; a longer message is no launch of this program's.
constexpr quint64 kMaxMessageBytes = 8 << 20;
// A connection that sends nothing for this long is dropped, so that none holds a descriptor.
constexpr int kIdleMilliseconds = 5000;
// The window's answer once it holds the whole list.
constexpr char kTaken = 'T';

// The user in the name keeps users apart even in a shared folder.
QString ChannelName(const QString& settingsFolder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QByteArray& part : {settingsFolder.toUtf8(), qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY")})
        hash.addData(part + '\0');
    return QStringLiteral("gustara-%1-%2")
        .arg(ChannelUserTag())
        .arg(QString::fromLatin1(hash.result().toHex().left(16)));
}

std::vector<std::string> SplitPaths(const QByteArray& body)
{
    std::vector<std::string> paths;
    for (qsizetype start = 0, end; (end = body.indexOf('\0', start)) >= 0; start = end + 1)
        paths.emplace_back(body.constData() + start, static_cast<std::size_t>(end - start));
    return paths;
}

} // namespace

SingleInstance::SingleInstance() : Path(ChannelPath(ChannelName(PrepareSettingsFolder()))) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::HandOver(const std::vector<std::string>& paths)
{
    QByteArray body;
    for (const std::string& path : paths)
        body.append(path.data(), static_cast<qsizetype>(path.size())).append('\0');
    if (Path.isEmpty() || static_cast<quint64>(body.size()) > kMaxMessageBytes)
        return false;
    QByteArray message(kLengthBytes, '\0');
    qToBigEndian(static_cast<quint64>(body.size()), message.data());
    const auto answer = AskWindow(Path, message + body, [] {
        // The terminal's language, as for --help: the window itself stays Japanese.
        std::cerr << InUserCharset(Text(Message::WindowNotAnswering, UserLanguage())) << std::endl;
    });
    // Only the window's answer says that it holds the pictures; one that died meanwhile does not.
    return answer == kTaken;
}

void SingleInstance::Serve(TFormMain& window, TFormStatus& status, std::vector<std::string> paths)
{
    Handed = std::make_unique<HandedPictures>(window, status);
    Handed->Add(std::move(paths));
    if (!Path.isEmpty()) {
        Listener = std::make_unique<ChannelListener>([this](QLocalSocket* socket) { TakeConnection(socket); });
        Listener->Listen(Path);
    }
    // Nothing is handed to the windows while they are taken down (saving the settings may
    // show a box, whose event loop would take a connection).
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        Listener.reset();
        Handed.reset();
    });
}

void SingleInstance::TakeConnection(QLocalSocket* socket)
{
    // Taken down with the listener when the program ends.
    socket->setParent(Listener.get());
    socket->setReadBufferSize(kLengthBytes + kMaxMessageBytes);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    connect(idle, &QTimer::timeout, socket, &QLocalSocket::abort);
    idle->start(kIdleMilliseconds);
    // The list arrives in pieces; each piece only adds to the count of bytes waiting.
    const auto read = [this, socket, idle, length = std::optional<quint64>()]() mutable {
        idle->start(kIdleMilliseconds);
        if (!length && socket->bytesAvailable() >= kLengthBytes) {
            length = qFromBigEndian<quint64>(socket->read(kLengthBytes).constData());
            if (*length > kMaxMessageBytes)
                return socket->abort();
        }
        if (!length || static_cast<quint64>(socket->bytesAvailable()) < *length)
            return;
        // One message per connection: whatever follows is never read.
        socket->disconnect(this);
        const QByteArray body = socket->read(static_cast<qint64>(*length));
        // Answered first: taking the pictures may open a message box for a while. The launch
        // closes the connection once it has read the answer (the idle timer closes it if not):
        // closing it here could drop the answer unread, as a Windows pipe's disconnect does.
        socket->write(&kTaken, 1);
        idle->start(kIdleMilliseconds);
        Handed->Add(SplitPaths(body));
    };
    connect(socket, &QLocalSocket::readyRead, this, read);
}

} // namespace gustara
