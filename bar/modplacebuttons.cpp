#include "bar/modplacebuttons.h"

#include "bar/configfile.h"
#include "bar/frmmain.h"
#include "bar/moddeclarepublic.h"
#include "button/dispids.h"
#include "platform/services.h"

#include <QDir>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

using namespace modDeclarePublic;

namespace modPlaceButtons {

namespace {

const QString True = QStringLiteral("TRUE");
const QString Vertical = QStringLiteral("VERTICAL");
const QString Horizontal = QStringLiteral("HORIZONTAL");

QRectF rectOf(const host::Control& control)
{
    const host::Extender& e = control.extender();
    return {e.Left(), e.Top(), e.Width(), e.Height()};
}

// What went wrong while the buttons were set up, each file once.
class Problems {
public:
    void add(const host::DispResult& result, const QString& file = QString())
    {
        if (result.ok)
            return;
        const QString key = file.isEmpty() ? result.error : file;
        if (m_seen.contains(key))
            return;
        m_seen << key;
        // The button's own text usually names the file already.
        const QString name = QDir::toNativeSeparators(file);
        if (file.isEmpty() || result.error.contains(file) || result.error.contains(name))
            m_lines << result.error;
        else if (result.error.isEmpty())
            m_lines << name;
        else
            m_lines << QStringLiteral("%1 (%2)").arg(name, result.error);
    }
    // An icon file the button shows but could not read: the button tells of a missing file itself
    // and drops any other error. Told once a session for each file (told holds those told already):
    // an icon path naming a program, as files written elsewhere often have, would otherwise be told
    // at every start, reload and save.
    void addIcon(const QString& file, bool shown, QSet<QString>& told)
    {
        if (!shown || file.isEmpty() || m_seen.contains(file) || told.contains(file))
            return;
        const platform::LoadedPicture picture = platform::services().pictures->load(file);
        if (picture.ok() || picture.status == platform::LoadedPicture::Status::NotFound)
            return;
        m_seen << file;
        told.insert(file);
        const QString why = CurrentLang == 0 ? QStringLiteral("illisible") : QStringLiteral("cannot be read");
        m_lines << QStringLiteral("%1 (%2)").arg(QDir::toNativeSeparators(file), why);
    }
    void report(QWidget* parent) const
    {
        if (m_lines.isEmpty())
            return;
        const QString head = CurrentLang == 0 ? QStringLiteral("Dovi n'a pas pu charger ces fichiers :")
                                              : QStringLiteral("Dovi could not load these files:");
        platform::services().messages->show(
            parent, head + QStringLiteral("\r\n") + m_lines.join(QStringLiteral("\r\n")),
            frmMain::versionTitle(), platform::MsgIcon::Warning);
    }

private:
    QStringList m_seen;
    QStringList m_lines;
};

// While the buttons are laid out, the boxes a button would show are held back and each different
// one is shown once afterwards: a bar of buttons with the same missing icon would otherwise stop
// for a box per button. Questions cannot wait for an answer and go through at once.
class HeldMessages final : public platform::MessageBoxes {
public:
    struct Held {
        QPointer<QWidget> parent;
        QString text;
        QString title;
        platform::MsgIcon icon;
    };

    explicit HeldMessages(platform::MessageBoxes& shown) : m_shown(shown) {}

    platform::MsgAnswer show(QWidget* parent, const QString& text, const QString& title,
                             platform::MsgIcon icon, platform::MsgButtons buttons) override
    {
        if (buttons != platform::MsgButtons::Ok)
            return m_shown.show(parent, text, title, icon, buttons);
        const bool known = std::any_of(m_held.cbegin(), m_held.cend(), [&](const Held& held) {
            return held.text == text && held.title == title && held.icon == icon;
        });
        if (!known)
            m_held.push_back({parent, text, title, icon});
        return platform::MsgAnswer::Ok;
    }

    std::vector<Held> take() { return std::exchange(m_held, {}); }

private:
    platform::MessageBoxes& m_shown;
    std::vector<Held> m_held;
};

class HoldMessages {
public:
    HoldMessages() : m_real(std::move(platform::services().messages))
    {
        auto held = std::make_unique<HeldMessages>(*m_real);
        m_held = held.get();
        platform::services().messages = std::move(held);
    }
    HoldMessages(const HoldMessages&) = delete;
    HoldMessages& operator=(const HoldMessages&) = delete;

    // Puts the real boxes back and shows what was held, each once.
    ~HoldMessages()
    {
        const std::vector<HeldMessages::Held> held = m_held->take();
        platform::services().messages = std::move(m_real);
        for (const HeldMessages::Held& message : held)
            platform::services().messages->show(message.parent, message.text, message.title, message.icon,
                                                platform::MsgButtons::Ok);
    }

private:
    std::unique_ptr<platform::MessageBoxes> m_real;
    HeldMessages* m_held = nullptr;
};

// The bar is not drawn while its buttons are replaced: each button lets events run while it is
// set up, and the bar would otherwise be drawn again for every button added, half laid out.
class HoldDrawing {
public:
    explicit HoldDrawing(QWidget& bar) : m_bar(&bar), m_held(bar.updatesEnabled())
    {
        if (m_held)
            bar.setUpdatesEnabled(false);
    }
    HoldDrawing(const HoldDrawing&) = delete;
    HoldDrawing& operator=(const HoldDrawing&) = delete;
    ~HoldDrawing()
    {
        if (m_held && m_bar)
            m_bar->setUpdatesEnabled(true);
    }

private:
    QPointer<QWidget> m_bar;
    bool m_held;
};

} // namespace

QPointF nextPosition(const QString& align, int n, const QRectF& previous)
{
    if (n <= 1)
        return {0, 0};
    if (align == Vertical)
        return {0, previous.top() + previous.height()};
    if (align == Horizontal)
        return {previous.left() + previous.width(), 0};
    return {0, 0};
}

QSizeF barSize(const QString& align, const QRectF& first, const QRectF& last)
{
    if (align == Vertical)
        return {first.width(), last.top() + last.height()};
    return {last.left() + last.width(), first.height()};
}

QList<QRectF> chain(const QString& align, const QList<QSizeF>& sizes)
{
    QList<QRectF> rects;
    for (int i = 0; i < sizes.size(); ++i) {
        const QRectF previous = rects.isEmpty() ? QRectF() : rects.constLast();
        rects << QRectF(nextPosition(align, i + 1, previous), sizes.at(i));
    }
    return rects;
}

void SizeBar(frmMain& bar)
{
    host::ControlArray& buttons = bar.Command1();
    const host::Control* first = buttons.at(1);
    const host::Control* last = buttons.at(buttons.ubound());
    // Without buttons the bar keeps the template's size, so a right click on it still reaches the menu.
    if (!first)
        first = last = buttons.at(0);
    if (!first)
        return;
    const QSizeF size = barSize(CfgAlign, rectOf(*first), rectOf(*last));
    bar.setWidth(size.width());
    bar.setHeight(size.height());
}

QPoint reachablePosition(const QRect& bar, const QList<QRect>& screens)
{
    const auto onScreen = [&bar](const QRect& screen) { return screen.intersects(bar); };
    if (screens.isEmpty() || std::any_of(screens.cbegin(), screens.cend(), onScreen))
        return bar.topLeft();
    const QRect& screen = screens.first();
    // A bar larger than the screen keeps its first corner on it, where its menu is reached.
    return {std::clamp(bar.x(), screen.left(), std::max(screen.left(), screen.right() + 1 - bar.width())),
            std::clamp(bar.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - bar.height()))};
}

QRect screenHolding(const QRect& bar, const QList<QRect>& screens)
{
    QRect holding = screens.value(0);
    qint64 most = 0;
    for (const QRect& screen : screens) {
        const QRect common = screen.intersected(bar);
        const qint64 covered = qint64(common.width()) * common.height();
        if (covered > most) {
            most = covered;
            holding = screen;
        }
    }
    return holding;
}

namespace {

// A position from a file written for another screen, or typed by hand, would put the bar where
// nobody can reach its menu to move it back: this session shows it on a screen; the file is kept.
void keepReachable(frmMain& bar)
{
    const platform::ScreenMetrics& screen = *platform::services().screen;
    const int tppX = screen.twipsPerPixelX();
    const int tppY = screen.twipsPerPixelY();
    const QRect where(QPoint(static_cast<int>(std::lround(bar.Left() / tppX)),
                             static_cast<int>(std::lround(bar.Top() / tppY))),
                      bar.size());
    const QPoint reachable = reachablePosition(where, screen.screensPixels());
    if (reachable == where.topLeft())
        return;
    bar.setLeft(reachable.x() * static_cast<double>(tppX));
    bar.setTop(reachable.y() * static_cast<double>(tppY));
}

bool placeOnce(frmMain& bar, const QString& path, QString* error)
{
    // The whole file is read before anything is removed: a file that cannot be read keeps the bar.
    const configfile::ReadResult result = configfile::read(path);
    if (!result.ok()) {
        if (error)
            *error = result.error.message(CurrentLang);
        return false;
    }
    const configfile::Config& config = *result.config;

    Problems problems;
    QString why;
    if (!bar.ensureTemplate(&why)) {
        if (error)
            *error = why;
        return false;
    }
    host::ControlArray& buttons = bar.Command1();
    {
        const HoldMessages holding;
        // Released first: the boxes held back show over a bar that is drawn again.
        const HoldDrawing drawing(bar);
        for (int index = buttons.ubound(); index >= 1; --index)
            buttons.unload(index);

        CfgAutoLaunch = config.autoLaunch;
        CfgOnTop = config.onTop;
        CfgIconMove = config.iconMove;
        CfgToolTip = config.toolTip;
        CfgExtractIcon = config.extractIcon;
        CfgGraphicMode = config.graphicMode;
        CfgAlign = config.align;
        CfgMaskColor = QString::number(config.maskColor);

        platform::Services& sys = platform::services();
        bar.setLeft(config.x * static_cast<double>(sys.screen->twipsPerPixelX()));
        bar.setTop(config.y * static_cast<double>(sys.screen->twipsPerPixelY()));
        sys.windows->setKeepAbove(&bar, CfgOnTop == True);

        // New buttons take their language from the template: what they report while their properties
        // are set, before their own Language, is in the bar's language.
        if (host::Control* model = buttons.at(0))
            model->putProperty(ButtonDispId::Language, static_cast<int>(CurrentLang));

        const auto mask = static_cast<quint32>(config.maskColor);
        // Every button asks for the same skins: the files are looked at once for the whole layout.
        const platform::PictureBatch batch(*sys.pictures);
        for (const configfile::ButtonEntry& entry : config.entries) {
            const int n = buttons.ubound() + 1;
            host::Control* button = buttons.load(n, &why);
            if (!button) {
                problems.add(host::DispResult::failure(why));
                break;
            }
            const host::Control* previous = buttons.at(n - 1);
            const QPointF at = nextPosition(CfgAlign, n, previous ? rectOf(*previous) : QRectF());
            button->extender().move(at.x(), at.y());

            problems.add(button->putProperty(ButtonDispId::PictureDown, config.skinDown), config.skinDown);
            problems.add(button->putProperty(ButtonDispId::PictureUp, config.skinUp), config.skinUp);
            problems.add(button->putProperty(ButtonDispId::ImageMask, config.skinMask), config.skinMask);
            problems.add(button->putProperty(ButtonDispId::MaskColor, mask));
            problems.add(button->putProperty(ButtonDispId::IconMove, CfgIconMove == True));

            problems.add(button->putProperty(ButtonDispId::Button_Title, entry.title));
            if (CfgToolTip == True)
                button->extender().setToolTipText(entry.title);
            problems.add(button->putProperty(ButtonDispId::ExtractIcon, CfgExtractIcon == True));
            problems.add(
                button->putProperty(ButtonDispId::IconMovingValue, static_cast<int>(config.iconMovingValue)));
            problems.add(button->putProperty(ButtonDispId::Programme, entry.program), entry.program);
            problems.add(button->putProperty(ButtonDispId::Icone, entry.icon), entry.icon);
            // The icon shows in picture mode, unless the target's own icon is drawn instead.
            problems.addIcon(entry.icon, CfgGraphicMode == True && CfgExtractIcon != True,
                             bar.layoutRun().iconsTold);
            problems.add(button->putProperty(ButtonDispId::OpenWindowsStyle, entry.state));
            problems.add(button->putProperty(ButtonDispId::TextModeTitle, entry.title));
            problems.add(button->putProperty(ButtonDispId::Language, static_cast<int>(CurrentLang)));
            button->extender().setVisible(true);
            problems.add(button->putProperty(ButtonDispId::GraphicMode, CfgGraphicMode == True));
        }
    }

    SizeBar(bar);
    keepReachable(bar);
    problems.report(&bar);
    return true;
}

} // namespace

bool PlaceButtons(frmMain& bar, const QString& path, QString* error)
{
    // The buttons let events run while they are set up, so a reload or a save of the preferences
    // may ask for a layout in the middle of this one. It would remove the very buttons being set
    // up: it runs once this one is over, and the bar ends as the last one asked for.
    frmMain::LayoutRun& run = bar.layoutRun();
    if (run.running) {
        run.again = path;
        return true;
    }
    run.running = true;
    bool placed = placeOnce(bar, path, error);
    while (!run.again.isEmpty()) {
        const QString next = std::exchange(run.again, QString());
        placed = placeOnce(bar, next, error);
    }
    run.running = false;
    return placed;
}

} // namespace modPlaceButtons
