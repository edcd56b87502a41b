// The alert bridge over QMessageBox: the standard alert handler of every program with windows.
#pragma once

#include <vector>

#include "kit/Alert.h"

class QMessageBox;
class QPushButton;

// Installs the Qt message boxes as the kit's standard alert handler (kit/Alert.h); once is
// enough, more is harmless.
void InstallQtAlerts();

// Makes `box` the alert the request asks for, as it is shown: its buttons, left to right.
std::vector<QPushButton*> FillMessageBox(QMessageBox& box, const kit::AlertRequest& request);
