#include "bar/frmmain.h"
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
    bar.show();
    return app.exec();
}
