#include "bar/frmprefs.h"

#include "bar/configfile.h"
#include "bar/frmmain.h"
#include "bar/mnemonics.h"
#include "bar/moddeclarepublic.h"
#include "bar/modplacebuttons.h"
#include "bar/modregeditrundovi.h"
#include "bar/prefsposition.h"
#include "bar/prefstexts.h"
#include "bar/resstrings.h"
#include "bar/settings.h"
#include "button/dispids.h"
#include "platform/services.h"
#include "ui_frmprefs.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include <algorithm>
#include <limits>
#include <utility>

using namespace modDeclarePublic;

namespace {

const QString True = QStringLiteral("TRUE");
const QString False = QStringLiteral("FALSE");
const QString Horizontal = QStringLiteral("HORIZONTAL");
const QString Vertical = QStringLiteral("VERTICAL");

// The public option strings that mirror the configuration file, in one fixed order.
QStringList publicOptions()
{
    return {CfgAutoLaunch,  CfgOnTop,       CfgIconMove, CfgToolTip,
            CfgExtractIcon, CfgGraphicMode, CfgAlign,    CfgMaskColor};
}

void restorePublicOptions(const QStringList& values)
{
    if (values.size() != 8)
        return;
    CfgAutoLaunch = values.at(0);
    CfgOnTop = values.at(1);
    CfgIconMove = values.at(2);
    CfgToolTip = values.at(3);
    CfgExtractIcon = values.at(4);
    CfgGraphicMode = values.at(5);
    CfgAlign = values.at(6);
    CfgMaskColor = values.at(7);
}

constexpr int MaxIconMovingValue = std::numeric_limits<qint16>::max();
constexpr quint32 FirstRunMaskColour = 15073535; // red 255, green 0, blue 230

QString flag(bool on)
{
    return on ? True : False;
}

QColor colourOf(quint32 rgb)
{
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

void message(QWidget* parent, const prefstexts::Message& m, platform::MsgIcon icon)
{
    platform::services().messages->show(parent, m.text, m.title, icon);
}

} // namespace

frmPrefs::frmPrefs(frmMain& bar, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmPrefs>()), m_bar(bar)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("frmPrefs"));

    // A ";" would split a button line of the configuration file, a line break (pasted in) any line.
    auto* noSeparator =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^;\\r\\n]*")), this);
    ui->txtButtonTitle->setValidator(noSeparator);
    ui->txtAppPath->setValidator(noSeparator);
    ui->txtIconPath->setValidator(noSeparator);
    auto* oneLine = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\\r\\n]*")), this);
    for (QLineEdit* skin : {ui->txtButtonUp, ui->txtButtonDown, ui->txtImgMask})
        skin->setValidator(oneLine);
    // Line 9 of the configuration is a 16-bit number: digits only, checked again on leaving.
    ui->txtMovingIconValue->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), this));

    for (QWidget* field :
         {static_cast<QWidget*>(ui->txtPosX), static_cast<QWidget*>(ui->txtPosY),
          static_cast<QWidget*>(ui->txtMovingIconValue), static_cast<QWidget*>(ui->txtButtonTitle)})
        field->installEventFilter(this);

    connect(ui->cmdOK, &QPushButton::clicked, this, &frmPrefs::cmdOK_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &frmPrefs::cmdCancel_Click);

    connect(ui->chkAutoLaunch, &QCheckBox::toggled, this, &frmPrefs::chkAutoLaunch_Click);
    connect(ui->chkExtractIcon, &QCheckBox::toggled, this, &frmPrefs::chkExtractIcon_Click);
    connect(ui->Option1_0, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option1_Click(0);
    });
    connect(ui->Option1_1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option1_Click(1);
    });
    connect(ui->Option2_0, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option2_Click(0);
    });
    connect(ui->Option2_1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option2_Click(1);
    });
    // valueChanged covers both the change and the dragging of a slider.
    connect(ui->HScroll1, &QScrollBar::valueChanged, this, &frmPrefs::HScroll1_Change);
    connect(ui->HScroll2, &QScrollBar::valueChanged, this, &frmPrefs::HScroll2_Change);

    connect(ui->List1, &QListWidget::currentRowChanged, this, &frmPrefs::List1_Click);
    // A click on the row already selected still ends creation mode.
    connect(ui->List1, &QListWidget::itemClicked, this, [this] {
        if (CreatingButton)
            List1_Click();
    });
    connect(ui->cmdAdd, &QPushButton::clicked, this, &frmPrefs::cmdAdd_Click);
    connect(ui->cmdCreateButton, &QPushButton::clicked, this, &frmPrefs::cmdCreateButton_Click);
    connect(ui->cmdDel, &QPushButton::clicked, this, &frmPrefs::cmdDel_Click);
    connect(ui->cmdUndoSuppr, &QPushButton::clicked, this, &frmPrefs::cmdUndoSuppr_Click);
    connect(ui->txtAppPath, &QLineEdit::textChanged, this, &frmPrefs::txtAppPath_Change);
    connect(ui->txtIconPath, &QLineEdit::textChanged, this, &frmPrefs::txtIconPath_Change);
    connect(ui->txtButtonTitle, &QLineEdit::textEdited, this, &frmPrefs::txtButtonTitle_KeyPress);
    connect(ui->List3, &QListWidget::currentRowChanged, this, &frmPrefs::List3_Click);

    connect(ui->List2, &QListWidget::currentRowChanged, this, &frmPrefs::List2_Click);
    connect(ui->cmdUp, &QPushButton::clicked, this, &frmPrefs::cmdUp_Click);
    connect(ui->cmdDown, &QPushButton::clicked, this, &frmPrefs::cmdDown_Click);

    connect(ui->Command1_0, &QToolButton::clicked, this, [this] { Command1_Click(0); });
    connect(ui->Command1_1, &QToolButton::clicked, this, [this] { Command1_Click(1); });
    connect(ui->Command2_0, &QToolButton::clicked, this, [this] { Command2_Click(0); });
    connect(ui->Command2_1, &QToolButton::clicked, this, [this] { Command2_Click(1); });
    connect(ui->Command3, &QPushButton::clicked, this, &frmPrefs::Command3_Click);
    connect(ui->Command4, &QToolButton::clicked, this, &frmPrefs::Command4_Click);

    Form_Load();
}

frmPrefs::~frmPrefs() = default;

void frmPrefs::Form_Load()
{
    m_openingOptions = publicOptions();
    m_openingLeft = m_bar.Left();
    m_openingTop = m_bar.Top();
    LoadingPrefs = true;

    ui->List3->addItems(prefstexts::windowStates(CurrentLang));
    setCaptions(CurrentLang);

    if (!FirstRun)
        fillFromBar();
    else
        fillFirstRun();

    setupSliders();

    ui->SSTab1->setCurrentIndex(std::clamp<int>(PrefsPage, 0, ui->SSTab1->count() - 1));

    IconPathRequired = false;
    SaveOnClose = true;
    CreatingButton = false;
    CancelClicked = false;
    DiscardOnClose = false;
    ButtonsChanged = false;
    LoadingPrefs = false;
    TitleEdited = false;
}

void frmPrefs::setCaptions(int lang)
{
    // Only the two languages of the program have captions.
    if (lang != 0 && lang != 1)
        return;
    const auto text = [lang](int frenchId) { return resstrings::choose(frenchId, frenchId + 1, lang); };
    setWindowTitle(text(175));
    const int pages[] = {145, 147, 155, 151, 153};
    for (int page = 0; page < 5; ++page)
        ui->SSTab1->setTabText(page, text(pages[page]));
    ui->cmdCancel->setText(text(173));
    ui->chkAutoLaunch->setText(text(157));
    ui->chkToolTip->setText(text(159));
    ui->chkWinPosOaver->setText(text(161));
    ui->chkActiveIconMoving->setText(text(163));
    ui->chkActiveToolTipText->setText(text(165));
    ui->chkExtractIcon->setText(text(217));
    ui->Frame1->setTitle(text(209));
    ui->Frame2->setTitle(text(167));
    ui->Option1_0->setText(text(169));
    ui->Option1_1->setText(text(171));
    ui->Label1_3->setText(text(177));
    ui->Label1_2->setText(text(179));
    ui->Frame3->setTitle(text(211));
    ui->Frame4->setTitle(text(213));
    ui->cmdAdd->setText(text(181));
    ui->cmdDel->setText(text(183));
    ui->cmdUndoSuppr->setText(text(185));
    ui->cmdCreateButton->setText(text(187));
    ui->Label6_1->setText(text(189));
    ui->Label7_1->setText(text(191));
    ui->Label8_1->setText(text(193));
    ui->Label3->setText(text(195));
    ui->Label4->setText(text(197));
    ui->Label2_3->setText(text(199));
    ui->Label2_2->setText(text(201));
    ui->Label5->setText(text(203));
    ui->Command3->setText(text(205));
    ui->Label11->setText(text(215));

    // What a screen reader says of the parts without a label of their own (the fields have theirs
    // as buddies): the sliders by their frames' titles, the lists by their pages', the glyph
    // buttons in words.
    ui->HScroll1->setAccessibleName(ui->Frame3->title());
    ui->HScroll2->setAccessibleName(ui->Frame4->title());
    ui->List1->setAccessibleName(ui->SSTab1->tabText(2));
    ui->List2->setAccessibleName(ui->SSTab1->tabText(3));
    // Lists do not take their names from a label that is their buddy.
    ui->List3->setAccessibleName(ui->Label4->text());
    ui->cmdUp->setAccessibleName(lang == 0 ? QStringLiteral("Monter") : QStringLiteral("Move up"));
    ui->cmdDown->setAccessibleName(lang == 0 ? QStringLiteral("Descendre") : QStringLiteral("Move down"));
    const QString browse = lang == 0 ? QStringLiteral("Parcourir…") : QStringLiteral("Browse…");
    for (QWidget* glyph : {static_cast<QWidget*>(ui->Command2_0), static_cast<QWidget*>(ui->Command2_1),
                           static_cast<QWidget*>(ui->Command1_0), static_cast<QWidget*>(ui->Command1_1),
                           static_cast<QWidget*>(ui->Command4)})
        glyph->setAccessibleName(browse);
    mnemonics::assignTo(this);
}

void frmPrefs::fillFromBar()
{
    host::ControlArray& buttons = m_bar.Command1();
    if (buttons.at(1)) {
        ui->txtButtonDown->setText(buttons.get(1, ButtonDispId::PictureDown).toString());
        ui->txtButtonUp->setText(buttons.get(1, ButtonDispId::PictureUp).toString());
        ui->txtMovingIconValue->setText(
            QString::number(buttons.get(1, ButtonDispId::IconMovingValue).toInt()));
        ui->txtImgMask->setText(buttons.get(1, ButtonDispId::ImageMask).toString());
    } else {
        // A bar without buttons: the bar-wide values come from the file it was laid out from.
        const configfile::ReadResult read = configfile::read(frmMain::configPath());
        if (read.ok()) {
            ui->txtButtonDown->setText(read.config->skinDown);
            ui->txtButtonUp->setText(read.config->skinUp);
            ui->txtMovingIconValue->setText(QString::number(read.config->iconMovingValue));
            ui->txtImgMask->setText(read.config->skinMask);
        }
    }

    ui->chkToolTip->setChecked(settings::InfosToolTip() == 0);
    ui->chkAutoLaunch->setChecked(CfgAutoLaunch == True);
    ui->chkWinPosOaver->setChecked(CfgOnTop == True);
    ui->chkActiveIconMoving->setChecked(CfgIconMove == True);
    ui->chkActiveToolTipText->setChecked(CfgToolTip == True);
    ui->chkExtractIcon->setChecked(CfgExtractIcon == True);
    if (CfgGraphicMode == True)
        ui->Option1_0->setChecked(true);
    else
        ui->Option1_1->setChecked(true);
    if (CfgAlign == Horizontal)
        ui->Option2_0->setChecked(true);
    else
        ui->Option2_1->setChecked(true);

    m_set.clear();
    for (int n = 1; n <= buttons.ubound(); ++n) {
        PrefsEntry entry;
        if (buttons.at(n)) {
            entry.title = buttons.get(n, ButtonDispId::Button_Title).toString();
            entry.program = buttons.get(n, ButtonDispId::Programme).toString();
            entry.icon = buttons.get(n, ButtonDispId::Icone).toString();
            entry.state = buttons.get(n, ButtonDispId::OpenWindowsStyle).toInt();
        }
        m_set.add(entry);
        m_loadedStates.append(entry.state);
        ui->List1->addItem(prefstexts::listRow(n, entry.title));
    }
    refillOrderList(m_set.count() > 0 ? 1 : 0);
    if (ui->List1->count() > 0)
        ui->List1->setCurrentRow(0);
    if (const int n = selectedEntry(); m_set.contains(n)) {
        ui->txtAppPath->setText(m_set.entry(n).program);
        ui->txtButtonTitle->setText(m_set.entry(n).title);
        ui->txtIconPath->setText(m_set.entry(n).icon);
    }

    setMaskColour(static_cast<quint32>(CfgMaskColor.toLongLong()));

    ui->cmdUndoSuppr->setEnabled(false);
    ui->cmdCreateButton->setEnabled(false);
    if (ui->List1->count() == 1) {
        ui->cmdDel->setEnabled(false);
    } else if (ui->List1->count() == 0) {
        ui->cmdDel->setEnabled(false);
        ui->cmdOK->setEnabled(false);
    }
}

void frmPrefs::fillFirstRun()
{
    message(this, prefstexts::firstRun(CurrentLang), platform::MsgIcon::Information);

    const QDir folder(platform::services().app->programFolder());
    ui->txtButtonDown->setText(
        QDir::toNativeSeparators(folder.filePath(QStringLiteral("Boutons/XP/XP_Down.bmp"))));
    ui->txtButtonUp->setText(
        QDir::toNativeSeparators(folder.filePath(QStringLiteral("Boutons/XP/XP_Up.bmp"))));
    ui->txtImgMask->setText(
        QDir::toNativeSeparators(folder.filePath(QStringLiteral("Boutons/XP/XP_Mask.bmp"))));
    setMaskColour(FirstRunMaskColour);
    ui->txtMovingIconValue->setText(QStringLiteral("10"));
    ui->Option1_0->setChecked(true);
    ui->Option2_0->setChecked(true);
    ui->chkActiveIconMoving->setChecked(false);
    ui->chkActiveToolTipText->setChecked(true);
    ui->chkAutoLaunch->setChecked(false);
    ui->chkWinPosOaver->setChecked(false);
    ui->chkToolTip->setChecked(true);
    ui->chkExtractIcon->setChecked(true);
    ui->txtPosX->setText(QStringLiteral("0"));
    ui->txtPosY->setText(QStringLiteral("0"));
    ui->cmdCreateButton->setEnabled(false);
    ui->cmdUndoSuppr->setEnabled(false);
    ui->cmdDel->setEnabled(false);
    ui->Label10->setText(QStringLiteral("0"));
    ui->Label9->setText(QStringLiteral("0"));
    m_set.clear();
}

void frmPrefs::setupSliders()
{
    const platform::ScreenMetrics& screen = *platform::services().screen;
    // The sliders reach over every screen: a bar on another screen than the first stays where it is.
    QRect desktop(QPoint(0, 0), screen.screenSizePixels());
    for (const QRect& each : screen.screensPixels())
        desktop = desktop.united(each);
    const int maxX =
        prefsposition::sliderMaximum(desktop.right() + 1, m_bar.Width(), screen.twipsPerPixelX());
    const int maxY =
        prefsposition::sliderMaximum(desktop.bottom() + 1, m_bar.Height(), screen.twipsPerPixelY());
    // Opening shows where the bar is; it does not move it.
    const QSignalBlocker quietX(ui->HScroll1);
    const QSignalBlocker quietY(ui->HScroll2);
    for (QScrollBar* slider : {ui->HScroll1, ui->HScroll2}) {
        slider->setMinimum(0);
        slider->setSingleStep(1);
        slider->setPageStep(10);
    }
    // The range is set on the first launch too, so that typed positions are kept within the screen.
    ui->HScroll1->setMaximum(maxX);
    ui->HScroll2->setMaximum(maxY);

    if (RunFileCreated) {
        ui->HScroll1->setValue(0);
        ui->HScroll2->setValue(0);
        ui->HScroll1->setEnabled(false);
        ui->HScroll2->setEnabled(false);
        ui->Label9->setEnabled(false);
        ui->Label10->setEnabled(false);
        return;
    }
    const int x = prefsposition::sliderValue(m_bar.Left(), screen.twipsPerPixelX(), maxX);
    const int y = prefsposition::sliderValue(m_bar.Top(), screen.twipsPerPixelY(), maxY);
    ui->HScroll1->setValue(x);
    ui->HScroll2->setValue(y);
    ui->Label9->setText(QString::number(x));
    ui->txtPosX->setText(QString::number(x));
    ui->Label10->setText(QString::number(y));
    ui->txtPosY->setText(QString::number(y));
}

void frmPrefs::keyPressEvent(QKeyEvent* event)
{
    // Escape is Cancel, not the close box.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdCancel_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmPrefs::cmdCancel_Click()
{
    if (m_closing)
        return;
    CancelClicked = true;
    done(QDialog::Rejected);
}

void frmPrefs::done(int result)
{
    // Saving moves and lays the bar out again, which lets events run: a double click on OK, or a
    // click on Cancel or the close box then, would save or discard again in the middle of it.
    if (m_closing)
        return;
    m_closing = true;
    const bool closes = Form_QueryUnload();
    m_closing = false;
    if (closes) {
        m_closed = true;
        QDialog::done(result);
        if (std::exchange(m_paintBarOnClose, false))
            m_bar.PaintDesktopBehind();
    }
}

bool frmPrefs::Form_QueryUnload()
{
    if (DiscardOnClose || CancelClicked) {
        discardEdits();
        return true;
    }
    if (!SaveOnClose)
        return false;
    // A button still being typed is not dropped by the close box without a word: it is asked about,
    // as OK does; declined, the close box saves the rest as shown.
    if (CreatingButton && !(ui->txtButtonTitle->text().isEmpty() && ui->txtAppPath->text().isEmpty())) {
        const prefstexts::Message question = prefstexts::buttonInCreation(CurrentLang);
        const platform::MsgAnswer answer = platform::services().messages->show(
            this, question.text, question.title, platform::MsgIcon::Question, platform::MsgButtons::YesNo);
        if (answer == platform::MsgAnswer::Yes) {
            cmdCreateButton_Click();
            SaveOnClose = true;
            if (!ValidateButtons())
                return false;
        }
    }
    // Nothing to save before the first button exists (the first launch closed at once).
    if (m_set.liveCount() == 0) {
        discardEdits();
        return true;
    }
    // A title typed and not yet committed is saved too, whichever way the dialog is closed.
    txtButtonTitle_LostFocus();
    // A configuration that could not be written keeps the dialog open with every edit.
    if (!saveAndReload())
        return false;
    m_set.clear();
    m_createdElements.clear();
    m_loadedStates.clear();
    return true;
}

void frmPrefs::discardEdits()
{
    host::ControlArray& buttons = m_bar.Command1();
    // Buttons created in an opening that is not saved must not come back at the next opening.
    for (const int index : std::as_const(m_createdElements))
        buttons.unload(index);
    m_createdElements.clear();
    // Nor do discarded window states stay on the bar's buttons.
    for (int n = 1; n <= m_loadedStates.size(); ++n) {
        if (buttons.at(n))
            buttons.put(n, ButtonDispId::OpenWindowsStyle, m_loadedStates.at(n - 1));
    }
    // Nor the options changed at once (orientation, style, start with the session, icon extraction,
    // mask colour): the next opening would show them and its OK save them.
    restorePublicOptions(m_openingOptions);
    // The bar goes back to where the file puts it, instead of staying where the sliders left it.
    if (m_bar.Left() != m_openingLeft || m_bar.Top() != m_openingTop) {
        m_bar.setLeft(m_openingLeft);
        m_bar.setTop(m_openingTop);
    }
}

bool frmPrefs::saveAndReload()
{
    if (!WriteConfigFile())
        return false;
    QString error;
    if (!modPlaceButtons::PlaceButtons(m_bar, frmMain::configPath(), &error))
        message(this, prefstexts::barNotReloaded(error, CurrentLang), platform::MsgIcon::Critical);
    // The reload replaced every element, the ones created here too.
    m_createdElements.clear();
    // The dialog still covers the bar: its background is taken once the dialog has gone.
    m_paintBarOnClose = true;
    return true;
}

void frmPrefs::cmdOK_Click()
{
    if (m_closing)
        return;
    // A title typed and not yet committed belongs to the entry it was typed for.
    txtButtonTitle_LostFocus();
    const int lang = CurrentLang;

    // The fields of a button marked for deletion show what goes with the save; they can't be edited.
    const bool marked = selectedIsMarked();
    if (IconPathRequired && !marked && ui->txtIconPath->text().isEmpty())
        message(this, prefstexts::iconFieldEmpty(lang), platform::MsgIcon::Information);

    const QLineEdit* required[] = {ui->txtAppPath, ui->txtButtonDown, ui->txtButtonTitle, ui->txtButtonUp,
                                   ui->txtPosX,    ui->txtPosY,       ui->txtImgMask};
    const auto missing = [this, marked](const QLineEdit* field) {
        if (marked && (field == ui->txtAppPath || field == ui->txtButtonTitle))
            return false;
        return field->text().isEmpty();
    };
    if (std::any_of(std::begin(required), std::end(required), missing)) {
        message(this, prefstexts::fieldsMissing(lang), platform::MsgIcon::Information);
        return;
    }

    for (const QLineEdit* skin : {ui->txtButtonDown, ui->txtButtonUp, ui->txtImgMask}) {
        if (!QFileInfo(skin->text()).isFile()) {
            message(this, prefstexts::skinNotFound(lang), platform::MsgIcon::Critical);
            return;
        }
    }

    // Before the first button exists (the first launch) the fields are open without Add: a title and
    // a target typed there are a button in creation, not nothing to save.
    if (!CreatingButton && m_set.liveCount() == 0) {
        CreatingButton = true;
        if (ui->List3->currentRow() >= 0)
            m_creationState = ui->List3->currentRow() + 1;
    }

    if (CreatingButton) {
        const platform::MsgAnswer answer = platform::services().messages->show(
            this, prefstexts::buttonInCreation(lang).text, prefstexts::buttonInCreation(lang).title,
            platform::MsgIcon::Question, platform::MsgButtons::YesNo);
        if (answer == platform::MsgAnswer::Yes) {
            cmdCreateButton_Click();
            SaveOnClose = true;
            ValidateButtons();
            done(QDialog::Accepted);
        } else {
            DiscardOnClose = true;
            done(QDialog::Rejected);
        }
        return;
    }

    SaveOnClose = true;
    ValidateButtons();
    done(QDialog::Accepted);
}

bool frmPrefs::ValidateButtons()
{
    if (const auto missing = m_set.firstMissing(IconPathRequired)) {
        message(this, prefstexts::buttonLacksData(missing->entry, missing->field, CurrentLang),
                platform::MsgIcon::Critical);
        SaveOnClose = false;
        return false;
    }
    if (SaveOnClose)
        CreatingButton = false;
    return true;
}

bool frmPrefs::WriteConfigFile()
{
    platform::Services& sys = platform::services();
    const int lang = CurrentLang;

    applyPositionRule(ui->txtPosX, ui->HScroll1, true);
    applyPositionRule(ui->txtPosY, ui->HScroll2, false);
    sys.events->doEvents();

    configfile::Config config;
    config.x = ui->txtPosX->text().toInt();
    config.y = ui->txtPosY->text().toInt();

    // The tips setting is not part of the file; a settings store that can't keep it blocks nothing.
    settings::saveInfosToolTip(ui->chkToolTip->isChecked() ? 0 : 1);

    // A start with the session that cannot be set does not keep the rest from being saved: it is
    // told once the file is written. The file keeps the user's choice, tried again at the next save.
    QString why;
    QString autostartWhy;
    config.autoLaunch = CfgAutoLaunch == True ? True : False;
    const bool autostartSet = CfgAutoLaunch == True ? modRegEditRunDovi::EnableAutoLaunch(&autostartWhy)
                                                    : modRegEditRunDovi::DisableAutoLaunch(&autostartWhy);

    CfgOnTop = config.onTop = flag(ui->chkWinPosOaver->isChecked());
    CfgIconMove = config.iconMove = flag(ui->chkActiveIconMoving->isChecked());
    CfgToolTip = config.toolTip = flag(ui->chkActiveToolTipText->isChecked());
    CfgExtractIcon = config.extractIcon = flag(ui->chkExtractIcon->isChecked());
    config.graphicMode = flag(CfgGraphicMode == True);
    config.align = CfgAlign == Horizontal ? Horizontal : Vertical;

    txtMovingIconValue_LostFocus();
    config.iconMovingValue = static_cast<qint16>(ui->txtMovingIconValue->text().toInt());
    config.maskColor = m_maskColour;
    config.skinUp = ui->txtButtonUp->text();
    config.skinDown = ui->txtButtonDown->text();
    config.skinMask = ui->txtImgMask->text();
    config.entries = m_set.buttonLines(ButtonsChanged);

    // The start with the session goes back to what the file still says, so the two agree whether
    // the user tries again or cancels.
    const auto notSaved = [&](const QString& reason) {
        if (m_openingOptions.value(0) == True)
            modRegEditRunDovi::EnableAutoLaunch();
        else
            modRegEditRunDovi::DisableAutoLaunch();
        message(this, prefstexts::configNotWritten(reason, lang), platform::MsgIcon::Critical);
        return false;
    };

    // A first launch in a folder that still holds a configuration (its settings were lost) starts
    // from the defaults: the buttons of before are kept beside the new file, not written over, and
    // without that copy not written over at all.
    if (FirstRun && QFileInfo::exists(frmMain::configPath())) {
        const QString kept =
            QDir(sys.app->programFolder()).filePath(QString::fromLatin1(configfile::KeptFileName));
        QFile::remove(kept);
        QFile found(frmMain::configPath());
        if (!found.copy(kept))
            return notSaved(QDir::toNativeSeparators(kept) + QStringLiteral(": ") + found.errorString());
    }
    if (!configfile::write(sys.app->programFolder(), configfile::format(config), &why))
        return notSaved(why);
    if (!autostartSet)
        message(this, prefstexts::autostartNotWritten(autostartWhy, lang), platform::MsgIcon::Warning);
    return true;
}

void frmPrefs::chkAutoLaunch_Click()
{
    CfgAutoLaunch = flag(ui->chkAutoLaunch->isChecked());
}

void frmPrefs::Option1_Click(int index)
{
    if (index == 0)
        CfgGraphicMode = True;
    else if (index == 1)
        CfgGraphicMode = False;
}

void frmPrefs::Option2_Click(int index)
{
    if (index == 0)
        CfgAlign = Horizontal;
    else if (index == 1)
        CfgAlign = Vertical;
}

void frmPrefs::HScroll1_Change(int value)
{
    ui->Label9->setText(QString::number(value));
    ui->txtPosX->setText(QString::number(value));
    m_bar.setLeft(value * static_cast<double>(platform::services().screen->twipsPerPixelX()));
}

void frmPrefs::HScroll2_Change(int value)
{
    ui->Label10->setText(QString::number(value));
    ui->txtPosY->setText(QString::number(value));
    m_bar.setTop(value * static_cast<double>(platform::services().screen->twipsPerPixelY()));
}

void frmPrefs::txtPosX_Validate()
{
    applyPositionRule(ui->txtPosX, ui->HScroll1, true);
}

void frmPrefs::txtPosY_Validate()
{
    applyPositionRule(ui->txtPosY, ui->HScroll2, false);
}

void frmPrefs::applyPositionRule(QLineEdit* text, QScrollBar* slider, bool horizontal)
{
    const prefsposition::Outcome outcome = prefsposition::apply(text->text(), slider->maximum());
    // A different value runs the slider's change handler, which moves the bar.
    slider->setValue(outcome.value);
    // The file holds whole pixels: a typed fraction or a non-number never stays in the field.
    text->setText(outcome.text);
    const platform::ScreenMetrics& screen = *platform::services().screen;
    if (horizontal)
        m_bar.setLeft(outcome.value * static_cast<double>(screen.twipsPerPixelX()));
    else
        m_bar.setTop(outcome.value * static_cast<double>(screen.twipsPerPixelY()));
}

void frmPrefs::txtMovingIconValue_LostFocus()
{
    const QString text = ui->txtMovingIconValue->text();
    if (text.isEmpty())
        ui->txtMovingIconValue->setText(QStringLiteral("0"));
    else if (text.toInt() > MaxIconMovingValue)
        ui->txtMovingIconValue->setText(QString::number(MaxIconMovingValue));
    else if (text.size() > 1 && text.startsWith(QLatin1Char('0')))
        ui->txtMovingIconValue->setText(QString::number(text.toInt()));
}

bool frmPrefs::eventFilter(QObject* watched, QEvent* event)
{
    // Closing takes the focus from the field that has it: what it holds was saved or discarded already.
    if (event->type() == QEvent::FocusOut && !m_closed) {
        if (watched == ui->txtPosX)
            txtPosX_Validate();
        else if (watched == ui->txtPosY)
            txtPosY_Validate();
        else if (watched == ui->txtMovingIconValue)
            txtMovingIconValue_LostFocus();
        else if (watched == ui->txtButtonTitle)
            txtButtonTitle_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void frmPrefs::setMaskColour(quint32 colour)
{
    m_maskColour = colour;
    QPalette palette = ui->Picture2->palette();
    palette.setColor(QPalette::Window, colourOf(colour));
    ui->Picture2->setPalette(palette);
}

int frmPrefs::selectedEntry() const
{
    return ui->List1->currentRow() + 1;
}

bool frmPrefs::selectedIsMarked() const
{
    const int n = selectedEntry();
    return !CreatingButton && m_set.contains(n) && m_set.entry(n).deleted;
}

void frmPrefs::showTip(qint16 tip)
{
    if (settings::InfosToolTip() == 0)
        m_bar.ShowInfos(tip);
}

void frmPrefs::updateDeleteButton()
{
    // The last remaining button can't be deleted.
    if (m_set.liveCount() == 1)
        ui->cmdDel->setEnabled(false);
}

void frmPrefs::List1_Click()
{
    txtButtonTitle_LostFocus();
    const int row = ui->List1->currentRow();
    if (row < 0)
        return;
    const int n = row + 1;
    SelectedButton = n;
    if (CreatingButton) {
        CreatingButton = false;
        ui->cmdCreateButton->setEnabled(false);
        ui->cmdAdd->setEnabled(true);
        ui->cmdDel->setEnabled(true);
    }
    if (!m_set.contains(n))
        return;
    const PrefsEntry& entry = m_set.entry(n);
    ui->txtAppPath->setText(entry.program);
    ui->txtButtonTitle->setText(entry.title);
    ui->txtIconPath->setText(entry.icon);

    const int state = m_bar.Command1().at(n) ? m_bar.Command1().get(n, ButtonDispId::OpenWindowsStyle).toInt()
                                             : entry.state;
    if (state >= 1 && state <= 3 && state - 1 < ui->List3->count()) {
        const QSignalBlocker quiet(ui->List3);
        ui->List3->setCurrentRow(state - 1);
    }

    const bool marked = prefstexts::isMarkedRow(ui->List1->item(row)->text(), n, entry.title);
    ui->cmdDel->setEnabled(!marked);
    ui->cmdUndoSuppr->setEnabled(marked);
    ui->cmdAdd->setEnabled(!marked);
    ui->txtAppPath->setEnabled(!marked);
    ui->txtButtonTitle->setEnabled(!marked);
    // While icons are extracted from the targets the icon path stays off, as the check box set it.
    ui->txtIconPath->setEnabled(!marked && !ui->chkExtractIcon->isChecked());
    // The browse buttons go with their fields: off for a marked entry, on again for any other.
    ui->Command2_0->setEnabled(!marked);
    ui->Command2_1->setEnabled(!marked && !ui->chkExtractIcon->isChecked());
    updateDeleteButton();
    TitleEdited = false;
}

void frmPrefs::cmdAdd_Click()
{
    txtButtonTitle_LostFocus();
    CreatingButton = true;
    TitleEdited = false;
    // The state list shows what the new button will get: a normal window, until one is chosen.
    m_creationState.reset();
    if (ui->List3->count() > 0) {
        const QSignalBlocker quiet(ui->List3);
        ui->List3->setCurrentRow(0);
    }
    ui->txtAppPath->clear();
    ui->txtButtonTitle->clear();
    ui->txtIconPath->clear();
    ui->cmdDel->setEnabled(false);
    ui->cmdCreateButton->setEnabled(true);
    ui->cmdAdd->setEnabled(false);
    showTip(0);
}

void frmPrefs::cmdCreateButton_Click()
{
    PrefsEntry entry;
    entry.title = ui->txtButtonTitle->text();
    entry.program = ui->txtAppPath->text();
    entry.icon = ui->txtIconPath->text();
    const int n = m_set.count() + 1;

    // The bar gets the button at once, hidden until the bar is laid out again after OK.
    host::ControlArray& buttons = m_bar.Command1();
    if (buttons.at(n))
        buttons.unload(n);
    if (buttons.load(n)) {
        m_createdElements.append(n);
        buttons.put(n, ButtonDispId::Button_Title, entry.title);
        buttons.put(n, ButtonDispId::Programme, entry.program);
        buttons.put(n, ButtonDispId::Icone, entry.icon);
        buttons.at(n)->extender().setVisible(false);
        if (m_creationState)
            buttons.put(n, ButtonDispId::OpenWindowsStyle, *m_creationState);
        const int state = buttons.get(n, ButtonDispId::OpenWindowsStyle).toInt();
        if (state >= 1 && state <= 3)
            entry.state = state;
    } else if (m_creationState) {
        entry.state = *m_creationState;
    }
    m_creationState.reset();
    m_set.add(entry);
    ui->List1->addItem(prefstexts::listRow(n, entry.title));
    refillOrderList(0);

    ui->cmdAdd->setEnabled(true);
    ui->cmdCreateButton->setEnabled(false);
    ui->cmdDel->setEnabled(true);
    // Now there is something to save.
    ui->cmdOK->setEnabled(true);

    ValidateButtons();
    // The fields go on with the new button: the next edits are stored into it, and a second Create
    // can't add the same button twice.
    CreatingButton = false;
    TitleEdited = false;
    ui->List1->setCurrentRow(n - 1);

    showTip(1);
    SetupDone = true;
}

void frmPrefs::cmdDel_Click()
{
    const int row = ui->List1->currentRow();
    if (row < 0)
        return;
    txtButtonTitle_LostFocus();
    const int n = row + 1;
    if (!m_set.contains(n))
        return;
    ui->List1->item(row)->setText(prefstexts::markedRow(n, m_set.entry(n).title, CurrentLang));
    m_set.markDeleted(n);
    ButtonsChanged = true;
    ui->cmdDel->setEnabled(false);
    ui->cmdUndoSuppr->setEnabled(true);
    ui->txtAppPath->setEnabled(false);
    ui->txtButtonTitle->setEnabled(false);
    ui->txtIconPath->setEnabled(false);
    ui->Command2_0->setEnabled(false);
    ui->Command2_1->setEnabled(false);
    ui->cmdAdd->setEnabled(false);
    // Only this entry's own row leaves the order list, whatever the other titles are.
    refillOrderList(0);
    showTip(2);
}

void frmPrefs::cmdUndoSuppr_Click()
{
    const int row = ui->List1->currentRow();
    if (row < 0)
        return;
    const int n = row + 1;
    if (!m_set.contains(n))
        return;
    ui->List1->item(row)->setText(prefstexts::listRow(n, m_set.entry(n).title));
    m_set.undoDelete(n);
    ui->cmdDel->setEnabled(true);
    ui->cmdUndoSuppr->setEnabled(false);
    ui->txtAppPath->setEnabled(true);
    ui->txtButtonTitle->setEnabled(true);
    ui->txtIconPath->setEnabled(!ui->chkExtractIcon->isChecked());
    ui->Command2_0->setEnabled(true);
    ui->Command2_1->setEnabled(!ui->chkExtractIcon->isChecked());
    ui->cmdAdd->setEnabled(true);
    updateDeleteButton();
    refillOrderList(0);
    ButtonsChanged = true;
}

void frmPrefs::txtAppPath_Change()
{
    if (CreatingButton)
        return;
    m_set.setProgram(selectedEntry(), ui->txtAppPath->text());
}

void frmPrefs::txtIconPath_Change()
{
    if (CreatingButton)
        return;
    m_set.setIcon(selectedEntry(), ui->txtIconPath->text());
}

void frmPrefs::txtButtonTitle_KeyPress()
{
    // A title typed for a button in creation is taken by Create, not committed to another entry.
    if (CreatingButton)
        return;
    TitleEdited = true;
    EditedButton = SelectedButton;
}

void frmPrefs::txtButtonTitle_LostFocus()
{
    if (CreatingButton || !TitleEdited)
        return;
    TitleEdited = false;
    if (!m_set.contains(EditedButton))
        return;
    m_set.setTitle(EditedButton, ui->txtButtonTitle->text());
    // The order row of that entry, and only it, shows the new title.
    if (!LoadingPrefs)
        refillOrderList(0);
}

void frmPrefs::List3_Click()
{
    const int row = ui->List3->currentRow();
    if (row < 0)
        return;
    const int state = row + 1;
    // While a button is being created, the state chosen is the new button's, not the one of the
    // row still selected in the list.
    if (CreatingButton) {
        m_creationState = state;
        return;
    }
    if (!m_set.contains(SelectedButton))
        return;
    if (m_bar.Command1().at(SelectedButton))
        m_bar.Command1().put(SelectedButton, ButtonDispId::OpenWindowsStyle, state);
    m_set.setState(SelectedButton, state);
}

void frmPrefs::chkExtractIcon_Click()
{
    const bool extract = ui->chkExtractIcon->isChecked();
    // The icon of an entry marked for deletion stays out of reach, as its other fields.
    const bool marked = selectedIsMarked();
    ui->chkActiveIconMoving->setEnabled(!extract);
    ui->txtIconPath->setEnabled(!extract && !marked);
    ui->Command2_1->setEnabled(!extract && !marked);
    ui->txtMovingIconValue->setEnabled(!extract);
    CfgExtractIcon = flag(extract);
    IconPathRequired = !extract;
}

void frmPrefs::refillOrderList(int selectEntry)
{
    // selectEntry 0 keeps the entry that is selected now, when it is still listed.
    if (selectEntry == 0 && ui->List2->currentItem())
        selectEntry = ui->List2->currentItem()->data(Qt::UserRole).toInt();
    {
        const QSignalBlocker quiet(ui->List2);
        ui->List2->clear();
        for (const int n : m_set.order()) {
            auto* row = new QListWidgetItem(m_set.entry(n).title, ui->List2);
            row->setData(Qt::UserRole, n);
        }
    }
    const int row = m_set.orderRowOf(selectEntry);
    ui->List2->setCurrentRow(row >= 0 ? row : 0);
    List2_Click();
}

void frmPrefs::List2_Click()
{
    const QListWidgetItem* row = ui->List2->currentItem();
    SelectedOrderTitle = row ? row->text() : QString();
}

void frmPrefs::cmdUp_Click()
{
    const int r = ui->List2->currentRow();
    if (r <= 0 || !m_set.moveUp(r))
        return;
    refillOrderList(m_set.order().at(r - 1));
    ButtonsChanged = true;
}

void frmPrefs::cmdDown_Click()
{
    const int r = ui->List2->currentRow();
    if (r < 0 || !m_set.moveDown(r))
        return;
    refillOrderList(m_set.order().at(r + 1));
    ButtonsChanged = true;
}

void frmPrefs::chooseFile(prefstexts::ChooserKind kind, QLineEdit* field)
{
    const prefstexts::Chooser chooser = prefstexts::chooser(kind, CurrentLang);
    const std::optional<QString> path =
        platform::services().dialogs->openFile(this, chooser.title, chooser.filter);
    if (!path)
        return;
    const QString text = QDir::toNativeSeparators(*path);
    // What a field refuses typed it refuses chosen too: a ";" would split the button's line, a line
    // break the file's lines.
    if (const QValidator* validator = field->validator()) {
        QString checked = text;
        int position = 0;
        if (validator->validate(checked, position) != QValidator::Acceptable) {
            message(this, prefstexts::refusedPath(text, CurrentLang), platform::MsgIcon::Warning);
            return;
        }
    }
    field->setText(text);
}

void frmPrefs::Command1_Click(int index)
{
    if (index == 0)
        chooseFile(prefstexts::ChooserKind::ButtonDown, ui->txtButtonDown);
    else if (index == 1)
        chooseFile(prefstexts::ChooserKind::ButtonUp, ui->txtButtonUp);
}

void frmPrefs::Command2_Click(int index)
{
    if (index == 0)
        chooseFile(prefstexts::ChooserKind::Program, ui->txtAppPath);
    else if (index == 1)
        chooseFile(prefstexts::ChooserKind::Icon, ui->txtIconPath);
}

void frmPrefs::Command4_Click()
{
    chooseFile(prefstexts::ChooserKind::Mask, ui->txtImgMask);
}

void frmPrefs::Command3_Click()
{
    const prefstexts::Chooser chooser = prefstexts::chooser(prefstexts::ChooserKind::MaskColour, CurrentLang);
    const std::optional<quint32> colour = platform::services().dialogs->chooseColor(this, chooser.title);
    if (!colour)
        return;
    setMaskColour(*colour);
    CfgMaskColor = QString::number(*colour);
}
