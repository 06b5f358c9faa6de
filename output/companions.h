// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class AppSettings;
class ErrorReporter;
class UserInterface;

/**
 * The desktop as the companion launcher sees it: top-level windows found by their exact
 * title, restored and brought to the front, running programs found by their file, and
 * program files started on their own.
 */
/**
 * Whether another process of this user than this one runs the program file (a script as
 * its interpreter's argument), found in /proc.
 */
bool runsElsewhere(const QString &file);

class Companions {
public:
    using Window = std::uint32_t;

    virtual ~Companions() = default;

    /**
     * Whether a process of this user runs the program file (a script as its interpreter's
     * argument). Found in /proc, so it holds where no window list does: Wayland shows a
     * client no other client's windows.
     */
    virtual bool isRunning(const QString &file);

    /** A top-level window whose title is exactly `title`; none without a display. */
    virtual std::optional<Window> findWindow(const QString &title) = 0;
    virtual bool isMinimised(Window window) = 0;
    /** Shows a minimised window in its normal state again. */
    virtual void restore(Window window) = 0;
    /** Raises the window above all others and gives it the focus. */
    virtual void bringToFront(Window window) = 0;
    /**
     * Starts a program file without waiting for it. Raises AppError 53 when the file does
     * not exist and 75 when it exists but cannot be run.
     */
    virtual void startProgram(const QString &file) = 0;
};

/**
 * X11 through a connection of its own to $DISPLAY, so it works whatever Qt platform the
 * application runs on. Without an X server no window is ever found. Programs are started
 * directly, never through a shell.
 */
class X11Companions : public Companions {
public:
    X11Companions();
    ~X11Companions() override;

    std::optional<Window> findWindow(const QString &title) override;
    bool isMinimised(Window window) override;
    void restore(Window window) override;
    void bringToFront(Window window) override;
    void startProgram(const QString &file) override;

private:
    struct Display;
    Display *display();

    std::unique_ptr<Display> m_display;
};

/**
 * Companion program `programName`: nothing when it is not installed, its window titled
 * `displayName` to the front when it runs. When it runs without a window to bring forward,
 * the user is asked whether to start a second one; else its program file is started.
 * Reports its own errors.
 */
void open_extra(const QString &displayName, const QString &programName, const ErrorReporter &errors,
                const AppSettings &settings, Companions &companions);
