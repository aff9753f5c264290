#pragma once
#include <QString>
#include <QVariant>
#include <QVector>

// Process-wide state shared by the windows, under the names the windows use.
inline QString gDbType;          // "SqlLite", "Access" or "MySql"
inline QString gDbPath;          // full path of the database file
inline QString gDbFileName;      // its file name
inline short gUpdatePhase = 0;   // 0 after start-up, 4 once a command ran
inline QString gCurrentProc;     // module::procedure entered last
inline QString gLogStatus;       // LOGSTATUS as loaded at the last activation
inline bool gErrorTrapping = false;
inline int gPrintFontSize = 7;   // print font size in points (PRTCSIZE)

// List filters: SQL conditions without the word WHERE.
inline QString gWhereAnagrafica;
inline QString gWhereTipologiaPersone;
inline QString gWherePagamenti;
inline QString gWhereMieiContiCorrenti;
inline QString gWhereAssegniEmessi;

// Scope of the payments list: an empty name means all members.
inline QString gCurrentName;
inline double gCurrentAnagraficaID = 0;

inline bool gIsNewRecord = false;       // edit windows: insert (true) or edit
inline QVariant gLastMouseY;            // Y of the last press on a list grid
inline double gSavedLeftCol = 0;        // that grid's LeftCol at the press
inline QVector<short> gPrintSkipColumns = QVector<short>(101, 0);

// Back to the state of a fresh start (tests run many starts in one process).
void resetGlobals();
