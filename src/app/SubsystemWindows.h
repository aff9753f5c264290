#pragma once
// Connects the main window's list and report commands to their windows.
void registerSubsystemWindows();
