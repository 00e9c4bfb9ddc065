/* Times a player from its exec to its first picture on the screen.
 *
 *   first_picture [-w] [-t timeout_ms] [-x X -y Y -W WIDTH -H HEIGHT] -- program args...
 *
 * Starts the program in a process group of its own and reads the screen (the
 * root window, through shared memory) every 5 ms until the picture of the
 * sample shows: testsrc2 is a field of saturated colours, which no window
 * frame, widget or black video area has, so the first read in which enough
 * sampled pixels are strongly coloured is the first picture. It also notes
 * the first read in which anything on the screen changed (a window mapped).
 * With -w it first maps a plain black window of its own and replaces every
 * "%WID%" in the arguments by its id (for "mplayer -wid"); -x/-y/-W/-H place
 * and size that window. Then it ends the whole process group (SIGTERM, and
 * SIGKILL if it does not go within 3 s) and waits for it.
 *
 * Prints one line: "<mapped ms> <picture ms>", -1 for what never happened.
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static void sleep_until(double ms)
{
    struct timespec ts = {(time_t)(ms / 1e3), (long)((ms - (time_t)(ms / 1e3) * 1e3) * 1e6)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, NULL) == EINTR) {
    }
}

enum { step = 4, saturation = 96, picture_samples = 200 };

static int coloured(unsigned long pixel)
{
    const int r = (pixel >> 16) & 0xff, g = (pixel >> 8) & 0xff, b = pixel & 0xff;
    int max = r > g ? r : g, min = r < g ? r : g;
    if (b > max)
        max = b;
    if (b < min)
        min = b;
    return max - min >= saturation;
}

static void end_group(pid_t pid, int reaped)
{
    kill(-pid, SIGTERM);
    const double deadline = now_ms() + 3000;
    while (!reaped) {
        if (waitpid(pid, NULL, WNOHANG) == pid)
            break;
        if (now_ms() > deadline) {
            kill(-pid, SIGKILL);
            waitpid(pid, NULL, 0);
            break;
        }
        usleep(10000);
    }
    /* The group may hold an engine that outlives its front-end for a moment. */
    for (int i = 0; i < 300 && kill(-pid, 0) == 0; ++i)
        usleep(10000);
    kill(-pid, SIGKILL);
}

int main(int argc, char **argv)
{
    int own_window = 0, timeout = 10000, wx = 0, wy = 0, ww = 640, wh = 360, opt;
    while ((opt = getopt(argc, argv, "wt:x:y:W:H:")) != -1) {
        switch (opt) {
        case 'w': own_window = 1; break;
        case 't': timeout = atoi(optarg); break;
        case 'x': wx = atoi(optarg); break;
        case 'y': wy = atoi(optarg); break;
        case 'W': ww = atoi(optarg); break;
        case 'H': wh = atoi(optarg); break;
        default: return 2;
        }
    }
    if (optind >= argc) {
        fprintf(stderr, "usage: first_picture [-w] [-t ms] -- program args...\n");
        return 2;
    }
    Display *dpy = XOpenDisplay(NULL);
    if (!dpy || !XShmQueryExtension(dpy)) {
        fprintf(stderr, "first_picture: no display with MIT-SHM\n");
        return 2;
    }
    const int screen = DefaultScreen(dpy);
    const Window root = RootWindow(dpy, screen);
    const int width = DisplayWidth(dpy, screen), height = DisplayHeight(dpy, screen);

    XShmSegmentInfo shm;
    XImage *image = XShmCreateImage(dpy, DefaultVisual(dpy, screen), DefaultDepth(dpy, screen),
                                    ZPixmap, NULL, &shm, width, height);
    shm.shmid = shmget(IPC_PRIVATE, image->bytes_per_line * image->height, IPC_CREAT | 0600);
    shm.shmaddr = image->data = shmat(shm.shmid, NULL, 0);
    shm.readOnly = False;
    XShmAttach(dpy, &shm);
    XSync(dpy, False);
    shmctl(shm.shmid, IPC_RMID, NULL);

    char **args = argv + optind;
    if (own_window) {
        Window w = XCreateSimpleWindow(dpy, root, wx, wy, ww, wh, 0, 0, BlackPixel(dpy, screen));
        XSelectInput(dpy, w, ExposureMask);
        XMapWindow(dpy, w);
        XEvent ev;
        do
            XNextEvent(dpy, &ev);
        while (ev.type != Expose);
        char id[32];
        snprintf(id, sizeof id, "%lu", (unsigned long)w);
        for (char **a = args; *a; ++a) {
            if (strcmp(*a, "%WID%") == 0)
                *a = id;
        }
    }

    /* The screen before the program starts, to see when anything changes. */
    XShmGetImage(dpy, root, image, 0, 0, AllPlanes);
    const int columns = width / step, rows = height / step;
    unsigned long *before = malloc(sizeof *before * columns * rows);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            before[y * columns + x] = XGetPixel(image, x * step, y * step);

    const double start = now_ms();
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        /* The player's chatter stays out of the result line. */
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execvp(args[0], args);
        _exit(127);
    }
    setpgid(pid, pid);

    double mapped = -1, picture = -1, tick = start;
    int reaped = 0;
    while (picture < 0 && now_ms() - start < timeout) {
        tick += 5;
        sleep_until(tick);
        XShmGetImage(dpy, root, image, 0, 0, AllPlanes);
        const double seen = now_ms() - start;
        int changed = 0, count = 0;
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < columns; ++x) {
                const unsigned long p = XGetPixel(image, x * step, y * step);
                changed |= p != before[y * columns + x];
                count += coloured(p);
            }
        }
        if (changed && mapped < 0)
            mapped = seen;
        if (count >= picture_samples)
            picture = seen;
        if (waitpid(pid, NULL, WNOHANG) == pid) {
            reaped = 1;
            break;
        }
    }
    end_group(pid, reaped);
    printf("%.0f %.0f\n", mapped, picture);
    return picture < 0;
}
