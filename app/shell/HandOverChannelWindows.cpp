#include "shell/HandOverChannel.h"
#include "shell/LateNotice.h"

#include <QLocalSocket>
#include <QTimer>
#include <QWinEventNotifier>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

namespace gustara {

namespace {

constexpr DWORD kWaitMilliseconds = 200;
constexpr DWORD kPipeBufferBytes = 64 * 1024;
// Long enough for the handles of idle connections to be freed.
constexpr int kPauseAfterErrorMilliseconds = 1000;

class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE)
    {
        if (valid())
            ::CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

struct LocalFreer {
    void operator()(void* memory) const { ::LocalFree(memory); }
};

// The user of a process token, as its SID's bytes; empty when it cannot be read.
std::vector<BYTE> TokenUser(HANDLE token)
{
    DWORD size = 0;
    ::GetTokenInformation(token, ::TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token, ::TokenUser, buffer.data(), size, &size))
        return {};
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    const auto* first = static_cast<const BYTE*>(sid);
    return {first, first + ::GetLengthSid(sid)};
}

const std::vector<BYTE>& ThisUser()
{
    static const std::vector<BYTE> user = [] {
        Handle token;
        HANDLE opened = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened))
            return std::vector<BYTE>();
        token.reset(opened);
        return TokenUser(token.get());
    }();
    return user;
}

bool IsThisUser(PSID sid)
{
    const std::vector<BYTE>& user = ThisUser();
    return sid != nullptr && !user.empty() && ::IsValidSid(sid) && ::EqualSid(sid, const_cast<BYTE*>(user.data()));
}

QString SidText(const std::vector<BYTE>& sid)
{
    wchar_t* text = nullptr;
    if (sid.empty() || !::ConvertSidToStringSidW(const_cast<BYTE*>(sid.data()), &text))
        return {};
    const std::unique_ptr<void, LocalFreer> owned(text);
    return QString::fromWCharArray(text);
}

// The process at the other end of the pipe runs as this user.
bool ProcessIsThisUser(ULONG processId)
{
    Handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    HANDLE token = nullptr;
    if (!process.valid() || !::OpenProcessToken(process.get(), TOKEN_QUERY, &token))
        return false;
    Handle owned(token);
    std::vector<BYTE> user = TokenUser(token);
    return !user.empty() && IsThisUser(user.data());
}

// Only this user's pipe is ever written to: its owner is this user (nobody else can make an
// object owned by this user) and so is the process that serves it.
bool ServerIsThisUser(HANDLE pipe)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(pipe, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                          &descriptor)
        != ERROR_SUCCESS)
        return false;
    const std::unique_ptr<void, LocalFreer> owned(descriptor);
    ULONG server = 0;
    return IsThisUser(owner) && ::GetNamedPipeServerProcessId(pipe, &server) && ProcessIsThisUser(server);
}

// Waits up to a moment for an overlapped operation on `pipe`; the count of bytes moved, or -1
// while it has not finished, or -2 when the pipe broke.
long long Finish(HANDLE pipe, OVERLAPPED& overlapped)
{
    DWORD moved = 0;
    if (::WaitForSingleObject(overlapped.hEvent, kWaitMilliseconds) == WAIT_TIMEOUT)
        return -1;
    return ::GetOverlappedResult(pipe, &overlapped, &moved, FALSE) ? static_cast<long long>(moved) : -2;
}

// One read or write at a time, waited for in moments so that `tick` runs between them; false
// when the pipe broke (the window died).
template <typename Start, typename Tick>
bool Transfer(HANDLE pipe, DWORD wanted, Start start, Tick& tick)
{
    Handle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event.valid())
        return false;
    for (DWORD done = 0; done < wanted;) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = event.get();
        if (!start(done, &overlapped) && ::GetLastError() != ERROR_IO_PENDING)
            return false;
        long long moved;
        while ((moved = Finish(pipe, overlapped)) == -1)
            tick();
        if (moved <= 0)
            return false;
        done += static_cast<DWORD>(moved);
    }
    return true;
}

// Only this user may open the pipe, and it belongs to this user; remote clients are refused.
struct PipeSecurity {
    std::unique_ptr<void, LocalFreer> descriptor;
    SECURITY_ATTRIBUTES attributes{};
};

bool MakePipeSecurity(PipeSecurity& security)
{
    const QString user = SidText(ThisUser());
    if (user.isEmpty())
        return false;
    const std::wstring sddl = QStringLiteral("O:%1D:P(A;;GA;;;%1)").arg(user).toStdWString();
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    security.descriptor.reset(descriptor);
    security.attributes.nLength = sizeof security.attributes;
    security.attributes.lpSecurityDescriptor = descriptor;
    security.attributes.bInheritHandle = FALSE;
    return true;
}

} // namespace

QString ChannelUserTag()
{
    // The logon session keeps two logons of one user (and an elevated one) apart.
    Handle token;
    HANDLE opened = nullptr;
    TOKEN_STATISTICS statistics{};
    DWORD size = 0;
    const QString user = SidText(ThisUser());
    if (user.isEmpty() || !::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened))
        return {};
    token.reset(opened);
    if (!::GetTokenInformation(token.get(), TokenStatistics, &statistics, sizeof statistics, &size))
        return {};
    const LUID logon = statistics.AuthenticationId;
    return user
           + QStringLiteral("-%1%2")
                 .arg(static_cast<quint32>(logon.HighPart), 8, 16, QLatin1Char('0'))
                 .arg(static_cast<quint32>(logon.LowPart), 8, 16, QLatin1Char('0'));
}

QString ChannelPath(const QString& name)
{
    // Without the user's SID the pipe could not be kept to this user: the window works alone.
    return name.isEmpty() || ThisUser().empty() ? QString() : QStringLiteral("\\\\.\\pipe\\") + name;
}

std::optional<char> AskWindow(const QString& path, const QByteArray& message, const std::function<void()>& notAnswering)
{
    LateNotice tellOnce(notAnswering);
    const std::wstring name = path.toStdWString();
    Handle pipe;
    for (;;) {
        pipe.reset(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
        if (pipe.valid())
            break;
        // Every instance taken: the window is busy with other launches.
        if (::GetLastError() != ERROR_PIPE_BUSY)
            return std::nullopt;
        ::WaitNamedPipeW(name.c_str(), kWaitMilliseconds);
        tellOnce();
    }
    if (!ServerIsThisUser(pipe.get()))
        return std::nullopt;
    const HANDLE handle = pipe.get();
    const bool sent = Transfer(
        handle, static_cast<DWORD>(message.size()),
        [&](DWORD done, OVERLAPPED* overlapped) {
            return ::WriteFile(handle, message.constData() + done, static_cast<DWORD>(message.size()) - done, nullptr,
                               overlapped);
        },
        tellOnce);
    char answer = 0;
    if (!sent
        || !Transfer(
            handle, 1,
            [&](DWORD, OVERLAPPED* overlapped) { return ::ReadFile(handle, &answer, 1, nullptr, overlapped); },
            tellOnce))
        return std::nullopt;
    return answer;
}

struct ChannelListener::State {
    std::wstring name;
    PipeSecurity security;
    Handle pipe;  // the instance waiting for the next launch
    Handle event; // signalled when a launch has connected to it
    OVERLAPPED overlapped{};
    QWinEventNotifier* notifier = nullptr;
    bool first = true;
    bool connectedAtOnce = false; // the launch came before ConnectNamedPipe was called
};

ChannelListener::ChannelListener(std::function<void(QLocalSocket*)> connected) : Connected(std::move(connected))
{
}

ChannelListener::~ChannelListener()
{
    if (!Listening)
        return;
    delete Listening->notifier;
    // The pending connect is cancelled before its OVERLAPPED goes away.
    if (Listening->pipe.valid()) {
        ::CancelIoEx(Listening->pipe.get(), &Listening->overlapped);
        DWORD ignored = 0;
        ::GetOverlappedResult(Listening->pipe.get(), &Listening->overlapped, &ignored, TRUE);
    }
}

bool ChannelListener::Listen(const QString& path)
{
    if (Listening || path.isEmpty())
        return false;
    auto state = std::make_unique<State>();
    state->name = path.toStdWString();
    state->event.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!state->event.valid() || !MakePipeSecurity(state->security))
        return false;
    Listening = std::move(state);
    // The first instance insists on being the first, so that a pipe of that name made by
    // anybody else (who could then read this user's pictures) makes the window work alone.
    Accept();
    if (!Listening->pipe.valid())
        Listening.reset();
    return Listening != nullptr;
}

void ChannelListener::Accept()
{
    State& state = *Listening;
    if (state.pipe.valid()) {
        // A launch connected: hand the instance over when it runs as this user.
        DWORD ignored = 0;
        const bool connected = std::exchange(state.connectedAtOnce, false)
                               || ::GetOverlappedResult(state.pipe.get(), &state.overlapped, &ignored, FALSE);
        ULONG client = 0;
        if (connected && ::GetNamedPipeClientProcessId(state.pipe.get(), &client) && ProcessIsThisUser(client)) {
            auto* socket = new QLocalSocket;
            if (socket->setSocketDescriptor(reinterpret_cast<qintptr>(state.pipe.get()), QLocalSocket::ConnectedState,
                                            QIODevice::ReadWrite)) {
                state.pipe.release();
                Connected(socket);
            } else {
                delete socket;
            }
        }
        if (state.pipe.valid())
            ::DisconnectNamedPipe(state.pipe.get());
        state.pipe.reset();
    }
    DWORD flags = PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (state.first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    state.pipe.reset(::CreateNamedPipeW(
        state.name.c_str(), flags, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
        PIPE_UNLIMITED_INSTANCES, kPipeBufferBytes, kPipeBufferBytes, 0, &state.security.attributes));
    if (!state.pipe.valid()) {
        // The first instance: another window (or anybody else) holds the name. A later one:
        // out of handles or memory; listening pauses for a moment.
        if (!state.first)
            QTimer::singleShot(kPauseAfterErrorMilliseconds, this, [this] { Accept(); });
        return;
    }
    state.first = false;
    ::ResetEvent(state.event.get());
    state.overlapped = {};
    state.overlapped.hEvent = state.event.get();
    if (!::ConnectNamedPipe(state.pipe.get(), &state.overlapped)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_PIPE_CONNECTED) {
            state.connectedAtOnce = true;
            ::SetEvent(state.event.get());
        } else if (error != ERROR_IO_PENDING) {
            state.pipe.reset();
            QTimer::singleShot(kPauseAfterErrorMilliseconds, this, [this] { Accept(); });
            return;
        }
    }
    if (!state.notifier) {
        state.notifier = new QWinEventNotifier(state.event.get(), this);
        connect(state.notifier, &QWinEventNotifier::activated, this, [this] { Accept(); });
    }
}

} // namespace gustara
