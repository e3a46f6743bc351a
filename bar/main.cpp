#include "bar/frmmain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Dovi"));
    frmMain bar;
    if (!bar.Form_Load())
        return 0;
    bar.show();
    return app.exec();
}
