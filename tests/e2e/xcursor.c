/* xcursor: what cursor the X server shows.
 *
 *   xcursor
 *     prints the cursor image shown right now, as
 *       width=W height=H transparent=0|1 serial=N
 *     where transparent=1 means that no pixel of the image has any opacity,
 *     which is how a hidden Windows cursor reaches X under Wine.
 *
 *   xcursor reveal DX DY [TIMEOUT_MS]
 *     with a hidden cursor shown now, moves the pointer by DX,DY through
 *     XTest (as a real mouse would) and prints how long X took to show a
 *     visible cursor again: "ms=T" (fractions of a millisecond), or
 *     "ms=timeout" with exit status 4. Exit status 3 when the cursor was not
 *     hidden to begin with.
 *
 *   xcursor press KEYSYM [TIMEOUT_MS]
 *     with a visible cursor shown now, presses the key (an X keysym name: a,
 *     space, Return) through XTest and prints how long X took, from the
 *     sending of the key, to show a hidden cursor: "ms=T", or "ms=timeout"
 *     with exit status 4; then lets the key go. Exit status 3 when the cursor
 *     was hidden to begin with.
 *
 *   xcursor until hidden|shown [TIMEOUT_MS]
 *     waits, looking without pause, until X shows a hidden (or a visible)
 *     cursor and prints how long that took, as reveal does.
 *
 *   xcursor wiggle SECONDS HZ
 *     moves the pointer 3 pixels right and back, HZ times a second, for
 *     SECONDS: a mouse that never rests.
 *
 * Built by the end-to-end scenarios and the benchmarks at test time:
 *   cc -o xcursor xcursor.c -lX11 -lXfixes -lXtst */

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

/* 1 when the cursor shown now has no opaque pixel; -1 when none can be read. */
static int shown_transparent(Display* display, XFixesCursorImage** out) {
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (!image) return -1;
  /* Each pixel is ARGB in an unsigned long; the top byte of its low 32 bits
   * is the opacity. */
  int transparent = 1;
  const unsigned long count = (unsigned long)image->width * image->height;
  for (unsigned long i = 0; i < count; ++i) {
    if ((image->pixels[i] >> 24) & 0xFF) {
      transparent = 0;
      break;
    }
  }
  if (out) {
    *out = image;
  } else {
    XFree(image);
  }
  return transparent;
}

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static int print_cursor(Display* display) {
  XFixesCursorImage* image = NULL;
  const int transparent = shown_transparent(display, &image);
  if (transparent < 0) {
    fprintf(stderr, "xcursor: no cursor image\n");
    return 1;
  }
  printf("width=%u height=%u transparent=%d serial=%lu\n", image->width, image->height, transparent,
         image->cursor_serial);
  XFree(image);
  return 0;
}

/* Polls until the cursor's transparency is `want`: 0 when it was met in time.
 * The time is taken after each look, so that it includes the look's own
 * round trip to the server. */
static int wait_until(Display* display, int want, double since, double timeout_ms) {
  for (;;) {
    const int now = shown_transparent(display, NULL);
    const double elapsed = now_ms() - since;
    if (now == want) {
      printf("ms=%.2f\n", elapsed);
      return 0;
    }
    if (elapsed > timeout_ms) {
      printf("ms=timeout\n");
      return 4;
    }
  }
}

static int time_reveal(Display* display, int dx, int dy, double timeout_ms) {
  int ignore = 0;
  if (!XTestQueryExtension(display, &ignore, &ignore, &ignore, &ignore)) {
    fprintf(stderr, "xcursor: the X server has no XTest extension\n");
    return 1;
  }
  if (shown_transparent(display, NULL) != 1) {
    printf("ms=not-hidden\n");
    return 3;
  }
  XTestFakeRelativeMotionEvent(display, dx, dy, CurrentTime);
  XSync(display, False);
  return wait_until(display, 0, now_ms(), timeout_ms);
}

static int time_hide(Display* display, const char* keysym, double timeout_ms) {
  int ignore = 0;
  if (!XTestQueryExtension(display, &ignore, &ignore, &ignore, &ignore)) {
    fprintf(stderr, "xcursor: the X server has no XTest extension\n");
    return 1;
  }
  const KeySym sym = XStringToKeysym(keysym);
  const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
  if (code == 0) {
    fprintf(stderr, "xcursor: no key for '%s'\n", keysym);
    return 1;
  }
  if (shown_transparent(display, NULL) != 0) {
    printf("ms=not-shown\n");
    return 3;
  }
  /* From the moment the key is sent: the answer to the sync can come after
   * the hide it set off. */
  const double pressed = now_ms();
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XSync(display, False);
  const int status = wait_until(display, 1, pressed, timeout_ms);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XSync(display, False);
  return status;
}

static int wiggle(Display* display, double seconds, double hz) {
  int ignore = 0;
  if (!XTestQueryExtension(display, &ignore, &ignore, &ignore, &ignore) || hz <= 0) return 1;
  const struct timespec pause = {0, (long)(1e9 / hz)};
  const double end = now_ms() + seconds * 1000.0;
  for (int step = 0; now_ms() < end; ++step) {
    XTestFakeRelativeMotionEvent(display, step % 2 ? -3 : 3, 0, CurrentTime);
    XFlush(display);
    nanosleep(&pause, NULL);
  }
  XSync(display, False);
  return 0;
}

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "xcursor: cannot open the display\n");
    return 1;
  }
  int event_base = 0;
  int error_base = 0;
  if (!XFixesQueryExtension(display, &event_base, &error_base)) {
    fprintf(stderr, "xcursor: the X server has no XFixes extension\n");
    XCloseDisplay(display);
    return 1;
  }
  int status = 2;
  if (argc == 1) {
    status = print_cursor(display);
  } else if ((argc == 4 || argc == 5) && argv[1][0] == 'r') {
    status = time_reveal(display, atoi(argv[2]), atoi(argv[3]), argc == 5 ? atof(argv[4]) : 2000.0);
  } else if ((argc == 3 || argc == 4) && argv[1][0] == 'p') {
    status = time_hide(display, argv[2], argc == 4 ? atof(argv[3]) : 2000.0);
  } else if ((argc == 3 || argc == 4) && argv[1][0] == 'u' && (argv[2][0] == 'h' || argv[2][0] == 's')) {
    status = wait_until(display, argv[2][0] == 'h', now_ms(), argc == 4 ? atof(argv[3]) : 2000.0);
  } else if (argc == 4 && argv[1][0] == 'w') {
    status = wiggle(display, atof(argv[2]), atof(argv[3]));
  } else {
    fprintf(stderr,
            "usage: xcursor | xcursor reveal DX DY [TIMEOUT_MS] | xcursor press KEYSYM [TIMEOUT_MS]\n"
            "       | xcursor until hidden|shown [TIMEOUT_MS] | xcursor wiggle SECONDS HZ\n");
  }
  XCloseDisplay(display);
  return status;
}
