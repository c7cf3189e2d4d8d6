/* Times a program from its start to the first frame it presents, from the
   outside: it starts the program, waits for a mapped window named "Grimalou",
   and reads one row of its pixels until a colour that is neither black nor
   white shows (an unpainted window reads black; grimalou clears to white
   and draws its pictures in the same frame). Prints the milliseconds, then
   stops the program.

     first_frame [--click X Y] PROGRAM [ARGUMENTS...]

   With --click, half a second after the first frame shows, it clicks at
   window pixel (X, Y) (with xdotool) and also prints the milliseconds from the click until the
   row shows another picture: a quarter of its pixels changed (the face
   changes about 40 % of them).

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

/* The pixels of a row across the middle of the window (through the title
   screen's two pictures), at most ROW_PIXELS of them; how many, 0 if none. */
#define ROW_PIXELS 4096
static int read_row(Display* d, Window w, unsigned long* pixels) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a) || a.width < 1 || a.height < 1) return 0;
    int width = a.width < ROW_PIXELS ? a.width : ROW_PIXELS;
    XImage* row = XGetImage(d, w, 0, a.height / 2, width, 1, AllPlanes, ZPixmap);
    if (!row) return 0;
    for (int x = 0; x < width; ++x) pixels[x] = XGetPixel(row, x, 0) & 0xffffff;
    XDestroyImage(row);
    return width;
}

/* Whether the row shows a colour other than black and white. */
static int painted(Display* d, Window w, unsigned long* pixels) {
    int width = read_row(d, w, pixels);
    for (int x = 0; x < width; ++x)
        if (pixels[x] != 0 && pixels[x] != 0xffffff) return 1;
    return 0;
}

/* Runs xdotool with up to five arguments; waits for it when `wait`, and
   then says whether it succeeded. */
static int xdotool(int wait, const char* a, const char* b, const char* c, const char* d, const char* e) {
    pid_t child = fork();
    if (child == 0) {
        execlp("xdotool", "xdotool", a, b, c, d, e, (char*)NULL);
        _exit(127);
    }
    if (!wait) return child > 0;
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int main(int argc, char** argv) {
    const char *click_x = NULL, *click_y = NULL;
    if (argc > 3 && strcmp(argv[1], "--click") == 0) {
        click_x = argv[2];
        click_y = argv[3];
        argv += 3;
        argc -= 3;
    }
    if (argc < 2) {
        fprintf(stderr, "usage: first_frame [--click X Y] PROGRAM [ARGUMENTS...]\n");
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
    double elapsed = -1, clicked = -1, changed = -1;
    static unsigned long first[ROW_PIXELS], row[ROW_PIXELS];
    Window w = 0;
    while (now() - start < LIMIT_SECONDS) {
        if (!w) w = find_window(d);
        if (elapsed < 0 && w && painted(d, w, first)) {
            elapsed = now() - start;
            if (!click_x) break;
            /* As a user looks before choosing: a click within the first
               instants can reach the window before it takes input. */
            struct timespec look = {0, 500000000};
            nanosleep(&look, NULL);
            char window[32];
            snprintf(window, sizeof window, "%lu", (unsigned long)w);
            if (!xdotool(1, "mousemove", "--window", window, click_x, click_y)) break;
            /* Timed from before xdotool starts (about 10 ms): it presses
               the button before it ends, and the program answers the
               press. The release is not waited for. */
            clicked = now();
            if (!xdotool(1, "mousedown", "1", NULL, NULL, NULL) || !xdotool(0, "mouseup", "1", NULL, NULL, NULL))
                break;
        }
        if (clicked >= 0) {
            int width = read_row(d, w, row), differ = 0;
            for (int x = 0; x < width; ++x) differ += row[x] != first[x];
            if (width > 0 && differ >= width / 4) {
                changed = now() - clicked;
                break;
            }
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
    while (wait(NULL) > 0) {
    }  /* xdotool's release, if it still runs */
    XCloseDisplay(d);
    if (elapsed < 0) {
        fprintf(stderr, "first_frame: %s presented no frame\n", argv[1]);
        return 1;
    }
    if (click_x && changed < 0) {
        fprintf(stderr, "first_frame: %s showed nothing new after the click\n", argv[1]);
        return 1;
    }
    if (click_x)
        printf("%.1f %.1f\n", elapsed * 1000, changed * 1000);
    else
        printf("%.1f\n", elapsed * 1000);
    return 0;
}
