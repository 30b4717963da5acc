#include "tests/support/xdnd_source.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <thread>

namespace testsupport {
namespace {

constexpr long xdndVersion = 5;

struct Atoms {
    Atom aware, selection, enter, position, status, leave, drop, finished, actionCopy, uriList, targets, stamp;
    explicit Atoms(Display* d)
        : aware(XInternAtom(d, "XdndAware", False)),
          selection(XInternAtom(d, "XdndSelection", False)),
          enter(XInternAtom(d, "XdndEnter", False)),
          position(XInternAtom(d, "XdndPosition", False)),
          status(XInternAtom(d, "XdndStatus", False)),
          leave(XInternAtom(d, "XdndLeave", False)),
          drop(XInternAtom(d, "XdndDrop", False)),
          finished(XInternAtom(d, "XdndFinished", False)),
          actionCopy(XInternAtom(d, "XdndActionCopy", False)),
          uriList(XInternAtom(d, "text/uri-list", False)),
          targets(XInternAtom(d, "TARGETS", False)),
          stamp(XInternAtom(d, "PELMORA_TEST_STAMP", False)) {}
};

void Send(Display* d, Window target, Atom type, long l0, long l1, long l2, long l3, long l4) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    long data[5] = {l0, l1, l2, l3, l4};
    for (int i = 0; i < 5; ++i) event.xclient.data.l[i] = data[i];
    XSendEvent(d, target, False, NoEventMask, &event);
    XFlush(d);
}

// The version the window speaks, 0 when it takes no drops.
long AwareVersion(Display* d, Window window, const Atoms& atoms) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    long version = 0;
    if (XGetWindowProperty(d, window, atoms.aware, 0, 1, False, XA_ATOM, &type, &format, &count, &remaining, &data) ==
            Success &&
        data) {
        if (count == 1 && format == 32) version = static_cast<long>(*reinterpret_cast<Atom*>(data));
        XFree(data);
    }
    return version;
}

// A timestamp of the server's, from a property change of our own window:
// selection requests made with an earlier time than the ownership fail.
Time ServerTime(Display* d, Window window, const Atoms& atoms) {
    XChangeProperty(d, window, atoms.stamp, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent event;
    XWindowEvent(d, window, PropertyChangeMask, &event);
    return event.xproperty.time;
}

void AnswerRequest(Display* d, const XSelectionRequestEvent& request, const Atoms& atoms, const std::string& list) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = None;
    const Atom property = request.property != None ? request.property : request.target;
    if (request.selection == atoms.selection && request.target == atoms.uriList) {
        XChangeProperty(d, request.requestor, property, atoms.uriList, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(list.data()), static_cast<int>(list.size()));
        reply.xselection.property = property;
    } else if (request.selection == atoms.selection && request.target == atoms.targets) {
        const Atom offered[] = {atoms.targets, atoms.uriList};
        XChangeProperty(d, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(offered), 2);
        reply.xselection.property = property;
    }
    XSendEvent(d, request.requestor, False, NoEventMask, &reply);
    XFlush(d);
}

}  // namespace

DropOutcome DropUris(XWindow target, int rootX, int rootY, const std::vector<std::string>& uris,
                     std::chrono::milliseconds timeout) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return DropOutcome::noAnswer;
    const Atoms atoms(d);
    const Window source = XCreateSimpleWindow(d, DefaultRootWindow(d), -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(d, source, PropertyChangeMask);
    std::string list;
    for (const std::string& uri : uris) list += uri + "\r\n";

    DropOutcome outcome = DropOutcome::noAnswer;
    const long version = std::min(xdndVersion, AwareVersion(d, target, atoms));
    if (version < 2) {
        outcome = DropOutcome::refused;
    } else {
        const Time time = ServerTime(d, source, atoms);
        XSetSelectionOwner(d, atoms.selection, source, time);
        Send(d, target, atoms.enter, static_cast<long>(source), version << 24, static_cast<long>(atoms.uriList), 0, 0);
        Send(d, target, atoms.position, static_cast<long>(source), 0, static_cast<long>(rootX) << 16 | rootY,
             static_cast<long>(time), static_cast<long>(atoms.actionCopy));
        bool dropped = false;
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (outcome == DropOutcome::noAnswer && std::chrono::steady_clock::now() < end) {
            if (XPending(d) == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            XEvent event;
            XNextEvent(d, &event);
            if (event.type == SelectionRequest) {
                AnswerRequest(d, event.xselectionrequest, atoms, list);
            } else if (event.type == ClientMessage && event.xclient.message_type == atoms.status && !dropped) {
                if (event.xclient.data.l[1] & 1) {
                    Send(d, target, atoms.drop, static_cast<long>(source), 0, static_cast<long>(time), 0, 0);
                    dropped = true;
                } else {
                    Send(d, target, atoms.leave, static_cast<long>(source), 0, 0, 0, 0);
                    outcome = DropOutcome::refused;
                }
            } else if (event.type == ClientMessage && event.xclient.message_type == atoms.finished) {
                outcome = (event.xclient.data.l[1] & 1) ? DropOutcome::taken : DropOutcome::refused;
            }
        }
    }
    XDestroyWindow(d, source);
    XCloseDisplay(d);
    return outcome;
}

std::string FileUri(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
                           c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

}  // namespace testsupport
