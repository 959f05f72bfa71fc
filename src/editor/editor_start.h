// How the zeltrix program starts its window: the application's identity and its command line.
#pragma once

#include "session/edit_session.h"

class QCommandLineParser;

// Names the application as the desktop and the settings know it. The main window quits it when
// its close is accepted; closing the last dialog never does.
void SetUpEditorApplication();

// Adds the editor's arguments: --game-dir DIR and the animation FILE to open.
void AddStartArguments(QCommandLineParser &parser);

// The start the parsed arguments ask for, with the program's folder and the recovery folder.
TStartOptions StartOptionsFrom(const QCommandLineParser &parser);
