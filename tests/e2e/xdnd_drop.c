/* Drops files on the X window at a point of the screen as a Linux file manager does, by the
 * XDND protocol: enter, position, drop, with the files as a text/uri-list selection. Wine turns
 * such a drop into WM_DROPFILES for a window that accepts files.
 *   xdnd_drop X Y FILE...    (absolute Unix paths)
 * Exits 0 once the target reports the drop finished, 1 when it refuses it or does not answer,
 * 2 on a usage error. Built for the machine running the tests, not for Windows. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>

static Display *display;
static Window source;
static Atom aware, enter, position, status, drop, finished, selection, copy, uriList;
static char *uris;

/* The deepest window at the point that takes part in XDND (Wine marks its top-level windows). */
static Window TargetAt(int x, int y) {
    Window root = DefaultRootWindow(display), at = root, child = None, found = None;
    int cx, cy;
    while (XTranslateCoordinates(display, root, at, x, y, &cx, &cy, &child) && child != None) {
        at = child;
        Atom type;
        int format;
        unsigned long count, rest;
        unsigned char *data = NULL;
        if (XGetWindowProperty(display, at, aware, 0, 1, False, AnyPropertyType, &type, &format,
                               &count, &rest, &data) == Success && type != None) {
            found = at;
        }
        if (data) {
            XFree(data);
        }
    }
    return found;
}

static void Send(Window target, Atom kind, long l1, long l2, long l3, long l4) {
    XEvent event;
    memset(&event, 0, sizeof(event));
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = kind;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)source;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

/* Gives the files to whoever asks for the selection. */
static void Answer(const XSelectionRequestEvent *request) {
    XEvent reply;
    memset(&reply, 0, sizeof(reply));
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request->requestor;
    reply.xselection.selection = request->selection;
    reply.xselection.target = request->target;
    reply.xselection.time = request->time;
    reply.xselection.property = None;
    if (request->target == uriList) {
        XChangeProperty(display, request->requestor, request->property, uriList, 8,
                        PropModeReplace, (unsigned char *)uris, (int)strlen(uris));
        reply.xselection.property = request->property;
    }
    XSendEvent(display, request->requestor, False, NoEventMask, &reply);
    XFlush(display);
}

/* Handles events until a client message of the kind arrives; its event, or 0 after the time. */
static int AwaitMessage(Atom kind, double seconds, XClientMessageEvent *out) {
    struct timespec start, now;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == SelectionRequest) {
                Answer(&event.xselectionrequest);
            } else if (event.type == ClientMessage && event.xclient.message_type == kind) {
                *out = event.xclient;
                return 1;
            }
        }
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (now.tv_sec - start.tv_sec + (now.tv_nsec - start.tv_nsec) / 1e9 > seconds) {
            return 0;
        }
        int fd = ConnectionNumber(display);
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(fd, &ready);
        struct timeval wait = {0, 50000};
        select(fd + 1, &ready, NULL, NULL, &wait);
    }
}

int main(int argc, char **argv) {
    if (argc < 4 || !(display = XOpenDisplay(NULL))) {
        fprintf(stderr, "usage: xdnd_drop X Y FILE... (with a display)\n");
        return 2;
    }
    const int x = atoi(argv[1]), y = atoi(argv[2]);
    size_t length = 1;
    for (int i = 3; i < argc; ++i) {
        length += strlen(argv[i]) * 3 + 10;
    }
    uris = calloc(length, 1);
    for (int i = 3; i < argc; ++i) {
        strcat(uris, "file://");
        /* Spaces and other unsafe bytes as %XX, as file managers write them. */
        for (const unsigned char *c = (const unsigned char *)argv[i]; *c; ++c) {
            char part[4] = {(char)*c, 0};
            if (*c <= ' ' || *c == '%' || *c >= 0x7F) {
                snprintf(part, sizeof(part), "%%%02X", *c);
            }
            strcat(uris, part);
        }
        strcat(uris, "\r\n");
    }
    aware = XInternAtom(display, "XdndAware", False);
    enter = XInternAtom(display, "XdndEnter", False);
    position = XInternAtom(display, "XdndPosition", False);
    status = XInternAtom(display, "XdndStatus", False);
    drop = XInternAtom(display, "XdndDrop", False);
    finished = XInternAtom(display, "XdndFinished", False);
    selection = XInternAtom(display, "XdndSelection", False);
    copy = XInternAtom(display, "XdndActionCopy", False);
    uriList = XInternAtom(display, "text/uri-list", False);
    source = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, selection, source, CurrentTime);
    const Window target = TargetAt(x, y);
    if (target == None) {
        fprintf(stderr, "xdnd_drop: no window takes drops at %d,%d\n", x, y);
        return 1;
    }
    XClientMessageEvent reply;
    Send(target, enter, 5L << 24, (long)uriList, None, None);
    Send(target, position, 0, ((long)x << 16) | (y & 0xFFFF), CurrentTime, (long)copy);
    if (!AwaitMessage(status, 10, &reply) || !(reply.data.l[1] & 1)) {
        fprintf(stderr, "xdnd_drop: the window refuses the drop\n");
        Send(target, XInternAtom(display, "XdndLeave", False), 0, 0, 0, 0);
        return 1;
    }
    Send(target, drop, 0, CurrentTime, 0, 0);
    if (!AwaitMessage(finished, 10, &reply)) {
        fprintf(stderr, "xdnd_drop: the drop did not finish\n");
        return 1;
    }
    XCloseDisplay(display);
    return 0;
}
