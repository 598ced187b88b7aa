// What Qt (and the GTK pieces a platform theme may pull in) reads from the
// command line and the environment. The command line lets the toolkit's own
// options through to the application object; in secure mode the start-up
// removes first those that load code from elsewhere.
#pragma once

#include <string_view>

#include "probe/privileges.h"

namespace tolvane::ui {

// Options of QApplication that take a value, and those that don't.
inline constexpr std::string_view kToolkitValueOptions[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger", "style",
    "stylesheet", "session", "display", "geometry", "title", "name", "qwindowgeometry",
    "qwindowtitle", "qwindowicon"};
inline constexpr std::string_view kToolkitFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// Of the value options, those that name code or files to load.
inline constexpr std::string_view kCodeLoadingOptions[] = {"platformpluginpath", "platformtheme", "plugin",
                                                           "style", "stylesheet", "session", "qmljsdebugger"};
// Variables that name plugins, modules, drivers or their folders.
inline constexpr std::string_view kCodeLoadingVariables[] = {"QT_", "QML", "GTK", "GDK", "GIO_", "GSETTINGS",
                                                             "LIBGL_", "__EGL_", "__GLX_", "GBM_", "MESA_", "VK_"};
// The platform itself is picked by name among the installed plugins.
inline constexpr std::string_view kSafeVariables[] = {"QT_QPA_PLATFORM"};

inline constexpr probe::PluginOverrides kToolkitOverrides{kCodeLoadingOptions, kCodeLoadingVariables,
                                                          kSafeVariables};

}  // namespace tolvane::ui
