#pragma once

#include "platform/host/controlarray.h"
#include "platform/windowservices.h"

#include <QPixmap>
#include <QPoint>
#include <QSet>
#include <QWidget>

#include <memory>

class frmMenu;

// The bar: a borderless window holding the launcher buttons Command1(1..n) edge to edge. Around their
// shapes the desktop shows: live where a compositor draws the windows, otherwise as a copy of the
// desktop under the bar. Element 0 of Command1 is the hidden 720 x 720 twips template.
class frmMain final : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The start-up sequence. False when the program is to end without showing the bar.
    bool Form_Load();

    host::ControlArray& Command1() { return m_command1; }

    // Laying the buttons out lets events run. While PlaceButtons is at work, a layout asked for
    // meanwhile is noted here and run once the current one is over.
    struct LayoutRun {
        bool running = false;
        QString again; // the configuration of a layout asked for meanwhile
        // Icon files told as unreadable this session, not told again.
        QSet<QString> iconsTold;
    };
    LayoutRun& layoutRun() { return m_layoutRun; }
    // Creates the hidden template element 0 once. False with the reason when the button library fails.
    bool ensureTemplate(QString* error = nullptr);

    // Position and size in twips. The position is the one the program set, never read back from the
    // window system.
    double Left() const { return m_leftTwips; }
    double Top() const { return m_topTwips; }
    double Width() const;
    double Height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);

    // Paints the desktop rectangle under the bar onto its background: the wallpaper the desktop
    // published, else the screen taken while the bar is hidden. With firstShow, a bar not shown yet
    // is shown once the copy is asked for; the copy is read afterwards, and holds the desktop all
    // the same. A see-through bar takes no copy: it shapes itself to its buttons instead.
    void PaintDesktopBehind(bool firstShow = false);
    const QPixmap& background() const { return m_background; }
    platform::Backdrop backdrop() const { return m_backdrop; }
    // The buttons' outlines, in the bar's pixels: what shows of a see-through bar and takes clicks.
    QRegion buttonsShape() const;

    // InfosTip := tip, then the tips window modally.
    void ShowInfos(qint16 tip);

    // The pop-up menu form, loaded on first reference with the captions of the current language.
    frmMenu& menu();
    bool menuLoaded() const { return m_menu != nullptr; }
    // Unloads the menu form; it is deleted once the command that asked for it has returned.
    void unloadMenu();
    // Shows mnuFile at a screen position, with the transparency item only where it works; nothing
    // while the buttons are being laid out.
    void popupMenu(const QPoint& globalPos);

    // The menu's reload: layout from DoviConfig.txt, sizing, background. A file that cannot be read
    // keeps the current bar and is reported. False in that case.
    bool Reload();

    // Program folder paths.
    static QString configPath();
    static QString runFilePath();
    // "Dovi V<major>.<minor>.<revision>"
    static QString versionTitle();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Files, folders, addresses and entries dropped on the bar become buttons where they land; a
    // button dragged along the bar moves there.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The arrows along the bar move the keyboard from button to button; Escape gives it back.
    void keyPressEvent(QKeyEvent* event) override;

private Q_SLOTS:
    void Command1_Click(int index);
    void Command1_MouseUp(int index, int button, int shift, float x, float y);

private:
    void Form_QueryUnload();
    void applyPosition();
    static bool programFolderWritable();
    void readRunFile();
    // Stores the language and the end of the first launch, once the bar is set up.
    void keepSetup();
    void createSkinFolders();
    void showFirstRunMessage();
    void showWindowThenButtons();
    void desktopBackgroundChanged();
    // Takes the way the desktop now shows windows: see-through with a compositor, a copy without.
    void followDesktop();
    void tellPlacement();
    // What a drag over the bar would do: IgnoreAction when it is refused, never a move of what
    // another program gives. The button a drag moves (its index), 0 for anything else.
    Qt::DropAction dropAction(const QDropEvent& event);
    // Accepts the drag or drop with that action, or refuses it; false when refused.
    bool acceptDrop(QDropEvent& event);
    int draggedButton(const QDropEvent& event) const;
    int dropSlotAt(const QPointF& position) const;
    // Super+1 to Super+9 start the first nine buttons; the keys other programs hold are told once.
    void grabLauncherKeys();
    void launcherKey(int number);

    host::ControlArray m_command1;
    std::unique_ptr<frmMenu> m_menu;
    QPixmap m_background;
    platform::Backdrop m_backdrop = platform::Backdrop::Copy;
    // A new desktop background waits for the bar's dialogs or menu to close.
    bool m_backgroundWaits = false;
    LayoutRun m_layoutRun;
    double m_leftTwips = 0;
    double m_topTwips = 0;
};
