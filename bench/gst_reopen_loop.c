/* A bare GStreamer loop, without OblenPlayer: builds a pipeline for one file
 * with the given video sink drawing into an X window of its own, plays it
 * until the position has moved, tears it down, and prints the resident
 * memory after each round. Shows whether memory that grows over many opens
 * is the player's or the video sink's and its driver's.
 *
 *   gst_reopen_loop FILE ROUNDS SINK [shared-display]
 *
 * With "shared-display" one GstGLDisplay is handed to every pipeline that
 * asks for one, as OblenPlayer does. */
#include <gst/gl/gl.h>
#include <gst/gl/x11/gstgldisplay_x11.h>
#include <gst/gst.h>
#include <gst/video/videooverlay.h>

#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static guintptr window;
static GstGLDisplay *shared;

static long rss_kb(void)
{
    FILE *f = fopen("/proc/self/status", "r");
    char line[256];
    long kb = -1;
    while (f && fgets(line, sizeof line, f))
        if (strncmp(line, "VmRSS:", 6) == 0)
            kb = atol(line + 6);
    if (f)
        fclose(f);
    return kb;
}

static GstBusSyncReply on_message(GstBus *bus, GstMessage *message, gpointer data)
{
    (void)bus;
    (void)data;
    if (gst_is_video_overlay_prepare_window_handle_message(message)) {
        gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(GST_MESSAGE_SRC(message)), window);
    } else if (shared && GST_MESSAGE_TYPE(message) == GST_MESSAGE_NEED_CONTEXT) {
        const gchar *type = NULL;
        gst_message_parse_context_type(message, &type);
        if (g_strcmp0(type, GST_GL_DISPLAY_CONTEXT_TYPE) == 0) {
            GstContext *context = gst_context_new(GST_GL_DISPLAY_CONTEXT_TYPE, TRUE);
            gst_context_set_gl_display(context, shared);
            gst_element_set_context(GST_ELEMENT(GST_MESSAGE_SRC(message)), context);
            gst_context_unref(context);
        }
    }
    return GST_BUS_PASS;
}

int main(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: %s FILE ROUNDS SINK [shared-display]\n", argv[0]);
        return 2;
    }
    XInitThreads();
    gst_init(&argc, &argv);
    Display *x = XOpenDisplay(NULL);
    if (!x)
        return 1;
    window = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 640, 360, 0, 0, 0);
    XMapWindow(x, window);
    XSync(x, False);
    if (argc > 4 && strcmp(argv[4], "shared-display") == 0)
        shared = GST_GL_DISPLAY(gst_gl_display_x11_new(NULL));

    gchar *uri = gst_filename_to_uri(argv[1], NULL);
    const int rounds = atoi(argv[2]);
    for (int i = 1; i <= rounds; ++i) {
        gchar *text = g_strdup_printf("uridecodebin uri=%s name=d d. ! queue ! videoconvert ! "
                                      "videoscale ! %s d. ! queue ! audioconvert ! fakesink",
                                      uri, argv[3]);
        GstElement *pipeline = gst_parse_launch(text, NULL);
        g_free(text);
        GstBus *bus = gst_element_get_bus(pipeline);
        gst_bus_set_sync_handler(bus, on_message, NULL, NULL);
        gst_element_set_state(pipeline, GST_STATE_PLAYING);
        gint64 at = 0;
        for (int wait = 0; wait < 1000 && at < 300 * GST_MSECOND; ++wait) {
            GstMessage *m = gst_bus_timed_pop_filtered(bus, 10 * GST_MSECOND, GST_MESSAGE_ERROR);
            if (m) {
                fprintf(stderr, "error in round %d\n", i);
                gst_message_unref(m);
                break;
            }
            gst_element_query_position(pipeline, GST_FORMAT_TIME, &at);
        }
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_bus_set_sync_handler(bus, NULL, NULL, NULL);
        gst_object_unref(bus);
        gst_object_unref(pipeline);
        printf("%d %ld\n", i, rss_kb());
        fflush(stdout);
    }
    g_free(uri);
    if (shared)
        gst_object_unref(shared);
    XCloseDisplay(x);
    return 0;
}
