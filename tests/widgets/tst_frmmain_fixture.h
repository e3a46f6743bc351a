#pragma once

// What the bar's widget tests share: a program folder of their own with the control libraries in it,
// skins and configuration files written on the spot, and answers to the modal dialogs the bar opens.
#include "bar/configfile.h"
#include "bar/moddeclarepublic.h"
#include "platform/testing/doubles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace barfixture {

// A temporary program folder. The control libraries are linked in from the build's program folder,
// because the host loads them from the program folder.
class ProgramFolder {
public:
    ProgramFolder()
    {
        const QDir bin(QStringLiteral(DOVI_TEST_BIN_DIR));
        for (const char* name : {"libDoviButton.so", "libVistelPerso.so"}) {
            const QString library = QString::fromLatin1(name);
            m_ok = m_ok && QFile::link(bin.filePath(library), file(library));
        }
    }
    bool ok() const { return m_ok && m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    bool m_ok = true;
};

// A one-colour skin bitmap of the given size, with the corners of the mask colour when maskColour is
// valid.
inline QString saveSkin(const QString& path, QSize size, const QColor& colour,
                        const QColor& maskColour = QColor())
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    if (maskColour.isValid()) {
        for (const QPoint& corner : {QPoint(0, 0), QPoint(size.width() - 1, 0), QPoint(0, size.height() - 1),
                                     QPoint(size.width() - 1, size.height() - 1)})
            image.setPixelColor(corner, maskColour);
    }
    return image.save(path, "BMP") ? path : QString();
}

// The lines of a configuration file: position, the twelve settings, then the button lines.
struct ConfigText {
    QString position = QStringLiteral("0 0");
    QString onTop = QStringLiteral("FALSE");
    QString toolTip = QStringLiteral("TRUE");
    QString graphicMode = QStringLiteral("TRUE");
    QString align = QStringLiteral("HORIZONTAL");
    QString iconMoving = QStringLiteral("2");
    QString maskColour = QStringLiteral("16744703");
    QString up, down, mask;
    QStringList buttons; // program;icon;title;state

    QStringList lines() const
    {
        QStringList all{position,    QStringLiteral("FALSE"),
                        onTop,       QStringLiteral("TRUE"),
                        toolTip,     QStringLiteral("FALSE"),
                        graphicMode, align,
                        iconMoving,  maskColour,
                        up,          down,
                        mask};
        all << buttons;
        return all;
    }
};

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeConfig(const QString& folder, const ConfigText& config)
{
    return configfile::write(folder, config.lines());
}

// Calls action on the first modal dialog that opens, once it is up; it is meant to close the dialog.
// The dialog's objectName must be expected; another dialog fails the test (and is closed).
class ModalAnswer : public QObject {
public:
    ModalAnswer(const QString& expected, std::function<void(QWidget*)> action)
        : m_expected(expected), m_action(std::move(action))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start(10);
    }
    bool answered() const { return m_answered; }
    QString seen() const { return m_seen; }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        m_timer.stop();
        m_seen = modal->objectName();
        if (m_seen != m_expected) {
            modal->close();
            return;
        }
        m_answered = true;
        m_action(modal);
    }

    QString m_expected;
    std::function<void(QWidget*)> m_action;
    QTimer m_timer;
    bool m_answered = false;
    QString m_seen;
};

// Answers a chain of modal dialogs in order.
class ModalScript {
public:
    void then(const QString& expected, std::function<void(QWidget*)> action)
    {
        m_steps.push_back({expected, std::move(action)});
        if (m_steps.size() == 1)
            next();
    }
    // Names of the dialogs seen, in order.
    QStringList seen() const { return m_seen; }
    bool done() const { return m_current >= static_cast<int>(m_steps.size()); }

private:
    struct Step {
        QString expected;
        std::function<void(QWidget*)> action;
    };
    void next()
    {
        if (done())
            return;
        const Step& step = m_steps.at(static_cast<size_t>(m_current));
        m_answer =
            std::make_unique<ModalAnswer>(step.expected, [this, action = step.action](QWidget* dialog) {
                m_seen << dialog->objectName();
                ++m_current;
                action(dialog);
                // Tied to the script: a step still queued when a test ends must not run in the next one.
                QTimer::singleShot(0, &m_context, [this] { next(); });
            });
    }

    QObject m_context;
    std::vector<Step> m_steps;
    std::unique_ptr<ModalAnswer> m_answer;
    int m_current = 0;
    QStringList m_seen;
};

inline QString settingKey(const char* section, const char* key)
{
    return QStringLiteral("Dovi/%1/%2").arg(QString::fromLatin1(section), QString::fromLatin1(key));
}

} // namespace barfixture
