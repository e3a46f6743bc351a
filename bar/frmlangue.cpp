#include "bar/frmlangue.h"

#include "bar/mnemonics.h"
#include "bar/moddeclarepublic.h"
#include "bar/resstrings.h"
#include "bar/settings.h"
#include "ui_frmlangue.h"

using namespace modDeclarePublic;

frmLangue::frmLangue(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmLangue>())
{
    ui->setupUi(this);
    // Checked however it was chosen: a click, the arrow keys, or an accessibility action, which
    // toggles the option without clicking it.
    for (const int index : {0, 1}) {
        connect(Option1(index), &QRadioButton::toggled, this, [this, index](bool checked) {
            if (checked)
                Option1_Click(index);
        });
    }
    connect(ui->Command1, &QPushButton::clicked, this, &frmLangue::Command1_Click);
    Form_Load();
}

frmLangue::~frmLangue() = default;

QRadioButton* frmLangue::Option1(int index) const
{
    return index == 0 ? ui->Option1_0 : ui->Option1_1;
}

QPushButton* frmLangue::Command1() const
{
    return ui->Command1;
}

QLabel* frmLangue::Image1() const
{
    return ui->Image1;
}

QLabel* frmLangue::Image2() const
{
    return ui->Image2;
}

QIcon frmLangue::flagIcon(int id)
{
    QIcon icon;
    for (const int size : {32, 16})
        icon.addFile(QStringLiteral(":/flags/%1_%2.png").arg(id).arg(size), QSize(size, size));
    return icon;
}

void frmLangue::Form_Load()
{
    // A stored value other than 0 or 1 picks English, as every text choice does. Settings that could
    // not keep the language chosen from the menu would show the other one: the session's is shown.
    const int current = !LangFirstChoice && !settings::storeKeeps() ? CurrentLang : settings::Lang();
    m_chosen = current == 0 ? 0 : 1;
    Option1(m_chosen)->setChecked(true);
    // The keyboard starts on the language in force.
    Option1(m_chosen)->setFocus();
    // At their own size, not stretched.
    ui->Image1->setPixmap(flagIcon(101).pixmap(32, 32));
    ui->Image2->setPixmap(flagIcon(102).pixmap(32, 32));
    ui->Image1->setFixedSize(32, 32);
    ui->Image2->setFixedSize(32, 32);
    setWindowIcon(flagIcon(m_chosen == 0 ? 101 : 102));
    mnemonics::assignTo(this);
}

void frmLangue::Option1_Click(int index)
{
    if (index == 0 || index == 1)
        m_chosen = static_cast<qint16>(index);
}

void frmLangue::Command1_Click()
{
    settings::saveLang(m_chosen);
    settings::saveFirstLaunch(1);
    // The choice counts for this session also when the settings cannot keep it.
    CurrentLang = m_chosen;
    resstrings::useToolkitLanguage(CurrentLang);
    accept();
}
