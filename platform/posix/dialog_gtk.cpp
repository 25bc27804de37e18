// The dialog manager's front end over GTK 3: one window per dialog, each
// control a widget at the place its template gives, converted from dialog
// units by the metrics of the template's font as Win32 does it. Input is
// handed to the dialog manager as it arrives; the widgets only show state.
#include "platform/posix/backend.h"
#include "platform/posix/dialog_internal.h"
#include "platform/posix/layer_internal.h"
#include "platform/posix/resources.h"
#include "platform/posix/signals.h"

#include <glib-unix.h>
#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif
#include <math.h>

#include <algorithm>
#include <memory>
#include <string>

namespace w32 {
namespace {

struct ControlRef {
    Dialog* dialog;
    int index;
    bool pressed = false;   // a pointer button is down on this scroll bar
    bool tracking = false;  // ...and the thumb is being dragged
    int trackPos = 0;
    bool stepping = false;  // ...or an arrow is held down
    WORD stepCode = 0;      // SB_LINELEFT or SB_LINERIGHT
    guint repeat = 0;       // the arrow's repeat timer
    bool repeating = false; // ...past its first pause
};

// The arrows' width, as the style below makes them.
constexpr int arrowPixels = 12;
// Win32 repeats a held arrow after a pause, then steadily.
constexpr guint repeatDelayMs = 400;
constexpr guint repeatIntervalMs = 50;

struct Native {
    GtkWidget* window = nullptr;
    GMainLoop* loop = nullptr;
    bool syncing = false;  // widgets are being set to the records' state
    std::vector<std::unique_ptr<ControlRef>> refs;
    int baseX = 6, baseY = 13;  // dialog base units in pixels
};

Native* NativeOf(Dialog* d)
{
    return static_cast<Native*>(d->native);
}

int DluX(const Native* n, int units)
{
    return (units * n->baseX + 2) / 4;
}

int DluY(const Native* n, int units)
{
    return (units * n->baseY + 4) / 8;
}

// Win32 sizes a point font for 96 pixels per inch.
int FontPixels(int points)
{
    return (points * 96 + 36) / 72;
}

// Win32's base units: the average width of the 52 letters and the font's
// height. Fontconfig picks the nearest face when the named one is missing.
// Without any font it reports cells a million pixels tall; units beyond
// twice the font's size are such nonsense, and the defaults stand instead
// of a dialog no screen can hold.
void MeasureBaseUnits(Dialog* d, Native* n)
{
    if (d->pointSize <= 0)
        return;
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, d->face.c_str());
    pango_font_description_set_absolute_size(font, FontPixels(d->pointSize) * PANGO_SCALE);
    PangoLayout* layout = gtk_widget_create_pango_layout(n->window, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    pango_layout_set_font_description(layout, font);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    PangoFontMetrics* metrics =
        pango_context_get_metrics(pango_layout_get_context(layout), font, nullptr);
    int fontHeight = 0;
    if (metrics) {
        fontHeight = PANGO_PIXELS(pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics));
        pango_font_metrics_unref(metrics);
    }
    g_object_unref(layout);
    pango_font_description_free(font);
    int baseX = (width / 26 + 1) / 2, limit = 2 * FontPixels(d->pointSize);
    if (baseX > 0 && baseX <= limit)
        n->baseX = baseX;
    if (fontHeight > 0 && fontHeight <= limit)
        n->baseY = fontHeight;
}

// Win32 controls are small and square; GTK's theme would make them larger
// than their rectangles. Scroll bars get their arrow buttons back.
void ApplyStyle(Dialog* d, GtkWidget* window)
{
    std::string face = d->face.empty() ? "sans-serif" : d->face;
    int pixels = d->pointSize > 0 ? FontPixels(d->pointSize) : 11;
    std::string css =
        ".w32-dialog, .w32-dialog * { font-family: \"" + face + "\"; font-size: " + std::to_string(pixels) +
        "px; }\n"
        ".w32-dialog button { min-height: 0; min-width: 0; padding: 0 4px; }\n"
        ".w32-dialog checkbutton { min-height: 0; padding: 0; }\n"
        ".w32-dialog checkbutton check { min-height: 11px; min-width: 11px; margin: 0 4px 0 0; }\n"
        ".w32-dialog scrollbar { -GtkScrollbar-has-backward-stepper: true; -GtkScrollbar-has-forward-stepper: true; }\n"
        ".w32-dialog scrollbar slider { min-width: 16px; min-height: 6px; margin: 0; border-radius: 0; }\n"
        ".w32-dialog scrollbar button { min-width: " + std::to_string(arrowPixels) + "px; min-height: 6px; padding: 0; margin: 0; border: 0;"
        " -gtk-icon-source: none; background-repeat: no-repeat; background-position: center;"
        " background-size: 10px 10px; }\n"
        ".w32-dialog scrollbar button.up { background-image: -gtk-icontheme('pan-start-symbolic'); }\n"
        ".w32-dialog scrollbar button.down { background-image: -gtk-icontheme('pan-end-symbolic'); }\n"
        ".w32-dialog scrollbar trough, .w32-dialog scrollbar contents { min-height: 0; }\n";
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
    gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(window), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
    gtk_style_context_add_class(gtk_widget_get_style_context(window), "w32-dialog");
}

// The dialog's client area: a GtkFixed of the dialog's size whose controls
// are clipped to it, as Win32 clips a control's text to its rectangle.
// Without any font, Pango measures some words a million pixels tall: a
// label that asked for that would otherwise make a window no X server can
// hold.
struct DialogArea {
    GtkFixed fixed;
};

struct DialogAreaClass {
    GtkFixedClass fixedClass;
};

G_DEFINE_TYPE(DialogArea, dialog_area, GTK_TYPE_FIXED)

// Its size request, the dialog's size, is all it asks for.
void DialogAreaMeasure(GtkWidget*, int* minimum, int* natural)
{
    *minimum = *natural = 0;
}

// As GtkFixed, each control at its place with the size it prefers, but
// ending at the dialog's edge.
void DialogAreaAllocate(GtkWidget* area, GtkAllocation* allocation)
{
    gtk_widget_set_allocation(area, allocation);
    GdkRectangle clip = *allocation;
    GList* children = gtk_container_get_children(GTK_CONTAINER(area));
    for (GList* item = children; item; item = item->next) {
        GtkWidget* child = GTK_WIDGET(item->data);
        if (!gtk_widget_get_visible(child))
            continue;
        int x = 0, y = 0;
        gtk_container_child_get(GTK_CONTAINER(area), child, "x", &x, "y", &y, nullptr);
        GtkRequisition wanted;
        gtk_widget_get_preferred_size(child, &wanted, nullptr);
        GtkAllocation place = {allocation->x + x, allocation->y + y,
                               std::clamp(wanted.width, 0, std::max(allocation->width - x, 0)),
                               std::clamp(wanted.height, 0, std::max(allocation->height - y, 0))};
        gtk_widget_size_allocate(child, &place);
        GtkAllocation childClip;
        gtk_widget_get_clip(child, &childClip);
        gdk_rectangle_union(&clip, &childClip, &clip);
    }
    g_list_free(children);
    gtk_widget_set_clip(area, &clip);
}

void dialog_area_class_init(DialogAreaClass* type)
{
    GtkWidgetClass* widget = GTK_WIDGET_CLASS(type);
    widget->get_preferred_width = DialogAreaMeasure;
    widget->get_preferred_height = DialogAreaMeasure;
    widget->size_allocate = DialogAreaAllocate;
}

void dialog_area_init(DialogArea*) {}

GdkPixbuf* LoadBitmapResource(const std::string& name)
{
    const EmbeddedResource* res = FindEmbeddedResource("BITMAP", name.c_str());
    if (!res)
        return nullptr;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("bmp", nullptr);
    if (!loader)
        return nullptr;
    GdkPixbuf* pixbuf = nullptr;
    if (gdk_pixbuf_loader_write(loader, res->data, res->size, nullptr) && gdk_pixbuf_loader_close(loader, nullptr))
        pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
    else
        gdk_pixbuf_loader_close(loader, nullptr);
    if (pixbuf)
        g_object_ref(pixbuf);
    g_object_unref(loader);
    return pixbuf;
}

// --- Signals ---

gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data)
{
    Dialog* d = static_cast<Dialog*>(data);
    bool shift = (event->state & GDK_SHIFT_MASK) != 0;
    switch (event->keyval) {
    case GDK_KEY_Tab:
    case GDK_KEY_KP_Tab: DialogKeyPressed(d, shift ? DialogKey::ShiftTab : DialogKey::Tab); return TRUE;
    case GDK_KEY_ISO_Left_Tab: DialogKeyPressed(d, DialogKey::ShiftTab); return TRUE;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter: DialogKeyPressed(d, DialogKey::Enter); return TRUE;
    case GDK_KEY_Escape: DialogKeyPressed(d, DialogKey::Escape); return TRUE;
    case GDK_KEY_space:
    case GDK_KEY_KP_Space: DialogKeyPressed(d, DialogKey::Space); return TRUE;
    default: return FALSE;
    }
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data)
{
    DialogCloseRequested(static_cast<Dialog*>(data));
    return TRUE;  // the procedure decides; EndDialog closes the window
}

void OnClicked(GtkButton*, gpointer data)
{
    ControlRef* ref = static_cast<ControlRef*>(data);
    if (!NativeOf(ref->dialog)->syncing)
        DialogControlClicked(ref->dialog, ref->index);
}

gboolean OnFocusIn(GtkWidget*, GdkEvent*, gpointer data)
{
    ControlRef* ref = static_cast<ControlRef*>(data);
    DialogFocused(ref->dialog, ref->index);
    return FALSE;
}

void SyncScrollBar(Native* n, DialogControl* c)
{
    GtkAdjustment* adjustment = gtk_range_get_adjustment(GTK_RANGE(c->widget));
    n->syncing = true;
    gtk_adjustment_configure(adjustment, c->scrollPos, c->scrollMin, c->scrollMax, 1, 10, 0);
    n->syncing = false;
}

// Thumb drags are told as they go and once more on release; the thumb
// follows the pointer meanwhile, and returns to the recorded position
// unless the procedure moved it.
gboolean OnChangeValue(GtkRange*, GtkScrollType type, gdouble value, gpointer data)
{
    ControlRef* ref = static_cast<ControlRef*>(data);
    Dialog* d = ref->dialog;
    DialogControl& c = d->controls[ref->index];
    WORD code;
    if (NativeOf(d)->syncing || !ScrollCodeForGtk(type, &code))
        return TRUE;
    int position = (int)lround(value);
    position = position < c.scrollMin ? c.scrollMin : position > c.scrollMax ? c.scrollMax : position;
    if (code == SB_THUMBTRACK) {
        ref->tracking = true;
        ref->trackPos = position;
        DialogScrolled(d, ref->index, SB_THUMBTRACK, position);
        return !ref->pressed;  // a drag moves the thumb; a jump without a button is refused
    }
    DialogScrolled(d, ref->index, code, 0);
    if (!ref->pressed)
        DialogScrolled(d, ref->index, SB_ENDSCROLL, 0);
    return TRUE;
}

gboolean RepeatStep(gpointer data)
{
    ControlRef* ref = static_cast<ControlRef*>(data);
    DialogScrolled(ref->dialog, ref->index, ref->stepCode, 0);
    if (!ref->repeating) {
        // After the first repeat, go on at the steady rate.
        ref->repeating = true;
        ref->repeat = g_timeout_add(repeatIntervalMs, RepeatStep, ref);
        return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
}

// GTK scrolls smoothly while an arrow is held and not at all for a short
// click; a Win32 arrow steps once on the press and repeats while held, so
// the arrows are handled here.
gboolean OnScrollButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer data)
{
    ControlRef* ref = static_cast<ControlRef*>(data);
    int width = gtk_widget_get_allocated_width(widget);
    bool onArrow = event->x < arrowPixels || event->x >= width - arrowPixels;
    if (event->type != GDK_BUTTON_PRESS)
        return onArrow;  // the second press of a double click was already a press
    ref->pressed = true;
    ref->tracking = false;
    if (!onArrow || event->button != 1)
        return FALSE;
    ref->stepCode = event->x < arrowPixels ? SB_LINELEFT : SB_LINERIGHT;
    ref->stepping = true;
    ref->repeating = false;
    gtk_grab_add(widget);
    DialogScrolled(ref->dialog, ref->index, ref->stepCode, 0);
    ref->repeat = g_timeout_add(repeatDelayMs, RepeatStep, ref);
    return TRUE;
}

gboolean OnScrollButtonRelease(GtkWidget* widget, GdkEventButton*, gpointer data)
{
    ControlRef* ref = static_cast<ControlRef*>(data);
    if (!ref->pressed)
        return FALSE;
    ref->pressed = false;
    Dialog* d = ref->dialog;
    bool arrow = ref->stepping;
    if (arrow) {
        gtk_grab_remove(widget);
        if (ref->repeat)
            g_source_remove(ref->repeat);
        ref->repeat = 0;
        ref->stepping = false;
    }
    if (ref->tracking) {
        ref->tracking = false;
        DialogScrolled(d, ref->index, SB_THUMBPOSITION, ref->trackPos);
    }
    DialogScrolled(d, ref->index, SB_ENDSCROLL, 0);
    if (d->native)
        SyncScrollBar(NativeOf(d), &d->controls[ref->index]);
    return arrow;
}

// The wheel steps a Win32 scroll bar one line at a time.
gboolean OnScrollWheel(GtkWidget*, GdkEventScroll* event, gpointer data)
{
    ControlRef* ref = static_cast<ControlRef*>(data);
    WORD code;
    switch (event->direction) {
    case GDK_SCROLL_UP:
    case GDK_SCROLL_LEFT: code = SB_LINELEFT; break;
    case GDK_SCROLL_DOWN:
    case GDK_SCROLL_RIGHT: code = SB_LINERIGHT; break;
    default: return TRUE;
    }
    DialogScrolled(ref->dialog, ref->index, code, 0);
    DialogScrolled(ref->dialog, ref->index, SB_ENDSCROLL, 0);
    return TRUE;
}

GtkWidget* MakeWidget(Dialog* d, Native* n, int index)
{
    DialogControl& c = d->controls[index];
    n->refs.push_back(std::make_unique<ControlRef>(ControlRef{d, index}));
    ControlRef* ref = n->refs.back().get();
    GtkWidget* w = nullptr;
    if (c.atom == ButtonAtom && IsCheckBox(c)) {
        w = gtk_check_button_new_with_label(c.text.c_str());
    } else if (c.atom == ButtonAtom) {
        w = gtk_button_new_with_label(c.text.c_str());
        gtk_widget_set_can_default(w, TRUE);
    } else if (IsBitmap(c)) {
        GdkPixbuf* pixbuf = LoadBitmapResource(c.text);
        w = pixbuf ? gtk_image_new_from_pixbuf(pixbuf) : gtk_image_new();
        if (pixbuf)
            g_object_unref(pixbuf);
    } else if (c.atom == StaticAtom) {
        w = gtk_label_new(c.text.c_str());
        gtk_label_set_xalign(GTK_LABEL(w), 0);
        gtk_label_set_yalign(GTK_LABEL(w), 0);
    } else if (c.atom == ScrollBarAtom) {
        GtkAdjustment* adjustment = gtk_adjustment_new(c.scrollPos, c.scrollMin, c.scrollMax, 1, 10, 0);
        w = gtk_scrollbar_new(GTK_ORIENTATION_HORIZONTAL, adjustment);
        g_signal_connect(w, "change-value", G_CALLBACK(OnChangeValue), ref);
        g_signal_connect(w, "button-press-event", G_CALLBACK(OnScrollButtonPress), ref);
        g_signal_connect(w, "button-release-event", G_CALLBACK(OnScrollButtonRelease), ref);
        g_signal_connect(w, "scroll-event", G_CALLBACK(OnScrollWheel), ref);
        gtk_widget_add_events(w, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_SCROLL_MASK);
    } else {
        w = gtk_label_new("");
    }
    if (c.atom == ButtonAtom) {
        g_signal_connect(w, "clicked", G_CALLBACK(OnClicked), ref);
        g_signal_connect(w, "focus-in-event", G_CALLBACK(OnFocusIn), ref);
    }
    // Only tab stops take the focus, from the keyboard or the pointer.
    gtk_widget_set_can_focus(w, IsTabStop(c));
    if (!IsBitmap(c))
        gtk_widget_set_size_request(w, DluX(n, c.cx), DluY(n, c.cy));
    return w;
}

}  // namespace

bool ScrollCodeForGtk(int gtkScrollType, WORD* code)
{
    switch (gtkScrollType) {
    case GTK_SCROLL_STEP_BACKWARD:
    case GTK_SCROLL_STEP_LEFT:
    case GTK_SCROLL_STEP_UP: *code = SB_LINELEFT; return true;
    case GTK_SCROLL_STEP_FORWARD:
    case GTK_SCROLL_STEP_RIGHT:
    case GTK_SCROLL_STEP_DOWN: *code = SB_LINERIGHT; return true;
    case GTK_SCROLL_PAGE_BACKWARD:
    case GTK_SCROLL_PAGE_LEFT:
    case GTK_SCROLL_PAGE_UP: *code = SB_PAGELEFT; return true;
    case GTK_SCROLL_PAGE_FORWARD:
    case GTK_SCROLL_PAGE_RIGHT:
    case GTK_SCROLL_PAGE_DOWN: *code = SB_PAGERIGHT; return true;
    case GTK_SCROLL_JUMP: *code = SB_THUMBTRACK; return true;
    case GTK_SCROLL_START: *code = SB_LEFT; return true;
    case GTK_SCROLL_END: *code = SB_RIGHT; return true;
    default: return false;
    }
}

namespace {

gboolean OnEndingRequest(gint, GIOCondition, gpointer)
{
    TakeEndingSignals();
    return G_SOURCE_CONTINUE;
}

// GTK's start takes over the process-wide X error handlers; the backend
// puts its own back. GTK's modal loops hear the ending requests the message
// loop hears.
void ToolkitStarted()
{
    void* xDisplay = nullptr;
#ifdef GDK_WINDOWING_X11
    GdkDisplay* display = gdk_display_get_default();
    if (display && GDK_IS_X11_DISPLAY(display))
        xDisplay = gdk_x11_display_get_xdisplay(display);
#endif
    be::ToolkitStarted(xDisplay);
    int fd = EndingSignalFd();
    if (fd >= 0)
        g_unix_fd_add(fd, G_IO_IN, OnEndingRequest, nullptr);
}

}  // namespace

namespace ui {

bool Available()
{
    static int ready = -1;
    if (ready < 0) {
        ready = gtk_init_check(nullptr, nullptr) ? 1 : 0;
        if (ready)
            ToolkitStarted();
    }
    return ready == 1;
}

bool Build(Dialog* d)
{
    if (!Available())
        return false;
    // A click in a Win32 trough pages; GTK would jump there instead.
    g_object_set(gtk_settings_get_default(), "gtk-primary-button-warps-slider", FALSE, nullptr);
    auto* n = new Native;
    d->native = n;
    n->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    ApplyStyle(d, n->window);
    MeasureBaseUnits(d, n);
    gtk_window_set_title(GTK_WINDOW(n->window), d->caption.c_str());
    gtk_window_set_resizable(GTK_WINDOW(n->window), FALSE);
    gtk_window_set_modal(GTK_WINDOW(n->window), TRUE);
    gtk_window_set_type_hint(GTK_WINDOW(n->window), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_position(GTK_WINDOW(n->window), GTK_WIN_POS_CENTER);
    g_signal_connect(n->window, "key-press-event", G_CALLBACK(OnKeyPress), d);
    g_signal_connect(n->window, "delete-event", G_CALLBACK(OnDelete), d);

    GtkWidget* fixed = GTK_WIDGET(g_object_new(dialog_area_get_type(), nullptr));
    gtk_widget_set_size_request(fixed, DluX(n, d->cx), DluY(n, d->cy));
    gtk_container_add(GTK_CONTAINER(n->window), fixed);
    for (size_t i = 0; i < d->controls.size(); ++i) {
        DialogControl& c = d->controls[i];
        GtkWidget* w = MakeWidget(d, n, (int)i);
        c.widget = w;
        gtk_fixed_put(GTK_FIXED(fixed), w, DluX(n, c.x), DluY(n, c.y));
        if (IsDefaultPushButton(c))
            gtk_window_set_default(GTK_WINDOW(n->window), w);
    }
    n->loop = g_main_loop_new(nullptr, FALSE);
    return true;
}

// An owner of another client (the program that asked for the settings)
// keeps the dialog above it, as an owned window stays above its owner.
void SetForeignOwner(Native* n, HWND owner)
{
#ifdef GDK_WINDOWING_X11
    GdkDisplay* display = gtk_widget_get_display(n->window);
    if (!owner || IsOwnHandleValue(owner) || !GDK_IS_X11_DISPLAY(display))
        return;
    gdk_x11_display_error_trap_push(display);
    GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, (::Window)(uintptr_t)owner);
    if (foreign) {
        gdk_window_set_transient_for(gtk_widget_get_window(n->window), foreign);
        g_object_unref(foreign);
    }
    gdk_x11_display_error_trap_pop_ignored(display);
#else
    (void)n;
    (void)owner;
#endif
}

void Show(Dialog* d)
{
    Native* n = NativeOf(d);
    if (!n)
        return;
    gtk_widget_realize(n->window);
    SetForeignOwner(n, d->owner);
    gtk_widget_show_all(n->window);
    gtk_window_present(GTK_WINDOW(n->window));
    FocusChanged(d);
}

void RunUntilEnded(Dialog* d)
{
    Native* n = NativeOf(d);
    if (n && !d->ended)
        g_main_loop_run(n->loop);
}

void EndLoop(Dialog* d)
{
    Native* n = NativeOf(d);
    if (n && g_main_loop_is_running(n->loop))
        g_main_loop_quit(n->loop);
}

void Destroy(Dialog* d)
{
    Native* n = NativeOf(d);
    if (!n)
        return;
    for (auto& ref : n->refs)
        if (ref->repeat)
            g_source_remove(ref->repeat);  // an arrow still held must not outlive the dialog
    gtk_widget_destroy(n->window);
    g_main_loop_unref(n->loop);
    for (DialogControl& c : d->controls)
        c.widget = nullptr;
    delete n;
    d->native = nullptr;
    while (gtk_events_pending())
        gtk_main_iteration();
}

void ControlChanged(Dialog* d, DialogControl* c)
{
    Native* n = NativeOf(d);
    if (!n || !c->widget)
        return;
    if (c->atom == ScrollBarAtom) {
        SyncScrollBar(n, c);
    } else if (IsCheckBox(*c)) {
        n->syncing = true;
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(c->widget), c->check == BST_CHECKED);
        n->syncing = false;
    }
}

void FocusChanged(Dialog* d)
{
    Native* n = NativeOf(d);
    if (n && d->focus >= 0 && d->controls[d->focus].widget)
        gtk_widget_grab_focus(GTK_WIDGET(d->controls[d->focus].widget));
}

void* NativeWindow(HWND hwnd)
{
    Dialog* d = FindDialog(hwnd);
    return d && d->native ? NativeOf(d)->window : nullptr;
}

}  // namespace ui
}  // namespace w32
