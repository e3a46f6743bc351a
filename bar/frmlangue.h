#pragma once

#include <QDialog>
#include <QIcon>

#include <memory>

class QLabel;
class QPushButton;
class QRadioButton;

namespace Ui {
class frmLangue;
}

// The language chooser: French or English, stored for the next starts. It has no cancel; closing it
// by its frame stores nothing.
class frmLangue final : public QDialog {
    Q_OBJECT
public:
    explicit frmLangue(QWidget* parent = nullptr);
    ~frmLangue() override;

    // Option1(0) French, Option1(1) English.
    QRadioButton* Option1(int index) const;
    QPushButton* Command1() const;
    QLabel* Image1() const;
    QLabel* Image2() const;
    qint16 chosen() const { return m_chosen; }

    // The program's flag icons 101 (France) and 102 (United States), 32 x 32 and 16 x 16.
    static QIcon flagIcon(int id);

private Q_SLOTS:
    void Option1_Click(int index);
    void Command1_Click();

private:
    void Form_Load();

    std::unique_ptr<Ui::frmLangue> ui;
    qint16 m_chosen = 0;
};
