#pragma once

#include <QApplication>

/// The application: loads the AAF library, runs the main dialog modally and unloads the library
/// when the dialog has closed. The dialog's own loop is the only event loop.
class CTesselApp : public QApplication {
  public:
    CTesselApp(int& argc, char** argv);

    /// Runs the main dialog; the process's exit code.
    int Run();
};
