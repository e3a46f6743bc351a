#include "bar/frmmain.h"

#include "bar/configfile.h"
#include "bar/droppedlaunchers.h"
#include "bar/frminfos.h"
#include "bar/frmlangue.h"
#include "bar/frmmenu.h"
#include "bar/frmprefs.h"
#include "bar/moddeclarepublic.h"
#include "bar/modplacebuttons.h"
#include "bar/modsetformstransparency.h"
#include "bar/modstartprog.h"
#include "bar/resstrings.h"
#include "bar/settings.h"
#include "button/dispids.h"
#include "platform/endrequest.h"
#include "platform/host/controlhost.h"
#include "platform/services.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryFile>
#include <QTimer>

#include <array>
#include <cmath>

using namespace modDeclarePublic;

namespace {

constexpr double TemplateSizeTwips = 720;

int tppX()
{
    return platform::services().screen->twipsPerPixelX();
}
int tppY()
{
    return platform::services().screen->twipsPerPixelY();
}
int toPixels(double twips, int tpp)
{
    return static_cast<int>(std::lround(twips / tpp));
}

QString programFile(const QString& name)
{
    return QDir(platform::services().app->programFolder()).filePath(name);
}

void inform(QWidget* parent, const QString& text, platform::MsgIcon icon = platform::MsgIcon::Information)
{
    platform::services().messages->show(parent, text, frmMain::versionTitle(), icon);
}

// The delivered skins, in the order they are moved: Down, Up, Mask of XP, then of XP_Blue.
struct SkinFile {
    const char* folder;
    const char* name;
};
constexpr std::array<SkinFile, 6> DeliveredSkins = {{{"XP", "XP_Down.bmp"},
                                                     {"XP", "XP_Up.bmp"},
                                                     {"XP", "XP_Mask.bmp"},
                                                     {"XP_Blue", "XP_Blue_Down.bmp"},
                                                     {"XP_Blue", "XP_Blue_Up.bmp"},
                                                     {"XP_Blue", "XP_Blue_Mask.bmp"}}};

} // namespace

frmMain::frmMain(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Tool),
      m_command1(QStringLiteral(DOVIBUTTON_PROGID), this, host::controlHost())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Dovi"));
    // A tool window would not end the program when it closes; the bar is the program's main window.
    setAttribute(Qt::WA_QuitOnClose, true);
    // The bar is seldom the active window, yet its buttons' tooltips are to show when the pointer rests.
    setAttribute(Qt::WA_AlwaysShowToolTips, true);
    // Started with the session, the bar leaves the keyboard where it is; a click or the window
    // manager gives it the keyboard later.
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    setAccessibleName(QStringLiteral("Dovi"));
    setFixedSize(toPixels(TemplateSizeTwips, tppX()), toPixels(TemplateSizeTwips, tppY()));
    connect(&m_command1, &host::ControlArray::Click, this, &frmMain::Command1_Click);
    connect(&m_command1, &host::ControlArray::MouseUp, this, &frmMain::Command1_MouseUp);
    setAcceptDrops(true);
}

frmMain::~frmMain() = default;

bool frmMain::ensureTemplate(QString* error)
{
    if (m_command1.at(0))
        return true;
    if (!m_command1.createTemplate(error))
        return false;
    host::Extender& model = m_command1.at(0)->extender();
    model.move(0, 0);
    model.setWidth(TemplateSizeTwips);
    model.setHeight(TemplateSizeTwips);
    model.setVisible(false);
    return true;
}

bool frmMain::Form_Load()
{
    platform::Services& sys = platform::services();

    // A second start leaves the running bar alone and ends without a word.
    if (!sys.instanceLock->tryAcquire())
        return false;

    sys.windows->prepareBar(this);
    m_backdrop = sys.windows->backdrop(this);
    sys.windows->setSkipTaskbar(this);

    QString why;
    if (!ensureTemplate(&why)) {
        inform(this, why, platform::MsgIcon::Critical);
        return false;
    }

    // Settings that cannot be kept are told first. A settings file that cannot be read still holds a
    // set-up: the bar runs on its defaults and does not start a first launch that would reset it.
    const platform::SettingsStore::State store = sys.settings->state(sys.app->title());
    const bool settingsUnreadable = store == platform::SettingsStore::State::Unreadable;
    const bool languageKnown = !settingsUnreadable && settings::FirstLaunch() != 0;
    if (store != platform::SettingsStore::State::Fine) {
        inform(this,
               languageKnown
                   ? settings::storeProblem(settings::Lang())
                   : settings::storeProblem(0) + QStringLiteral("\r\n\r\n") + settings::storeProblem(1),
               platform::MsgIcon::Warning);
    }

    // A first run writes its marker and moves the skins into their folders: without a folder that
    // can be written, it would leave half a set-up behind.
    if (!QFileInfo::exists(runFilePath()) && !programFolderWritable()) {
        const QString folder = QDir::toNativeSeparators(sys.app->programFolder());
        const QString french =
            QStringLiteral("Dovi ne peut pas écrire dans son dossier %1 : il doit y créer ses fichiers lors "
                           "du premier lancement. Dovi va se refermer !")
                .arg(folder);
        const QString english = QStringLiteral("Dovi cannot write in its folder %1: it must create its files "
                                               "there at the first launch. Dovi is closing !")
                                    .arg(folder);
        const QString text = !languageKnown          ? french + QStringLiteral("\r\n\r\n") + english
                             : settings::Lang() == 0 ? french
                                                     : english;
        inform(this, text, platform::MsgIcon::Critical);
        return false;
    }

    LangFirstChoice = false;
    bool languageChosen = false;
    if (settings::FirstLaunch() != 0 || settingsUnreadable) {
        SetupDone = true;
    } else {
        SetupDone = false;
        LangFirstChoice = true;
        frmLangue langue(this);
        languageChosen = langue.exec() == QDialog::Accepted;
        // Asked to end meanwhile (a logout): nothing of the first launch is written yet, and the
        // next start asks again.
        if (platform::endRequested())
            return false;
    }

    // A language just chosen is the session's, also when the settings could not keep it.
    if (!languageChosen)
        CurrentLang = static_cast<qint16>(settings::Lang());
    resstrings::useToolkitLanguage(CurrentLang);

    readRunFile();
    // A first launch ended while its preferences were open leaves the marker and the language but no
    // configuration: every later start would end on the missing file. The set-up goes on instead.
    const QFileInfo config(configPath());
    if (!FirstRun && !config.exists() && !config.isSymLink())
        FirstRun = true;
    if (!QFileInfo::exists(programFile(QStringLiteral("Boutons"))))
        createSkinFolders();

    if (FirstRun) {
        hide();
        frmPrefs prefs(*this, this);
        prefs.exec();
        // Buttons created and then cancelled set nothing up: without its configuration, every
        // later start would end on the missing file. It ends as a first launch without buttons.
        if (SetupDone && !QFileInfo::exists(configPath()))
            SetupDone = false;
        if (!SetupDone) {
            // Ended by the system (a logout), the first launch is undone without a word.
            if (!platform::endRequested()) {
                inform(this, CurrentLang == 0
                                 ? QStringLiteral(
                                       "Vous n'avez pas créé au minimum un bouton, Dovi va se refermer !")
                                 : QStringLiteral("You do not have create any button, Dovi is closing !"));
            }
            close();
            return false;
        }
        keepSetup();
    } else {
        QString error;
        // A file that cannot be read is the user's set-up all the same: kept with its marker, it is
        // laid out again once mended, instead of being replaced by a first launch's defaults.
        if (!modPlaceButtons::PlaceButtons(*this, configPath(), &error)) {
            inform(this, error, platform::MsgIcon::Critical);
            return false;
        }
        // Laid out from its file, the bar is set up, also when its settings were lost (a cleared
        // settings folder, another user of the same program folder): closing must not undo it.
        if (!SetupDone) {
            SetupDone = true;
            keepSetup();
        }
    }

    // The stored level is read even when this session cannot show it (no compositing manager yet):
    // closing saves the level, and must give back the user's, not an opaque one.
    TransparencyValue = static_cast<qint16>(modSetFormsTransparency::clampLevel(settings::ValTrans()));
    if (modSetFormsTransparency::IsLayeredWindowsOS()) {
        TransparencyAvailable = true;
        modSetFormsTransparency::SetFormTransparency(this, TransparencyValue);
    } else {
        TransparencyAvailable = false;
    }

    if (FirstRun)
        showFirstRunMessage();

    unloadMenu();
    sys.events->doEvents();
    // The desktop is copied before the bar first shows: nothing is in the way yet, and a window
    // unmapped again before the window manager has taken it may be left unmanaged and unseen.
    // The start-up form is shown in any case, also when the set-up is not complete.
    PaintDesktopBehind(true);
    // A bar started with the session may be up before the wallpaper is, or the compositor.
    sys.desktop->watchBackground(this, [this] { desktopBackgroundChanged(); });
    sys.windows->watchDesktop(this, [this] { followDesktop(); });
    // From the event loop: the bar has started, and a request to end it is answered at once.
    QTimer::singleShot(0, this, &frmMain::tellPlacement);
    QTimer::singleShot(0, this, &frmMain::grabLauncherKeys);

    RunFileCreated = false;
    FirstRun = false;
    return true;
}

void frmMain::tellPlacement()
{
    // Said once: the bar cannot do better there, and the user cannot change it.
    if (platform::services().windows->desktop().barPlaced || settings::PlacementNotice() != 0)
        return;
    inform(this,
           CurrentLang == 0
               ? QStringLiteral("Ce bureau place lui-même les fenêtres des programmes : Dovi ne peut pas "
                                "mettre sa barre à la position choisie dans les préférences.")
               : QStringLiteral("This desktop places the windows of programs itself: Dovi cannot put "
                                "its bar at the position chosen in the preferences."));
    settings::savePlacementNotice(1);
}

void frmMain::grabLauncherKeys()
{
    const QList<int> taken =
        platform::services().windows->grabLauncherKeys(this, [this](int number) { launcherKey(number); });
    int takenBits = 0;
    QStringList names;
    for (const int number : taken) {
        takenBits |= 1 << number;
        names << QStringLiteral("Super+%1").arg(number);
    }
    // Told once for each key: the user may leave it to the other program.
    const int told = settings::TakenKeysNotice();
    if ((takenBits & ~told) == 0)
        return;
    // Kept before it is said: a session ended while the message is up has shown it.
    settings::saveTakenKeysNotice(told | takenBits);
    inform(this, (CurrentLang == 0 ? QStringLiteral("Ces touches sont déjà utilisées par un autre programme, "
                                                    "elles ne lanceront pas les boutons de Dovi : ")
                                   : QStringLiteral("These keys are already used by another program, so they "
                                                    "will not start Dovi's buttons: ")) +
                     names.join(QStringLiteral(", ")));
}

void frmMain::launcherKey(int number)
{
    // As a click: not while a dialog of the bar is open or the buttons are being laid out.
    const host::Control* button = m_command1.at(number);
    if (!button || button->isHidden() || m_layoutRun.running || QApplication::activeModalWidget() ||
        QApplication::activePopupWidget())
        return;
    Command1_Click(number);
}

void frmMain::keepSetup()
{
    // A language chooser closed by its frame saved nothing, yet the set-up is complete: it is kept as
    // such, or the next start would be a first launch whose preferences replace the buttons.
    if (settings::FirstLaunch() == 0) {
        settings::saveLang(CurrentLang);
        settings::saveFirstLaunch(1);
    }
}

bool frmMain::programFolderWritable()
{
    QTemporaryFile probe(programFile(QStringLiteral(".Dovi_XXXXXX")));
    if (!probe.open())
        return false;
    // A full disk lets the file be created but not written.
    const QByteArray line("run=1\r\n");
    return probe.write(line) == line.size() && probe.flush();
}

void frmMain::readRunFile()
{
    QFile marker(runFilePath());
    if (!marker.exists()) {
        const QByteArray line("run=1\r\n");
        // Half a marker would make the next start neither a first nor a later one.
        if (marker.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
            (marker.write(line) != line.size() || !marker.flush())) {
            marker.close();
            marker.remove();
        }
        FirstRun = true;
        RunFileCreated = true;
        return;
    }
    if (marker.open(QIODevice::ReadOnly)) {
        QByteArray first = marker.readLine();
        while (first.endsWith('\n') || first.endsWith('\r'))
            first.chop(1);
        if (first == "run=1")
            FirstRun = false;
    }
    RunFileCreated = false;
}

void frmMain::createSkinFolders()
{
    QDir folder(platform::services().app->programFolder());
    folder.mkpath(QStringLiteral("Boutons/XP"));
    folder.mkpath(QStringLiteral("Boutons/XP_Blue"));
    QStringList missing;
    for (const SkinFile& skin : DeliveredSkins) {
        const QString name = QString::fromLatin1(skin.name);
        const QString to = QStringLiteral("Boutons/%1/%2").arg(QString::fromLatin1(skin.folder), name);
        if (!QFile::rename(folder.filePath(name), folder.filePath(to)))
            missing << QDir::toNativeSeparators(folder.filePath(name));
    }
    // Without the delivered skins the program still runs; the user can pick other skins.
    if (!missing.isEmpty()) {
        const QString head = CurrentLang == 0
                                 ? QStringLiteral("Ces skins livrés avec Dovi sont introuvables :")
                                 : QStringLiteral("These skins delivered with Dovi are missing:");
        inform(this, head + QStringLiteral("\r\n") + missing.join(QStringLiteral("\r\n")),
               platform::MsgIcon::Warning);
    }
}

void frmMain::showFirstRunMessage()
{
    const int lang = CurrentLang;
    const QString crlf = QStringLiteral("\r\n");
    QString first;
    QString second;
    if (TransparencyAvailable) {
        first = resstrings::choose(125, 126, lang);
        second = resstrings::choose(127, 128, lang);
    } else {
        first = resstrings::choose(131, 132, lang);
        second = resstrings::choose(133, 134, lang);
    }
    inform(this, first + crlf + second + crlf + crlf + resstrings::choose(129, 130, lang));
}

double frmMain::Width() const
{
    return width() * static_cast<double>(tppX());
}

double frmMain::Height() const
{
    return height() * static_cast<double>(tppY());
}

void frmMain::setLeft(double twips)
{
    m_leftTwips = twips;
    applyPosition();
}

void frmMain::setTop(double twips)
{
    m_topTwips = twips;
    applyPosition();
}

void frmMain::setWidth(double twips)
{
    // Fixed: a window manager may not make the bar larger than its buttons (a tiling one would
    // fill the workspace with it) or smaller.
    setFixedSize(std::max(1, toPixels(twips, tppX())), height());
}

void frmMain::setHeight(double twips)
{
    setFixedSize(width(), std::max(1, toPixels(twips, tppY())));
}

void frmMain::applyPosition()
{
    move(toPixels(m_leftTwips, tppX()), toPixels(m_topTwips, tppY()));
}

void frmMain::showWindowThenButtons()
{
    // Showing a widget is announced to the accessibility bridge, whose first use joins the session
    // bus. The window is asked for first, so that the window system maps it meanwhile; the buttons
    // show before anything is drawn.
    QList<QWidget*> parts;
    for (QWidget* part : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!part->isWindow() && !part->isHidden()) {
            parts.append(part);
            part->hide();
        }
    }
    show();
    for (QWidget* part : parts)
        part->show();
}

QRegion frmMain::buttonsShape() const
{
    QRegion shape;
    for (int index = 1; index <= m_command1.ubound(); ++index) {
        const host::Control* button = m_command1.at(index);
        if (!button || button->isHidden())
            continue;
        const QRegion own =
            button->mask().isEmpty() ? QRegion(button->rect()) : button->mask() & button->rect();
        shape += own.translated(button->pos());
    }
    return shape;
}

void frmMain::PaintDesktopBehind(bool firstShow)
{
    platform::Services& sys = platform::services();
    if (m_backdrop == platform::Backdrop::SeeThrough) {
        m_background = QPixmap();
        // Outside the buttons the bar is transparent, and clicks there go to what is under it. A bar
        // without buttons keeps its whole window, where its menu is reached.
        const QRegion shape = buttonsShape();
        if (shape.isEmpty())
            clearMask();
        else
            setMask(shape);
        if (!isVisible() && firstShow)
            showWindowThenButtons();
        update();
        return;
    }
    const QRect under(QPoint(toPixels(m_leftTwips, tppX()), toPixels(m_topTwips, tppY())), size());
    // The wallpaper is the desktop without whatever window lies under the bar, and needs no hiding.
    const QPixmap wallpaper = sys.desktop->wallpaper(under);
    if (!wallpaper.isNull()) {
        m_background = wallpaper;
        clearMask();
        if (!isVisible() && firstShow)
            showWindowThenButtons();
        update();
        return;
    }
    // The desktop is only seen once the bar is out of the way.
    const bool wasVisible = isVisible();
    if (wasVisible) {
        hide();
        sys.events->doEvents();
        sys.windows->waitUntilGone(this);
    }
    // The window system answers in the order it is asked: the copy asked for before the bar shows
    // again is the desktop without it, and the bar need not wait for it to show.
    sys.desktop->request(under);
    if (wasVisible)
        show();
    else if (firstShow)
        showWindowThenButtons();
    m_background = sys.desktop->take();
    // A bar that was see-through keeps its shape until the copy is there to show.
    clearMask();
    update();
}

void frmMain::desktopBackgroundChanged()
{
    // A hidden bar takes its copy when it shows again; a see-through one needs none.
    if (!isVisible() || m_backdrop == platform::Backdrop::SeeThrough)
        return;
    // The copy hides the bar for a moment: not under a dialog or menu of the bar, nor in the middle
    // of a layout. It is taken once they are over.
    if (m_backgroundWaits)
        return;
    if (layoutRun().running || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        m_backgroundWaits = true;
        QTimer::singleShot(500, this, [this] {
            m_backgroundWaits = false;
            desktopBackgroundChanged();
        });
        return;
    }
    PaintDesktopBehind();
}

void frmMain::followDesktop()
{
    platform::Services& sys = platform::services();
    const platform::Backdrop now = sys.windows->backdrop(this);
    const bool available = sys.windows->translucencyAvailable(nullptr);
    const bool changed = now != m_backdrop || available != TransparencyAvailable;
    m_backdrop = now;
    TransparencyAvailable = available;
    if (!changed)
        return;
    // A stored level shows as soon as it can; without a compositor the bar is opaque again.
    modSetFormsTransparency::SetFormTransparency(this, available ? TransparencyValue : 255);
    if (now == platform::Backdrop::SeeThrough)
        PaintDesktopBehind();
    else
        desktopBackgroundChanged();
}

void frmMain::ShowInfos(qint16 tip)
{
    InfosTip = tip;
    frmInfos infos(this);
    infos.exec();
}

frmMenu& frmMain::menu()
{
    if (!m_menu)
        m_menu = std::make_unique<frmMenu>(*this);
    return *m_menu;
}

void frmMain::unloadMenu()
{
    // A command runs inside the menu's own event handling: the form may only go once that is over.
    if (m_menu)
        m_menu.release()->deleteLater();
}

void frmMain::popupMenu(const QPoint& globalPos)
{
    // A layout lets events run while only some of the buttons are set up: preferences opened then
    // would show, and save over the file, just those. The menu comes back once the bar is laid out.
    if (m_layoutRun.running)
        return;
    // A menu command that opens a dialog lets events run before the dialog shows: a second menu then
    // would open a second dialog, or reload the buttons, under the first.
    if (m_menu && m_menu->commandRunning())
        return;
    // A compositing manager may come after the bar (both start with the session) or go: the menu
    // follows what the system can do now.
    followDesktop();
    frmMenu& form = menu();
    form.mnuFileTransparency->setVisible(TransparencyAvailable);
    form.mnuFile->popup(globalPos);
}

bool frmMain::Reload()
{
    QString error;
    const bool ok = modPlaceButtons::PlaceButtons(*this, configPath(), &error);
    if (ok)
        modPlaceButtons::SizeBar(*this);
    else
        inform(this, error, platform::MsgIcon::Critical);
    PaintDesktopBehind();
    unloadMenu();
    return ok;
}

QString frmMain::configPath()
{
    return programFile(QString::fromLatin1(configfile::FileName));
}

QString frmMain::runFilePath()
{
    return programFile(QStringLiteral("Dovi_Run.txt"));
}

QString frmMain::versionTitle()
{
    const platform::Version v = platform::services().app->version();
    return QStringLiteral("Dovi V%1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision);
}

void frmMain::paintEvent(QPaintEvent*)
{
    // A see-through bar is transparent but for its buttons.
    if (m_backdrop == platform::Backdrop::SeeThrough)
        return;
    QPainter painter(this);
    if (!m_background.isNull())
        painter.drawPixmap(0, 0, m_background);
    else if (testAttribute(Qt::WA_TranslucentBackground))
        painter.fillRect(rect(), palette().window()); // an opaque bar has no see-through pixel
}

void frmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Some window managers drop the position of a window that was hidden: it is set again. The
    // task-bar state is kept through hides by the window services themselves.
    setAttribute(Qt::WA_QuitOnClose, true);
    applyPosition();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    setAttribute(Qt::WA_QuitOnClose, true);
    event->accept();
}

void frmMain::Form_QueryUnload()
{
    if (SetupDone) {
        settings::saveValTrans(TransparencyValue);
        return;
    }
    // Settings that cannot be written never record a completed set-up. A bar laid out from its
    // configuration is then left as it is: undoing it would make the next start a first launch,
    // whose preferences replace the buttons.
    if (platform::services().settings->state(platform::services().app->title()) ==
            platform::SettingsStore::State::ReadOnly &&
        QFileInfo::exists(configPath()) && m_command1.ubound() >= 1) {
        unloadMenu();
        return;
    }
    // The first launch was not completed: the next start is a first launch again.
    QFile marker(runFilePath());
    if (marker.exists()) {
        marker.setPermissions(marker.permissions() | QFileDevice::WriteOwner);
        marker.remove();
    }
    settings::deleteAll();
    unloadMenu();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
}

void frmMain::mouseReleaseEvent(QMouseEvent* event)
{
    // A bar without buttons still offers its menu, so the preferences stay reachable. With buttons
    // the menu belongs to them; a release on a cut-out corner does nothing.
    if (event->button() == Qt::RightButton && m_command1.ubound() < 1)
        popupMenu(event->globalPosition().toPoint());
    QWidget::mouseReleaseEvent(event);
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const int key = event->key();
    if (key == Qt::Key_Escape && plain) {
        platform::services().windows->giveFocusBack(this);
        return;
    }
    const bool column = CfgAlign == QLatin1String("VERTICAL");
    int step = 0;
    int from = -1;
    for (int index = 1; index <= m_command1.ubound(); ++index) {
        if (m_command1.at(index) && m_command1.at(index) == focusWidget())
            from = index;
    }
    if (key == (column ? Qt::Key_Down : Qt::Key_Right) || key == Qt::Key_Home)
        step = 1;
    else if (key == (column ? Qt::Key_Up : Qt::Key_Left) || key == Qt::Key_End)
        step = -1;
    if (key == Qt::Key_Home || key == Qt::Key_End || from < 0)
        from = step > 0 ? 0 : m_command1.ubound() + 1;
    if (step == 0 || !plain) {
        QWidget::keyPressEvent(event);
        return;
    }
    // The next shown button that way; at either end the keyboard stays where it is.
    for (int index = from + step; index >= 1 && index <= m_command1.ubound(); index += step) {
        host::Control* button = m_command1.at(index);
        if (button && !button->isHidden()) {
            button->setFocus(Qt::TabFocusReason);
            break;
        }
    }
    event->accept();
}

void frmMain::Command1_Click(int index)
{
    modStartProg::StartProgram(*this, index);
}

void frmMain::Command1_MouseUp(int index, int button, int shift, float x, float y)
{
    Q_UNUSED(shift);
    Q_UNUSED(x);
    Q_UNUSED(y);
    if (!(button & 2))
        return;
    // At the pointer, which is over the button after a right click; a menu asked for otherwise (an
    // accessibility action) opens at the button's centre.
    QPoint at = QCursor::pos();
    if (const QWidget* part = m_command1.at(index); part && !part->rect().contains(part->mapFromGlobal(at)))
        at = part->mapToGlobal(part->rect().center());
    popupMenu(at);
}

int frmMain::draggedButton(const QDropEvent& event) const
{
    for (int index = 1; index <= m_command1.ubound(); ++index) {
        if (event.source() && m_command1.at(index) == event.source())
            return index;
    }
    return 0;
}

Qt::DropAction frmMain::dropAction(const QDropEvent& event)
{
    if (!droppedlaunchers::takesDrops(*this))
        return Qt::IgnoreAction;
    if (draggedButton(event) > 0)
        return event.possibleActions() & Qt::MoveAction ? Qt::MoveAction : Qt::IgnoreAction;
    const QMimeData* data = event.mimeData();
    if (event.source() || !data || !data->hasUrls() || !droppedlaunchers::acceptable(data->urls()))
        return Qt::IgnoreAction;
    // A launcher points at what it was given: the giver must not delete it, as after a move.
    if (event.possibleActions() & Qt::LinkAction)
        return Qt::LinkAction;
    if (event.possibleActions() & Qt::CopyAction)
        return Qt::CopyAction;
    return Qt::IgnoreAction;
}

int frmMain::dropSlotAt(const QPointF& position) const
{
    // Qt maps a drop from where the window system last said the window was, which under some window
    // managers reads 0,0 for a while after a show: the drop is at the pointer, and the bar where the
    // program put it. A bar the desktop places has no position of its own.
    QPointF at = position;
    if (platform::services().windows->desktop().barPlaced)
        at = QPointF(QCursor::pos() - QPoint(toPixels(m_leftTwips, tppX()), toPixels(m_topTwips, tppY())));
    QList<QRectF> buttons;
    for (int index = 1; index <= m_command1.ubound(); ++index) {
        if (const host::Control* button = m_command1.at(index))
            buttons << QRectF(button->geometry());
    }
    return droppedlaunchers::dropSlot(CfgAlign, buttons, at);
}

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

bool frmMain::acceptDrop(QDropEvent& event)
{
    const Qt::DropAction action = dropAction(event);
    if (action == Qt::IgnoreAction) {
        event.ignore();
        return false;
    }
    event.setDropAction(action);
    event.accept();
    return true;
}

void frmMain::dragMoveEvent(QDragMoveEvent* event)
{
    acceptDrop(*event);
}

void frmMain::dropEvent(QDropEvent* event)
{
    if (!acceptDrop(*event))
        return;
    const int slot = dropSlotAt(event->position());
    // Saved once the drop is over: the giver is not kept waiting by a message, and a moved button
    // is not replaced while its own drag still runs.
    if (const int index = draggedButton(*event); index > 0) {
        QTimer::singleShot(0, this,
                           [this, index, slot] { droppedlaunchers::moveButton(*this, index, slot); });
        return;
    }
    const QList<QUrl> urls = event->mimeData()->urls();
    QTimer::singleShot(0, this, [this, urls, slot] { droppedlaunchers::addDropped(*this, urls, slot); });
}
