#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmAbout;
}

// The about box: name and version, the licence line, the licence and information texts that lie
// beside the program, the project's mail and web links and the system information tool.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
    ~frmAbout() override;

    // The project's mail and web addresses, as the two link buttons open them.
    static QString authorMail();
    static QString authorSite();

    // "Version " and the program's major, minor and revision numbers.
    static QString versionText();
    // A text file read line by line (CR LF, LF or CR ends), lines joined by CR LF with none after the
    // last one; empty when the file is missing or cannot be read.
    static QString readTextFile(const QString& path);

private Q_SLOTS:
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void Command1_Click();
    void Command2_Click();

private:
    void layoutInTwips();
    void fitButtons();
    void Form_Load();
    void StartSysInfo();
    // The system information tool's full path in keyValue; false, with an empty text, when there is none.
    static bool GetKeyValue(QString& keyValue);

    std::unique_ptr<Ui::frmAbout> ui;
};
