#include "bar/frmmain.h"
#include "platform/endrequest.h"
#include "platform/services.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const bool windowSystemChosen = platform::chooseWindowSystem(argc, argv);
    QApplication app(argc, argv);
    if (windowSystemChosen)
        platform::forgetWindowSystemChoice();
    app.setApplicationName(QStringLiteral("Dovi"));
    frmMain bar;
    // Asked to end by the system, the bar closes as its Exit closes it, also from within a dialog.
    // The bar is on the screen before it has finished starting: a request made until then is
    // answered once it has.
    bool starting = true;
    bool endAsked = false;
    platform::onEndRequest(&bar, [&bar, &starting, &endAsked] {
        if (starting) {
            endAsked = true;
            return;
        }
        bar.close();
        QCoreApplication::exit(0);
    });
    const bool started = bar.Form_Load();
    starting = false;
    if (!started)
        return 0;
    if (endAsked) {
        bar.close();
        return 0;
    }
    bar.show();
    return app.exec();
}
