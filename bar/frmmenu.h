#pragma once

#include <QWidget>

class QAction;
class QMenu;
class frmMain;

// The hidden form that holds the bar's pop-up menu mnuFile. It is loaded with the captions of the
// current language and unloaded after every command, so a new language shows on the next pop-up.
class frmMenu final : public QWidget {
    Q_OBJECT
public:
    explicit frmMenu(frmMain& bar);
    ~frmMenu() override;

    // True while one of its commands runs: the bar then pops up no second menu.
    bool commandRunning() const { return m_commandRunning; }

    // The menu tree; the items belong to the menus.
    QMenu* mnuFile = nullptr;
    QMenu* mnuFilePrefs = nullptr;
    QAction* mnuFilePrefsOptGeneral = nullptr;
    QAction* mnuFilePrefsDoviPos = nullptr;
    QAction* mnuFilePrefsAddBtn = nullptr;
    QAction* mnuFilePrefsBtnOrder = nullptr;
    QAction* mnuFilePrefsBtnSkn = nullptr;
    QAction* mnuFileLangue = nullptr;
    QAction* mnuFileTransparency = nullptr;
    QAction* SP2 = nullptr;
    QAction* mnuFileReload = nullptr;
    QAction* SP1 = nullptr;
    QAction* mnuFileAbout = nullptr;
    QAction* mnuFileExit = nullptr;

private Q_SLOTS:
    void mnuFilePrefsOptGeneral_Click();
    void mnuFilePrefsDoviPos_Click();
    void mnuFilePrefsAddBtn_Click();
    void mnuFilePrefsBtnOrder_Click();
    void mnuFilePrefsBtnSkn_Click();
    void mnuFileLangue_Click();
    void mnuFileTransparency_Click();
    void mnuFileReload_Click();
    void mnuFileAbout_Click();
    void mnuFileExit_Click();

private:
    void Form_Load();
    void setCaptions(int lang);
    void openPrefs(qint16 page);

    frmMain& m_bar;
    bool m_commandRunning = false;
};
