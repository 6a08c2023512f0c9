#include "app/tessel_app.h"

#include "app/artwork.h"
#include "app/tessel_dlg.h"
#include "job/conversion_job.h"

CTesselApp::CTesselApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("tessel"));
    setDesktopFileName(QStringLiteral("tessel"));
    setWindowIcon(AppIcon());
}

int CTesselApp::Run() {
    // A failure is logged while no log target exists, so it is not seen here; the conversion
    // reports it again when it cannot open the input.
    LoadAafLibrary();
    {
        CTesselDlg dialog;
        dialog.exec();
    }
    UnloadAafLibrary();
    return 0;
}
