#pragma once
// The desktop program's start, shared by its main and by the tests that run it as a child process.
#include <functional>

namespace zem {

class TfrmMain;

// Runs the program: the application, the maximised main window with its recovery copies, the question
// about copies left by a program that ended without saving, the map named on the command line, then the
// message loop. Started, when set, is called once the window is shown (a test drives the window from
// there). Returns the exit code.
int RunZemMap(int argc, char* argv[], const std::function<void(TfrmMain&)>& Started = {});

} // namespace zem
