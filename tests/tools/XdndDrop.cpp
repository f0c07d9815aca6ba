// xdnd-drop: drops files onto a running program's window from another process through the
// X11 drag-and-drop protocol (XDND version 5), the way a file manager does.
//
//   xdnd-drop (--window-name NAME | --window-id ID) [--x X --y Y] [--timeout SECONDS] FILE...
//   xdnd-drop (--window-name NAME | --window-id ID) [--timeout SECONDS] --close
//
// --close drops nothing: it asks the window to close as a window manager's close box does
// (WM_DELETE_WINDOW), so that tests can end a program the way a user does.
// NAME must equal the window's _NET_WM_NAME (UTF-8) or WM_NAME; only viewable windows count,
// and the tool waits for the window to appear. ID is decimal or 0x-prefixed hexadecimal.
// X and Y are root-window coordinates (default: the centre of the window). Each FILE becomes
// a file:// URI of its absolute path with every byte outside the unreserved set
// percent-encoded. Exit status: 0 when the target took the drop; 1 when it refused it, when
// the window or an answer did not come within the timeout (10 s by default), or on an X
// failure; 2 on bad usage.
//
// Example, under a virtual display:
//   xvfb-run -a sh -c 'QT_QPA_PLATFORM=xcb ./gustara & xdnd-drop --window-name "画像を美味しくするソフト" "/tmp/a b%.jpg"'

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kOurXdndVersion = 5;

// Bad command line: exit status 2.
class UsageError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    std::optional<std::string> windowName;
    std::optional<Window> windowId;
    std::optional<int> x;
    std::optional<int> y;
    long timeoutSeconds = 10;
    bool close = false;
    std::vector<std::string> files;
};

struct Atoms {
    Atom netWmName, utf8String, xdndAware, xdndSelection, xdndEnter, xdndPosition, xdndStatus,
        xdndLeave, xdndDrop, xdndFinished, xdndActionCopy, uriList, targets, timestampProbe;
};

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

struct XFreeDeleter {
    void operator()(unsigned char* data) const { XFree(data); }
};
using XData = std::unique_ptr<unsigned char, XFreeDeleter>;

// Windows vanish while the tree is walked and messages may go to a window that has just
// closed; such errors are expected and must not end the program as Xlib's default does.
int IgnoreXError(Display*, XErrorEvent*)
{
    return 0;
}

long ParseNumber(const std::string& text, const char* option)
{
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0')
        throw UsageError(std::string(option) + " needs a number, not \"" + text + "\"");
    return value;
}

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw UsageError(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--window-name")
            options.windowName = value();
        else if (arg == "--window-id")
            options.windowId = static_cast<Window>(ParseNumber(value(), "--window-id"));
        else if (arg == "--x")
            options.x = static_cast<int>(ParseNumber(value(), "--x"));
        else if (arg == "--y")
            options.y = static_cast<int>(ParseNumber(value(), "--y"));
        else if (arg == "--timeout")
            options.timeoutSeconds = ParseNumber(value(), "--timeout");
        else if (arg == "--close")
            options.close = true;
        else if (arg.starts_with("--"))
            throw UsageError("unknown option " + arg);
        else
            options.files.push_back(arg);
    }
    if (options.windowName.has_value() == options.windowId.has_value())
        throw UsageError("give exactly one of --window-name and --window-id");
    if (options.x.has_value() != options.y.has_value())
        throw UsageError("give both --x and --y, or neither");
    if (options.files.empty() != options.close)
        throw UsageError(options.close ? "--close drops no files" : "no files to drop");
    return options;
}

Atoms InternAtoms(Display* display)
{
    auto atom = [display](const char* name) { return XInternAtom(display, name, False); };
    return {atom("_NET_WM_NAME"), atom("UTF8_STRING"), atom("XdndAware"), atom("XdndSelection"),
        atom("XdndEnter"), atom("XdndPosition"), atom("XdndStatus"), atom("XdndLeave"),
        atom("XdndDrop"), atom("XdndFinished"), atom("XdndActionCopy"), atom("text/uri-list"),
        atom("TARGETS"), atom("XDND_DROP_TIMESTAMP")};
}

// The window's title in UTF-8: _NET_WM_NAME, else WM_NAME converted from its encoding.
std::optional<std::string> WindowName(Display* display, Window window, const Atoms& atoms)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    if (XGetWindowProperty(display, window, atoms.netWmName, 0, 4096, False, atoms.utf8String,
            &type, &format, &count, &after, &raw) == Success) {
        XData data(raw);
        if (type == atoms.utf8String && format == 8)
            return std::string(reinterpret_cast<const char*>(raw), count);
    }
    XTextProperty text{};
    if (XGetWMName(display, window, &text) == 0)
        return std::nullopt;
    XData textData(text.value);
    char** list = nullptr;
    int listCount = 0;
    if (Xutf8TextPropertyToTextList(display, &text, &list, &listCount) < Success || listCount < 1)
        return std::nullopt;
    std::string name = list[0];
    XFreeStringList(list);
    return name;
}

bool IsOnScreen(Display* display, Window window)
{
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
}

// Every viewable window below the root whose title is the name.
std::vector<Window> WindowsNamed(Display* display, const std::string& name, const Atoms& atoms)
{
    std::vector<Window> found;
    std::vector<Window> pending{DefaultRootWindow(display)};
    while (!pending.empty()) {
        Window window = pending.back();
        pending.pop_back();
        Window root = None, parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, window, &root, &parent, &children, &count) == 0)
            continue;
        pending.insert(pending.end(), children, children + count);
        if (children != nullptr)
            XFree(children);
        if (window != root && WindowName(display, window, atoms) == name &&
            IsOnScreen(display, window))
            found.push_back(window);
    }
    return found;
}

Window FindWindowNamed(Display* display, const std::string& name, const Atoms& atoms,
    Clock::time_point deadline)
{
    for (;;) {
        std::vector<Window> found = WindowsNamed(display, name, atoms);
        if (found.size() == 1)
            return found[0];
        if (found.size() > 1)
            throw std::runtime_error(
                std::to_string(found.size()) + " windows are named \"" + name + "\"");
        if (Clock::now() >= deadline)
            throw std::runtime_error("no viewable window named \"" + name + "\"");
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// The XDND version that the window announces, or nullopt when it takes no drops.
std::optional<long> XdndVersion(Display* display, Window window, const Atoms& atoms)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    if (XGetWindowProperty(display, window, atoms.xdndAware, 0, 1, False, XA_ATOM, &type,
            &format, &count, &after, &raw) != Success)
        return std::nullopt;
    XData data(raw);
    if (type != XA_ATOM || format != 32 || count < 1)
        return std::nullopt;
    return reinterpret_cast<const long*>(raw)[0];
}

struct DropTarget {
    Window window;
    long version;
};

// The drop goes to the top-level window that carries XdndAware: the window itself or, when a
// window manager has reparented it or the name sits on a child, the nearest ancestor with it.
DropTarget FindDropTarget(Display* display, Window window, const Atoms& atoms)
{
    const Window root = DefaultRootWindow(display);
    for (Window current = window; current != root && current != None;) {
        if (std::optional<long> version = XdndVersion(display, current, atoms))
            return {current, std::min(*version, kOurXdndVersion)};
        Window rootOut = None, parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, current, &rootOut, &parent, &children, &count) == 0)
            break;
        if (children != nullptr)
            XFree(children);
        current = parent;
    }
    throw std::runtime_error("the window takes no drops (no XdndAware on it or its parents)");
}

std::pair<int, int> CentreOf(Display* display, Window window)
{
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0)
        throw std::runtime_error("the window has gone");
    int x = 0, y = 0;
    Window child = None;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), attributes.width / 2,
        attributes.height / 2, &x, &y, &child);
    return {x, y};
}

// file:// URI of the absolute path; "/" stays, other bytes outside A-Z a-z 0-9 - . _ ~ are
// percent-encoded, so UTF-8 names, spaces and "%" arrive unchanged.
std::string FileUri(const std::string& file)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string path = std::filesystem::absolute(file).lexically_normal().string();
    std::string uri = "file://";
    for (unsigned char byte : path) {
        bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                          (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                          byte == '_' || byte == '~' || byte == '/';
        if (unreserved) {
            uri += static_cast<char>(byte);
        } else {
            uri += '%';
            uri += hex[byte >> 4];
            uri += hex[byte & 15];
        }
    }
    return uri;
}

class DragSource {
public:
    DragSource(Display* display, const Atoms& atoms, DropTarget target, std::string uriList,
        Clock::time_point deadline)
        : display_(display), atoms_(atoms), target_(target), uriList_(std::move(uriList)),
          deadline_(deadline)
    {
        Window root = DefaultRootWindow(display_);
        source_ = XCreateSimpleWindow(display_, root, -10, -10, 1, 1, 0, 0, 0);
        XSelectInput(display_, source_, PropertyChangeMask);
        time_ = ServerTime();
        XSetSelectionOwner(display_, atoms_.xdndSelection, source_, time_);
        if (XGetSelectionOwner(display_, atoms_.xdndSelection) != source_)
            throw std::runtime_error("could not own XdndSelection");
    }
    DragSource(const DragSource&) = delete;
    DragSource& operator=(const DragSource&) = delete;
    ~DragSource() { XDestroyWindow(display_, source_); }

    // Enter, position, drop; throws with the reason when the target refuses or goes silent.
    void Drop(int x, int y)
    {
        Send(atoms_.xdndEnter, static_cast<long>(target_.version << 24),
            static_cast<long>(atoms_.uriList));
        Send(atoms_.xdndPosition, 0, (static_cast<long>(x) << 16) | (y & 0xFFFF),
            static_cast<long>(time_), static_cast<long>(atoms_.xdndActionCopy));
        XClientMessageEvent status = Await(atoms_.xdndStatus, "XdndStatus");
        if ((status.data.l[1] & 1) == 0) {
            Send(atoms_.xdndLeave);
            throw std::runtime_error("the target refused the drop at " + std::to_string(x) +
                                     "," + std::to_string(y));
        }
        Send(atoms_.xdndDrop, 0, static_cast<long>(time_));
        XClientMessageEvent finished = Await(atoms_.xdndFinished, "XdndFinished");
        if (target_.version >= 5 && (finished.data.l[1] & 1) == 0)
            throw std::runtime_error("the target ended the drop without accepting it");
    }

private:
    // A server timestamp, from the property change it reports back: the selection and the
    // drop must carry the same real time for the target's request to reach us.
    Time ServerTime()
    {
        XChangeProperty(display_, source_, atoms_.timestampProbe, XA_STRING, 8, PropModeAppend,
            nullptr, 0);
        XEvent event;
        XWindowEvent(display_, source_, PropertyChangeMask, &event);
        return event.xproperty.time;
    }

    void Send(Atom type, long l1 = 0, long l2 = 0, long l3 = 0, long l4 = 0)
    {
        XEvent event{};
        XClientMessageEvent& message = event.xclient;
        message.type = ClientMessage;
        message.display = display_;
        message.window = target_.window;
        message.message_type = type;
        message.format = 32;
        message.data.l[0] = static_cast<long>(source_);
        message.data.l[1] = l1;
        message.data.l[2] = l2;
        message.data.l[3] = l3;
        message.data.l[4] = l4;
        XSendEvent(display_, target_.window, False, NoEventMask, &event);
        XFlush(display_);
    }

    // The target's next message of the type; the target may ask for the data at any time
    // meanwhile, so selection requests are answered here too.
    XClientMessageEvent Await(Atom type, const char* name)
    {
        for (;;) {
            XEvent event;
            if (!NextEvent(event))
                throw std::runtime_error(std::string("no ") + name + " from the target in time");
            if (event.type == SelectionRequest)
                Answer(event.xselectionrequest);
            else if (event.type == ClientMessage && event.xclient.message_type == type &&
                     static_cast<Window>(event.xclient.data.l[0]) == target_.window)
                return event.xclient;
        }
    }

    bool NextEvent(XEvent& event)
    {
        while (XPending(display_) == 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline_ - Clock::now());
            if (left.count() <= 0)
                return false;
            pollfd connection{ConnectionNumber(display_), POLLIN, 0};
            poll(&connection, 1, static_cast<int>(left.count()));
        }
        XNextEvent(display_, &event);
        return true;
    }

    void Answer(const XSelectionRequestEvent& request)
    {
        XEvent reply{};
        XSelectionEvent& notify = reply.xselection;
        notify.type = SelectionNotify;
        notify.display = display_;
        notify.requestor = request.requestor;
        notify.selection = request.selection;
        notify.target = request.target;
        notify.time = request.time;
        notify.property = None;
        Atom property = request.property != None ? request.property : request.target;
        if (request.selection == atoms_.xdndSelection && request.target == atoms_.uriList) {
            XChangeProperty(display_, request.requestor, property, atoms_.uriList, 8,
                PropModeReplace, reinterpret_cast<const unsigned char*>(uriList_.data()),
                static_cast<int>(uriList_.size()));
            notify.property = property;
        } else if (request.selection == atoms_.xdndSelection && request.target == atoms_.targets) {
            Atom targets[] = {atoms_.targets, atoms_.uriList};
            XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                reinterpret_cast<const unsigned char*>(targets), 2);
            notify.property = property;
        }
        XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
        XFlush(display_);
    }

    Display* display_;
    const Atoms& atoms_;
    DropTarget target_;
    std::string uriList_;
    Clock::time_point deadline_;
    Window source_ = None;
    Time time_ = CurrentTime;
};

// What a window manager sends when the user presses the window's close box.
void AskToClose(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    if (XSendEvent(display, window, False, NoEventMask, &event) == 0)
        throw std::runtime_error("cannot send the close request");
    XSync(display, False);
}

void Run(const Options& options)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(options.timeoutSeconds);
    std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display)
        throw std::runtime_error("cannot open the X display (is DISPLAY set?)");
    XSetErrorHandler(IgnoreXError);
    const Atoms atoms = InternAtoms(display.get());

    Window window = options.windowId ? *options.windowId
                                     : FindWindowNamed(display.get(), *options.windowName, atoms,
                                           deadline);
    if (options.close) {
        AskToClose(display.get(), window);
        return;
    }
    DropTarget target = FindDropTarget(display.get(), window, atoms);
    auto [x, y] = options.x ? std::pair{*options.x, *options.y} : CentreOf(display.get(), window);

    std::string uriList;
    for (const std::string& file : options.files)
        uriList += FileUri(file) + "\r\n";

    DragSource source(display.get(), atoms, target, uriList, deadline);
    source.Drop(x, y);
}

} // namespace

int main(int argc, char** argv)
{
    try {
        Run(ParseOptions(argc, argv));
        return 0;
    } catch (const UsageError& error) {
        std::fprintf(stderr,
            "xdnd-drop: %s\nusage: xdnd-drop (--window-name NAME | --window-id ID) "
            "[--x X --y Y] [--timeout SECONDS] (FILE... | --close)\n",
            error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "xdnd-drop: %s\n", error.what());
        return 1;
    }
}
