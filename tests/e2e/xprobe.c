/* A small X client for the end-to-end tests.
 *   xprobe host WIDTH HEIGHT [input-only]
 *                             - maps a window (InputOnly if asked), prints its
 *                               id, destroys it when a line (or end of input)
 *                               arrives on stdin
 *   xprobe cursor-hidden      - exit 0 when the pointer's cursor image is fully
 *                               transparent, 1 when something is visible
 *   xprobe close WINDOW       - asks the window to close as a window manager's
 *                               close box does (WM_DELETE_WINDOW)
 */
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int Host(Display* display, int width, int height, int inputOnly)
{
    Window window = inputOnly ? XCreateWindow(display, DefaultRootWindow(display), 10, 10, width, height, 0, 0,
                                              InputOnly, CopyFromParent, 0, NULL)
                              : XCreateSimpleWindow(display, DefaultRootWindow(display), 10, 10, width, height, 0, 0,
                                                    WhitePixel(display, DefaultScreen(display)));
    XStoreName(display, window, "xprobe host");
    XMapWindow(display, window);
    XSync(display, False);
    printf("%lu\n", (unsigned long)window);
    fflush(stdout);
    char line[64];
    if (fgets(line, sizeof line, stdin) == NULL) {
        /* end of input: destroy all the same */
    }
    XDestroyWindow(display, window);
    XSync(display, False);
    return 0;
}

static int CursorHidden(Display* display)
{
    int eventBase, errorBase;
    if (!XFixesQueryExtension(display, &eventBase, &errorBase)) {
        fprintf(stderr, "xprobe: no XFIXES\n");
        return 2;
    }
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (image == NULL)
        return 2;
    unsigned long visible = 0;
    for (unsigned long i = 0; i < (unsigned long)image->width * image->height; ++i)
        if ((image->pixels[i] >> 24) & 0xff)
            ++visible;
    printf("cursor %dx%d, %lu visible pixels\n", image->width, image->height, visible);
    XFree(image);
    return visible == 0 ? 0 : 1;
}

static int Close(Display* display, Window window)
{
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

int main(int argc, char** argv)
{
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "xprobe: cannot open display\n");
        return 2;
    }
    int result = 2;
    if ((argc == 4 || (argc == 5 && strcmp(argv[4], "input-only") == 0)) && strcmp(argv[1], "host") == 0)
        result = Host(display, atoi(argv[2]), atoi(argv[3]), argc == 5);
    else if (argc == 2 && strcmp(argv[1], "cursor-hidden") == 0)
        result = CursorHidden(display);
    else if (argc == 3 && strcmp(argv[1], "close") == 0)
        result = Close(display, (Window)strtoul(argv[2], NULL, 0));
    else
        fprintf(stderr, "usage: xprobe host W H [input-only] | xprobe cursor-hidden | xprobe close WINDOW\n");
    XCloseDisplay(display);
    return result;
}
