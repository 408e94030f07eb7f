/* xcursor: prints the cursor image the X server shows right now, as
 *   width=W height=H transparent=0|1 serial=N
 * where transparent=1 means that no pixel of the image has any opacity, which
 * is how a hidden Windows cursor reaches X under Wine. Built by the
 * end-to-end scenarios at test time: cc -o xcursor xcursor.c -lX11 -lXfixes */

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>

int main(void) {
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
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (!image) {
    fprintf(stderr, "xcursor: no cursor image\n");
    XCloseDisplay(display);
    return 1;
  }
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
  printf("width=%u height=%u transparent=%d serial=%lu\n", image->width, image->height, transparent,
         image->cursor_serial);
  XFree(image);
  XCloseDisplay(display);
  return 0;
}
