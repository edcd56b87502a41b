// The alert bridge over QMessageBox: the standard alert handler of every program with windows.
#pragma once

// Installs the Qt message boxes as the kit's standard alert handler (kit/Alert.h); once is
// enough, more is harmless.
void InstallQtAlerts();
