#pragma once
// Connects the main window's list and report commands to their windows.
void registerSubsystemWindows();

class frmMain;
// The program's start once its application and people are set: the
// toolkit's and the message box's words, the subsystem windows, and the main
// window loaded and shown. Null when the main window refused to load (the
// register could not be opened; its message was shown).
frmMain *startMainWindow();
