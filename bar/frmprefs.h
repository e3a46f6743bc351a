#pragma once

#include "bar/prefstexts.h"
#include "bar/prefsworkingset.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <memory>
#include <optional>

class frmMain;
class QLineEdit;
class QScrollBar;

namespace Ui {
class frmPrefs;
}

// The tabbed preferences dialog. It edits a working copy of the bar's buttons and options and, on OK,
// writes the configuration file and lays the bar out again.
class frmPrefs final : public QDialog {
    Q_OBJECT
public:
    explicit frmPrefs(frmMain& bar, QWidget* parent = nullptr);
    ~frmPrefs() override;

    // Every way of closing comes here; the closing decision may keep the dialog open.
    void done(int result) override;

    // The buttons as edited so far.
    const PrefsWorkingSet& workingSet() const { return m_set; }
    bool creatingButton() const { return CreatingButton; }
    bool buttonsChanged() const { return ButtonsChanged; }
    bool saveOnClose() const { return SaveOnClose; }
    // The mask colour shown by Picture2, RGB with red in the low byte.
    quint32 maskColour() const { return m_maskColour; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private Q_SLOTS:
    void cmdOK_Click();
    void cmdCancel_Click();

    void chkAutoLaunch_Click();
    void chkExtractIcon_Click();
    void Option1_Click(int index);
    void Option2_Click(int index);
    void HScroll1_Change(int value);
    void HScroll2_Change(int value);

    void List1_Click();
    void cmdAdd_Click();
    void cmdCreateButton_Click();
    void cmdDel_Click();
    void cmdUndoSuppr_Click();
    void txtAppPath_Change();
    void txtIconPath_Change();
    void txtButtonTitle_KeyPress();
    void List3_Click();

    void List2_Click();
    void cmdUp_Click();
    void cmdDown_Click();

    void Command1_Click(int index);
    void Command2_Click(int index);
    void Command3_Click();
    void Command4_Click();

private:
    void Form_Load();
    bool Form_QueryUnload();
    void setCaptions(int lang);
    void fillFromBar();
    void fillFirstRun();
    void setupSliders();

    void txtPosX_Validate();
    void txtPosY_Validate();
    void txtMovingIconValue_LostFocus();
    void txtButtonTitle_LostFocus();

    bool ValidateButtons();
    // Writes the configuration; false (after telling the user why) when it could not be saved.
    bool WriteConfigFile();
    bool saveAndReload();
    void discardEdits();

    void applyPositionRule(QLineEdit* text, QScrollBar* slider, bool horizontal);
    void setMaskColour(quint32 colour);
    void refillOrderList(int selectEntry);
    int selectedEntry() const;
    bool selectedIsMarked() const;
    void updateDeleteButton();
    void showTip(qint16 tip);
    void chooseFile(prefstexts::ChooserKind kind, QLineEdit* field);

    std::unique_ptr<Ui::frmPrefs> ui;
    frmMain& m_bar;
    PrefsWorkingSet m_set;
    // Bar elements loaded by Create in this opening; a discarded opening unloads them again.
    QList<int> m_createdElements;
    // Window state of each bar button at opening; List3 changes the buttons at once.
    QList<int> m_loadedStates;
    // The bar-wide option strings at opening (CfgAutoLaunch to CfgMaskColor): the dialog changes
    // some of them at once, and an opening that is not saved gives them back.
    QStringList m_openingOptions;
    // Where the bar was at opening, in twips: the position page moves it at once.
    double m_openingLeft = 0;
    double m_openingTop = 0;
    quint32 m_maskColour = 0;
    // The window state chosen while a button is being created, given to it at Create.
    std::optional<int> m_creationState;
    // Closing saves or discards while letting events run; a second OK, Cancel or close meanwhile
    // is not taken.
    bool m_closing = false;
    bool m_closed = false;
    // A save laid the bar out again; its background is painted once the dialog is off the screen.
    bool m_paintBarOnClose = false;

    bool IconPathRequired = false;
    bool CreatingButton = false;
    bool ButtonsChanged = false;
    bool LoadingPrefs = false;
    bool TitleEdited = false;
    int SelectedButton = 0;
    int EditedButton = 0;
    QString SelectedOrderTitle;
    bool CancelClicked = false;
    bool DiscardOnClose = false;
    bool SaveOnClose = false;
};
