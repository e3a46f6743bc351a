#pragma once

// What the preferences tests share: a program folder with the control libraries and skins, a bar laid
// out from a configuration, and access to the dialog's controls by name.
#include "bar/frmmain.h"
#include "bar/frmprefs.h"
#include "bar/moddeclarepublic.h"
#include "bar/modplacebuttons.h"
#include "bar/settings.h"
#include "button/dispids.h"
#include "platform/testing/doubles.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace prefstest {

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

class Fixture {
public:
    // A program folder holding links to the control libraries and the three XP skins.
    bool makeFolder()
    {
        if (!m_root.isValid())
            return false;
        m_folder = m_root.filePath(QStringLiteral("program"));
        QDir().mkpath(m_folder + QStringLiteral("/Boutons/XP"));
        const QString bin = QStringLiteral(DOVI_TEST_BIN_DIR);
        for (const char* lib : {"libDoviButton.so", "libVistelPerso.so"}) {
            const QString name = QString::fromLatin1(lib);
            if (!QFile::link(bin + QLatin1Char('/') + name, m_folder + QLatin1Char('/') + name))
                return false;
        }
        QImage skin(40, 40, QImage::Format_RGB32);
        skin.fill(QColor(255, 128, 255));
        return skin.save(skinUp(), "BMP") && skin.save(skinDown(), "BMP") && skin.save(skinMask(), "BMP");
    }

    QString folder() const { return m_folder; }
    QString configPath() const { return m_folder + QStringLiteral("/DoviConfig.txt"); }
    QString skinUp() const { return m_folder + QStringLiteral("/Boutons/XP/XP_Up.bmp"); }
    QString skinDown() const { return m_folder + QStringLiteral("/Boutons/XP/XP_Down.bmp"); }
    QString skinMask() const { return m_folder + QStringLiteral("/Boutons/XP/XP_Mask.bmp"); }

    // The first thirteen lines of a configuration with the fixture's skins.
    QByteArray header(const QByteArray& position = "100 50", const QByteArray& autoLaunch = "FALSE") const
    {
        return position + "\r\n" + autoLaunch +
               "\r\nFALSE\r\nTRUE\r\nTRUE\r\nFALSE\r\nTRUE\r\nHORIZONTAL\r\n10\r\n" + "16744703\r\n" +
               skinUp().toUtf8() + "\r\n" + skinDown().toUtf8() + "\r\n" + skinMask().toUtf8() + "\r\n";
    }

    // New doubles, public state and bar; the bar laid out from the configuration when one is given.
    void start(const QByteArray& config)
    {
        prefs.reset();
        bar.reset();
        doubles.reset();
        doubles = std::make_unique<platform::testing::ScopedDoubles>(m_folder);
        settings::saveInfosToolTip(1); // no tips window unless a test asks for it
        modDeclarePublic::reset();
        QFile::remove(configPath());
        bar = std::make_unique<frmMain>();
        QVERIFY(bar->ensureTemplate());
        if (config.isEmpty()) {
            modDeclarePublic::FirstRun = true;
            modDeclarePublic::RunFileCreated = true;
            return;
        }
        QVERIFY(writeAll(configPath(), config));
        QString error;
        QVERIFY2(modPlaceButtons::PlaceButtons(*bar, configPath(), &error), qPrintable(error));
        doubles->messages->shown.clear();
    }

    frmPrefs& open(qint16 page = 0)
    {
        modDeclarePublic::PrefsPage = page;
        prefs = std::make_unique<frmPrefs>(*bar, bar.get());
        prefs->show();
        return *prefs;
    }

    void stop()
    {
        prefs.reset();
        bar.reset();
        doubles.reset();
        modDeclarePublic::reset();
    }

    template<typename T> T* w(const char* name) const
    {
        T* found = prefs->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qWarning("no control %s", name);
        return found;
    }
    QLineEdit* edit(const char* name) const { return w<QLineEdit>(name); }
    QListWidget* list(const char* name) const { return w<QListWidget>(name); }
    QAbstractButton* button(const char* name) const { return w<QAbstractButton>(name); }
    void click(const char* name) const { button(name)->click(); }

    // Typing into a field and leaving it, as the user does.
    void type(const char* name, const QString& text) const
    {
        QLineEdit* field = edit(name);
        field->selectAll();
        field->del();
        QTest::keyClicks(field, text);
        leave(name);
    }
    void leave(const char* name) const
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(edit(name), &out);
    }

    QStringList rows(const char* name) const
    {
        QStringList texts;
        const QListWidget* l = list(name);
        for (int r = 0; r < l->count(); ++r)
            texts << l->item(r)->text();
        return texts;
    }

    QStringList messageTitles() const
    {
        QStringList titles;
        for (const auto& m : std::as_const(doubles->messages->shown))
            titles << m.title;
        return titles;
    }

    // The button lines of the configuration file as it stands.
    QList<QByteArray> buttonLines() const
    {
        QList<QByteArray> lines = readAll(configPath()).split('\n');
        for (QByteArray& line : lines)
            line = line.trimmed();
        lines.removeAll(QByteArray());
        return lines.mid(13);
    }

    std::unique_ptr<platform::testing::ScopedDoubles> doubles;
    std::unique_ptr<frmMain> bar;
    std::unique_ptr<frmPrefs> prefs;

private:
    QTemporaryDir m_root;
    QString m_folder;
};

} // namespace prefstest
