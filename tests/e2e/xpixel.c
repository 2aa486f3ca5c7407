/* Prints the colour of one pixel of the X screen as "R,G,B", read straight from the server: a
   poll of what the game shows that costs a millisecond where a screenshot costs a second on a
   busy machine.
   usage: xpixel X Y */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>

/* The 8-bit channel of a pixel under a visual's mask. */
static unsigned channel(unsigned long pixel, unsigned long mask)
{
    int shift = 0;
    if (!mask)
        return 0;
    while (!(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return (unsigned)(((pixel >> shift) & mask) * 255 / mask);
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: xpixel X Y\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "xpixel: cannot open display\n");
        return 1;
    }
    Window root = DefaultRootWindow(display);
    XImage* image = XGetImage(display, root, atoi(argv[1]), atoi(argv[2]), 1, 1, AllPlanes, ZPixmap);
    if (!image) {
        fprintf(stderr, "xpixel: cannot read the pixel\n");
        XCloseDisplay(display);
        return 1;
    }
    unsigned long pixel = XGetPixel(image, 0, 0);
    printf("%u,%u,%u\n", channel(pixel, image->red_mask), channel(pixel, image->green_mask),
           channel(pixel, image->blue_mask));
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}
