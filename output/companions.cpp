// SPDX-License-Identifier: GPL-3.0-or-later

#include "output/companions.h"

#include "core/apperror.h"
#include "core/errorreport.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "files/appsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <xcb/xcb.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

#ifdef Q_OS_WIN
const QString programSuffix = QStringLiteral(".exe");
#else
const QString programSuffix;
#endif

// ICCCM WM_STATE values
constexpr std::uint32_t normalState = 1;
constexpr std::uint32_t iconicState = 3;

// Titles longer than this are longer than any display name and never match.
constexpr std::uint32_t titleLongs = 1024;

struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

enum Atom {
    NetClientList,
    NetWmName,
    Utf8String,
    WmState,
    NetWmState,
    NetWmStateHidden,
    NetActiveWindow,
    AtomCount
};

constexpr std::array<const char *, AtomCount> atomNames{
    "_NET_CLIENT_LIST", "_NET_WM_NAME",         "UTF8_STRING",        "WM_STATE",
    "_NET_WM_STATE",    "_NET_WM_STATE_HIDDEN", "_NET_ACTIVE_WINDOW",
};

} // namespace

/** One connection to the X server, its default screen's root and the atoms used. */
struct X11Companions::Display {
    xcb_connection_t *c;
    xcb_window_t root = XCB_NONE;
    std::array<xcb_atom_t, AtomCount> atoms{};

    Display(xcb_connection_t *connection, int screenNumber)
        : c(connection) {
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
            xcb_screen_next(&screens);
        if (screens.rem > 0)
            root = screens.data->root;
        std::array<xcb_intern_atom_cookie_t, AtomCount> cookies{};
        for (int i = 0; i < AtomCount; ++i)
            cookies[i] = xcb_intern_atom(c, 0, std::strlen(atomNames[i]), atomNames[i]);
        for (int i = 0; i < AtomCount; ++i) {
            xcb_generic_error_t *error = nullptr;
            const Reply<xcb_intern_atom_reply_t> reply(
                xcb_intern_atom_reply(c, cookies[i], &error));
            std::free(error);
            atoms[i] = reply ? reply->atom : XCB_NONE;
        }
    }
    ~Display() { xcb_disconnect(c); }
    Display(const Display &) = delete;
    Display &operator=(const Display &) = delete;

    Reply<xcb_get_property_reply_t> property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type,
                                             std::uint32_t longs) const {
        xcb_generic_error_t *error = nullptr;
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, name, type, 0, longs), &error));
        std::free(error);
        return reply;
    }

    /** The 32-bit values of a property of the given type, empty when it is not set. */
    std::vector<std::uint32_t> values(xcb_window_t window, xcb_atom_t name, xcb_atom_t type,
                                      std::uint32_t longs) const {
        const auto reply = property(window, name, type, longs);
        if (!reply || reply->type != type || reply->format != 32)
            return {};
        const auto *data = static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
        return {data, data + xcb_get_property_value_length(reply.get()) / 4};
    }

    /** _NET_WM_NAME when the window has one, else WM_NAME. */
    std::optional<QString> title(xcb_window_t window) const {
        auto reply = property(window, atoms[NetWmName], atoms[Utf8String], titleLongs);
        if (!reply || reply->type != atoms[Utf8String])
            reply = property(window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, titleLongs);
        if (!reply || reply->type == XCB_NONE || reply->format != 8 || reply->bytes_after > 0)
            return std::nullopt;
        const auto *bytes = static_cast<const char *>(xcb_get_property_value(reply.get()));
        const int length = xcb_get_property_value_length(reply.get());
        // STRING is Latin-1, and so is COMPOUND_TEXT as long as it holds no escapes.
        return reply->type == atoms[Utf8String] ? QString::fromUtf8(bytes, length)
                                                : QString::fromLatin1(bytes, length);
    }

    /** Children from the top of the stacking order down. */
    std::vector<xcb_window_t> children(xcb_window_t window) const {
        xcb_generic_error_t *error = nullptr;
        const Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(c, xcb_query_tree(c, window), &error));
        std::free(error);
        if (!tree)
            return {};
        const xcb_window_t *first = xcb_query_tree_children(tree.get());
        std::vector<xcb_window_t> list(first, first + xcb_query_tree_children_length(tree.get()));
        return {list.rbegin(), list.rend()};
    }

    /** The window's ancestor that is a child of the root (a frame, or itself). */
    xcb_window_t topLevel(xcb_window_t window) const {
        for (;;) {
            xcb_generic_error_t *error = nullptr;
            const Reply<xcb_query_tree_reply_t> tree(
                xcb_query_tree_reply(c, xcb_query_tree(c, window), &error));
            std::free(error);
            if (!tree || tree->parent == root || tree->parent == XCB_NONE)
                return window;
            window = tree->parent;
        }
    }

    Reply<xcb_get_window_attributes_reply_t> attributes(xcb_window_t window) const {
        xcb_generic_error_t *error = nullptr;
        Reply<xcb_get_window_attributes_reply_t> reply(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), &error));
        std::free(error);
        return reply;
    }

    /** Every window manager redirects the root's substructure; nothing else may. */
    bool hasWindowManager() const {
        const auto root = attributes(this->root);
        return root && (root->all_event_masks & XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT);
    }

    /** Asks the window manager to activate (and so de-iconify and raise) the window. */
    void requestActivation(xcb_window_t window) const {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atoms[NetActiveWindow];
        event.data.data32[0] = 2; // source: a pager, i.e. the user asked for it
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char *>(&event));
    }

    /** Waits until the server has handled everything sent, and drops its error replies. */
    void sync() const {
        xcb_generic_error_t *error = nullptr;
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), &error));
        std::free(error);
        while (xcb_generic_event_t *event = xcb_poll_for_event(c))
            std::free(event);
    }
};

bool Companions::isRunning(const QString &file) {
    return runsElsewhere(file);
}

bool runsElsewhere(const QString &file) {
    const QFileInfo info(file);
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        return false; // no file, nothing runs it
    const QStringList names{info.absoluteFilePath(), canonical};
    QFile program(canonical);
    const bool script = program.open(QIODevice::ReadOnly) && program.read(2) == "#!";
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!pid.front().isDigit() || QFileInfo(proc.filePath(pid)).ownerId() != ::getuid() ||
            pid.toLongLong() == QCoreApplication::applicationPid())
            continue; // another user's copy is no reason not to start ours
        // The kernel's link to the file the process runs, marked once that was replaced.
        QString exe = QFile::symLinkTarget(proc.filePath(pid + u"/exe"));
        if (exe.endsWith(u" (deleted)"))
            exe.chop(10);
        if (exe == canonical)
            return true;
        QFile cmdline(proc.filePath(pid + u"/cmdline"));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        // A script runs as its interpreter, with the script's path as the first argument after
        // the interpreter's own (env, or an option on the #! line).
        const QList<QByteArray> args = cmdline.readAll().split('\0');
        for (qsizetype i = 0; i < std::min<qsizetype>(args.size(), script ? 3 : 1); ++i)
            if (names.contains(QFile::decodeName(args[i])))
                return true;
    }
    return false;
}

X11Companions::X11Companions() = default;
X11Companions::~X11Companions() = default;

X11Companions::Display *X11Companions::display() {
    if (m_display && xcb_connection_has_error(m_display->c))
        m_display.reset(); // the server went away; a new one may be there
    if (!m_display) {
        int screenNumber = 0;
        xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(connection)) {
            xcb_disconnect(connection);
            return nullptr;
        }
        m_display = std::make_unique<Display>(connection, screenNumber);
    }
    return m_display->root != XCB_NONE ? m_display.get() : nullptr;
}

std::optional<Companions::Window> X11Companions::findWindow(const QString &title) {
    const Display *d = display();
    if (!d)
        return std::nullopt;
    const auto matches = [&](xcb_window_t window) { return d->title(window) == title; };
    std::optional<Window> found;
    // A root property left behind by a window manager that has gone is stale.
    const std::vector<std::uint32_t> clients =
        d->hasWindowManager()
            ? d->values(d->root, d->atoms[NetClientList], XCB_ATOM_WINDOW, 1u << 16)
            : std::vector<std::uint32_t>{};
    if (!clients.empty()) {
        const auto it = std::find_if(clients.rbegin(), clients.rend(), matches);
        if (it != clients.rend())
            found = *it;
    } else {
        // Without a window manager clients are children of the root; a manager that keeps
        // no client list has put them into frames one level further down.
        for (const xcb_window_t child : d->children(d->root)) {
            if (matches(child)) {
                found = child;
                break;
            }
            const auto inner = d->children(child);
            const auto it = std::find_if(inner.begin(), inner.end(), matches);
            if (it != inner.end()) {
                found = *it;
                break;
            }
        }
    }
    d->sync();
    return found;
}

bool X11Companions::isMinimised(Window window) {
    const Display *d = display();
    if (!d)
        return false;
    const auto state = d->values(window, d->atoms[WmState], d->atoms[WmState], 2);
    const auto netState = d->values(window, d->atoms[NetWmState], XCB_ATOM_ATOM, 1024);
    d->sync();
    return (!state.empty() && state[0] == iconicState) ||
           std::find(netState.begin(), netState.end(), d->atoms[NetWmStateHidden]) !=
               netState.end();
}

void X11Companions::restore(Window window) {
    const Display *d = display();
    if (!d)
        return;
    // ICCCM: mapping an iconic window asks for its normal state.
    xcb_map_window(d->c, window);
    if (d->hasWindowManager()) {
        d->requestActivation(window); // what EWMH managers go by
    } else {
        // Nobody else will: show the frame it may sit in and record the new state.
        xcb_map_window(d->c, d->topLevel(window));
        const std::array<std::uint32_t, 2> state{normalState, XCB_NONE};
        xcb_change_property(d->c, XCB_PROP_MODE_REPLACE, window, d->atoms[WmState],
                            d->atoms[WmState], 32, state.size(), state.data());
    }
    d->sync();
}

void X11Companions::bringToFront(Window window) {
    const Display *d = display();
    if (!d)
        return;
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    if (d->hasWindowManager()) {
        d->requestActivation(window);
        xcb_configure_window(d->c, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    } else {
        xcb_configure_window(d->c, d->topLevel(window), XCB_CONFIG_WINDOW_STACK_MODE, &above);
        const auto attributes = d->attributes(window);
        // The focus can only go to a window that is shown.
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            xcb_set_input_focus(d->c, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    }
    d->sync();
}

void X11Companions::startProgram(const QString &file) {
    const QFileInfo info(file);
    if (!info.exists())
        throw AppError(AppError::FileNotFound);
    // In its own folder, as it would be when started from a desktop entry there.
    if (!QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath()))
        throw AppError(AppError::PathFileAccess);
}

void open_extra(const QString &displayName, const QString &programName, const ErrorReporter &errors,
                const AppSettings &settings, Companions &companions) {
    UserInterface &ui = errors.ui();
    try {
        const QString folder = settings.companionPath(programName);
        if (folder == AppSettings::notInstalled)
            return;
        if (const auto window = companions.findWindow(displayName)) {
            if (companions.isMinimised(*window))
                companions.restore(*window);
            companions.bringToFront(*window);
            return;
        }
        const QString file = folder + u'/' + programName + programSuffix;
        // Running, but with no window to be found (under Wayland, or not shown yet): a second
        // copy only when the user wants one.
        if (companions.isRunning(file)) {
            ui.restoreCursors();
            if (ui.message(str(S::CompanionRunning).arg(displayName), UserInterface::Icon::Question,
                           AppSettings::applicationName, UserInterface::Buttons::YesNo,
                           UserInterface::Answer::No) != UserInterface::Answer::Yes)
                return;
        }
        companions.startProgram(file);
    } catch (const AppError &e) {
        if (e.number() != AppError::FileNotFound) {
            errors.ReportError(e, QStringLiteral("openmod - open_extra"));
            return;
        }
        // A recorded but vanished companion names itself in the message.
        ui.restoreCursors();
        ui.message(str(S::Error) + u' ' + QString::number(e.number()) + u" - " + e.description() +
                       u" - " + displayName,
                   UserInterface::Icon::Critical, AppSettings::applicationName);
    }
}
