#include "bar/frmmain.h"
#include "platform/dialogs.h"
#include "platform/endrequest.h"
#include "platform/services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

namespace {

// Closes the program's open dialogs as their Cancel closes them (a form's cmdCancel, else the
// dialog's own rejection: a message box's No or OK).
void cancelDialogs()
{
    QList<QPointer<QDialog>> open;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
            open.append(dialog);
    }
    for (const QPointer<QDialog>& dialog : open) {
        if (!dialog || !dialog->isVisible())
            continue;
        if (auto* cancel = dialog->findChild<QAbstractButton*>(QStringLiteral("cmdCancel")))
            cancel->click();
        else
            dialog->reject();
    }
}

} // namespace

int main(int argc, char* argv[])
{
    const bool windowSystemChosen = platform::chooseWindowSystem(argc, argv);
    QApplication app(argc, argv);
    if (windowSystemChosen)
        platform::forgetWindowSystemChoice();
    app.setApplicationName(QStringLiteral("Dovi"));
    frmMain bar;
    // The bar sits at an edge or in a corner: its dialogs open where the user looks, not over it.
    platform::placeDialogsBy(&bar);
    // Asked to end by the system, the bar closes as its Exit closes it, also from within a dialog.
    // While it starts, the dialogs of the start (the first launch's language chooser and preferences,
    // a message) close as their Cancel does, and so does any the start opens afterwards, so that a
    // logout never waits on the user; the start then ends as the bar's Exit would, and a request
    // that came while no dialog was open is answered once it has.
    bool starting = true;
    bool endAsked = false;
    QTimer closer;
    closer.setInterval(50);
    QObject::connect(&closer, &QTimer::timeout, &bar, cancelDialogs);
    platform::onEndRequest(&bar, [&bar, &starting, &endAsked, &closer] {
        if (starting) {
            endAsked = true;
            cancelDialogs();
            closer.start();
            return;
        }
        bar.close();
        QCoreApplication::exit(0);
    });
    const bool started = bar.Form_Load();
    starting = false;
    closer.stop();
    if (!started)
        return 0;
    if (endAsked) {
        bar.close();
        return 0;
    }
    bar.show();
    return app.exec();
}
