#pragma once
#include <QString>

// The process-wide state of the shell's modules, under the names the windows
// use. The state of the windows lives with them (the lists' filters, the
// search windows' remembered values, the payments list's scope, ...).
inline QString gDbType;        // "SqlLite", "Access" or "MySql"
inline QString gDbPath;        // full path of the database file
inline QString gDbFileName;    // its file name
inline short gUpdatePhase = 0; // 0 after start-up, 4 once a command ran
inline QString gCurrentProc;   // module::procedure entered last
inline QString gLogStatus;     // LOGSTATUS as loaded at the last activation
inline bool gErrorTrapping = false;
inline int gPrintFontSize = 7; // print font size in points (PRTCSIZE)

// A new run of the program in this process, as a fresh start has it: the
// connection closed, the modules' state above, the start-up list, and the
// state every window and module registered (RunState.h), their instances
// included. Tests start each run with it.
void startNewRun();
