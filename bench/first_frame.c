/* Times a program from its start to the first frame it presents, from the
   outside: it starts the program, waits for a mapped window named "Grimalou",
   and reads one row of its pixels until a colour that is neither black nor
   white shows (an unpainted window reads black; grimalou clears to white
   and draws its pictures in the same frame). Prints the milliseconds, then
   stops the program.

     first_frame PROGRAM [ARGUMENTS...]

   Nothing in the program measured is changed or told. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

/* Give up after this long: a program that never draws fails the run. */
#define LIMIT_SECONDS 20.0

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

static int ignore_errors(Display* d, XErrorEvent* e) {
    (void)d;
    (void)e;
    return 0;
}

/* A viewable top-level window named "Grimalou", or 0. */
static Window find_window(Display* d) {
    Window root = DefaultRootWindow(d), parent, *children = NULL, found = 0;
    unsigned count = 0;
    if (!XQueryTree(d, root, &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = NULL;
        XWindowAttributes a;
        if (XFetchName(d, children[i], &name) && name && strcmp(name, "Grimalou") == 0 &&
            XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable)
            found = children[i];
        if (name) XFree(name);
    }
    if (children) XFree(children);
    return found;
}

/* Whether a row across the window shows a colour other than black and white. */
static int painted(Display* d, Window w) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a) || a.width < 1 || a.height < 1) return 0;
    /* Through the middle of the title screen's two pictures. */
    XImage* row = XGetImage(d, w, 0, a.height / 2, a.width, 1, AllPlanes, ZPixmap);
    if (!row) return 0;
    int seen = 0;
    for (int x = 0; x < a.width && !seen; ++x) {
        unsigned long p = XGetPixel(row, x, 0) & 0xffffff;
        seen = p != 0 && p != 0xffffff;
    }
    XDestroyImage(row);
    return seen;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: first_frame PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "first_frame: no display\n");
        return 1;
    }
    XSetErrorHandler(ignore_errors);
    double start = now();
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double elapsed = -1;
    Window w = 0;
    while (now() - start < LIMIT_SECONDS) {
        if (!w) w = find_window(d);
        if (w && painted(d, w)) {
            elapsed = now() - start;
            break;
        }
        if (waitpid(child, NULL, WNOHANG) == child) {
            child = 0;
            break;
        }
        struct timespec pause = {0, 500000};
        nanosleep(&pause, NULL);
    }
    if (child) {
        kill(child, SIGTERM);
        waitpid(child, NULL, 0);
    }
    XCloseDisplay(d);
    if (elapsed < 0) {
        fprintf(stderr, "first_frame: %s presented no frame\n", argv[1]);
        return 1;
    }
    printf("%.1f\n", elapsed * 1000);
    return 0;
}
