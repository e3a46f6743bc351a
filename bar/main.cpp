#include "bar/frmmain.h"
#include "platform/endrequest.h"
#include "platform/services.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    platform::chooseWindowSystem(argc, argv);
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Dovi"));
    frmMain bar;
    if (!bar.Form_Load())
        return 0;
    // Asked to end by the system, the bar closes as its Exit closes it, also from within a dialog.
    platform::onEndRequest(&bar, [&bar] {
        bar.close();
        QCoreApplication::exit(0);
    });
    bar.show();
    return app.exec();
}
