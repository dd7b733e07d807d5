#pragma once

#include <QString>

// The folder of the settings files, ending in "/": $MONITORVESMARA_DIR when set, otherwise
// USERPROFILE when that folder exists (the Windows program's place), otherwise the per-user
// configuration folder + "MonitorVesmara/" (~/.config/MonitorVesmara/ on Linux). A folder
// that does not exist yet is created readable by its owner only.
QString SettingsFolder();

// The Windows user name: USERNAME, otherwise USER, otherwise the operating system's name for
// the current user.
QString WindowsUserName();
