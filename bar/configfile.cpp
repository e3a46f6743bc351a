#include "bar/configfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

namespace configfile {

namespace {

constexpr int SettingsLines = 13;
// A hand-edited file is small; anything this big is not a configuration and is refused before reading it.
constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;
constexpr qint64 ReadPieceBytes = 64 * 1024;

const QString True = QStringLiteral("TRUE");
const QString False = QStringLiteral("FALSE");
const QString Horizontal = QStringLiteral("HORIZONTAL");
const QString Vertical = QStringLiteral("VERTICAL");

// Windows-1252 code points of bytes 0x80 to 0x9F; the other bytes are the same as in Latin-1.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.append(byte >= 0x80 && byte <= 0x9F ? QChar(Cp1252High[byte - 0x80]) : QChar(byte));
    }
    return text;
}

bool isWholeNumber(const QString& text, bool allowSign)
{
    int start = 0;
    if (allowSign && text.startsWith(QLatin1Char('-')))
        start = 1;
    if (text.size() <= start)
        return false;
    for (int i = start; i < text.size(); ++i) {
        if (!text.at(i).isDigit() || text.at(i).unicode() > '9')
            return false;
    }
    return true;
}

std::optional<qint64> toNumber(const QString& text, qint64 min, qint64 max)
{
    const QString trimmed = text.trimmed();
    if (!isWholeNumber(trimmed, true) || trimmed.size() > 12)
        return std::nullopt;
    const qint64 value = trimmed.toLongLong();
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

ReadResult failure(const QString& file, int line, ReadProblem problem)
{
    ReadResult result;
    result.error = {file, line, problem};
    return result;
}

// "X Y": X is everything before the first space, Y everything after it, spaces around it ending
// nothing; without a space, or with nothing after it, Y is 0 ("120" is 120 0).
bool parsePosition(QString line, int& x, int& y)
{
    while (line.endsWith(QLatin1Char(' ')) || line.endsWith(QLatin1Char('\t')))
        line.chop(1);
    const int space = line.indexOf(QLatin1Char(' '));
    const auto px = toNumber(space < 0 ? line : line.left(space), -1000000, 1000000);
    const QString yText = space < 0 ? QString() : line.mid(space + 1).trimmed();
    const auto py = yText.isEmpty() ? std::optional<qint64>(0) : toNumber(yText, -1000000, 1000000);
    if (!px || !py)
        return false;
    x = static_cast<int>(*px);
    y = static_cast<int>(*py);
    return true;
}

// program;icon;title;state, where every character after the third ";" is a digit and the last one counts.
bool parseEntry(const QString& line, ButtonEntry& entry)
{
    entry = {};
    int field = 0;
    for (const QChar c : line) {
        if (field < 3 && c == QLatin1Char(';')) {
            ++field;
            continue;
        }
        switch (field) {
        case 0:
            entry.program.append(c);
            break;
        case 1:
            entry.icon.append(c);
            break;
        case 2:
            entry.title.append(c);
            break;
        default:
            if (c.unicode() < '0' || c.unicode() > '9')
                return false;
            entry.state = c.unicode() - '0';
            break;
        }
    }
    return true;
}

QString flag(const QString& value)
{
    return value == True ? True : False;
}

} // namespace

bool ButtonEntry::operator==(const ButtonEntry& other) const
{
    return program == other.program && icon == other.icon && title == other.title && state == other.state;
}

bool Config::operator==(const Config& other) const
{
    return x == other.x && y == other.y && autoLaunch == other.autoLaunch && onTop == other.onTop &&
           iconMove == other.iconMove && toolTip == other.toolTip && extractIcon == other.extractIcon &&
           graphicMode == other.graphicMode && align == other.align &&
           iconMovingValue == other.iconMovingValue && maskColor == other.maskColor &&
           skinUp == other.skinUp && skinDown == other.skinDown && skinMask == other.skinMask &&
           entries == other.entries;
}

QString ReadError::message(int lang) const
{
    const bool french = lang == 0;
    const QString name = QDir::toNativeSeparators(file);
    if (problem == ReadProblem::CannotOpen || line <= 0) {
        return french ? QStringLiteral("Le fichier %1 ne peut pas être lu.").arg(name)
                      : QStringLiteral("The file %1 cannot be read.").arg(name);
    }
    QString expected;
    switch (problem) {
    case ReadProblem::TooShort:
        expected = french ? QStringLiteral("une ligne de réglage (le fichier s'arrête avant la ligne 13)")
                          : QStringLiteral("a setting line (the file ends before line 13)");
        break;
    case ReadProblem::Position:
        expected = french ? QStringLiteral("la position en deux nombres entiers séparés par une espace, par "
                                           "exemple 120 0")
                          : QStringLiteral("the position as two whole numbers separated by a space, for "
                                           "example 120 0");
        break;
    case ReadProblem::IconMoving:
        expected = french ? QStringLiteral("le déplacement de l'icône, un nombre entier de -32768 à 32767")
                          : QStringLiteral("the icon movement, a whole number from -32768 to 32767");
        break;
    case ReadProblem::MaskColor:
        expected = french ? QStringLiteral("la couleur de masque, un nombre entier")
                          : QStringLiteral("the mask colour, a whole number");
        break;
    case ReadProblem::WindowState:
        expected = french
                       ? QStringLiteral("un chiffre d'état de fenêtre (1, 2 ou 3) après le troisième « ; »")
                       : QStringLiteral("a window state digit (1, 2 or 3) after the third \";\"");
        break;
    case ReadProblem::None:
    case ReadProblem::CannotOpen:
        break;
    }
    // In one pass: a path holding "%2" or the like is not taken for a place of the line or reason.
    const QString number = QString::number(line);
    return french ? QStringLiteral("%1, ligne %2 : on attendait %3.").arg(name, number, expected)
                  : QStringLiteral("%1, line %2: expected %3.").arg(name, number, expected);
}

QString decode(const QByteArray& bytes)
{
    // Editors that save as "Unicode" write UTF-16 (or UTF-32) behind its byte order mark: read as
    // 8-bit text, every line of such a file would hold a NUL between its characters.
    if (const auto encoding = QStringConverter::encodingForData(bytes);
        encoding && *encoding != QStringConverter::Utf8) {
        QStringDecoder unicode(*encoding, QStringDecoder::Flag::Stateless);
        const QString text = unicode.decode(bytes);
        if (!unicode.hasError())
            return text;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return fromWindows1252(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

ReadResult parse(const QString& text, const QString& fileName)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    // Every line ends with a line break, the last one too: what follows the last break is no line.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    // Blank lines at the end are left over from hand editing; they are not buttons. The thirteen
    // lines of position and settings stay, empty or not (an empty mask path is a valid setting).
    while (lines.size() > SettingsLines && lines.constLast().trimmed().isEmpty())
        lines.removeLast();
    if (lines.size() < SettingsLines)
        return failure(fileName, static_cast<int>(lines.size()) + 1, ReadProblem::TooShort);

    Config config;
    if (!parsePosition(lines.at(0), config.x, config.y))
        return failure(fileName, 1, ReadProblem::Position);
    config.autoLaunch = lines.at(1);
    config.onTop = lines.at(2);
    config.iconMove = lines.at(3);
    config.toolTip = lines.at(4);
    config.extractIcon = lines.at(5);
    config.graphicMode = lines.at(6);
    config.align = lines.at(7);
    const auto moving = toNumber(lines.at(8), -32768, 32767);
    if (!moving)
        return failure(fileName, 9, ReadProblem::IconMoving);
    config.iconMovingValue = static_cast<qint16>(*moving);
    const auto mask = toNumber(lines.at(9), -2147483648LL, 4294967295LL);
    if (!mask)
        return failure(fileName, 10, ReadProblem::MaskColor);
    config.maskColor = *mask;
    config.skinUp = lines.at(10);
    config.skinDown = lines.at(11);
    config.skinMask = lines.at(12);
    for (int i = SettingsLines; i < lines.size(); ++i) {
        ButtonEntry entry;
        if (!parseEntry(lines.at(i), entry))
            return failure(fileName, i + 1, ReadProblem::WindowState);
        config.entries.append(entry);
    }
    ReadResult result;
    result.config = std::move(config);
    return result;
}

ReadResult read(const QString& path)
{
    // Only a file: opening a pipe would wait for a writer, and a device may have no end.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() > MaxFileBytes)
        return failure(path, 0, ReadProblem::CannotOpen);
    // Read to its end, in pieces: a buffer of the largest size allowed would be taken for a file of a
    // few lines, and the size found at opening is no promise (the file may grow while it is read).
    QByteArray bytes;
    bytes.reserve(file.size());
    while (bytes.size() <= MaxFileBytes) {
        const QByteArray piece = file.read(std::min<qint64>(ReadPieceBytes, MaxFileBytes + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (bytes.size() > MaxFileBytes || file.error() != QFileDevice::NoError)
        return failure(path, 0, ReadProblem::CannotOpen);
    return parse(decode(bytes), path);
}

QStringList format(const Config& config)
{
    QStringList lines;
    lines << QStringLiteral("%1 %2").arg(config.x).arg(config.y) << flag(config.autoLaunch)
          << flag(config.onTop) << flag(config.iconMove) << flag(config.toolTip) << flag(config.extractIcon)
          << flag(config.graphicMode) << (config.align == Horizontal ? Horizontal : Vertical)
          << QString::number(config.iconMovingValue) << QString::number(config.maskColor) << config.skinUp
          << config.skinDown << config.skinMask;
    for (const ButtonEntry& entry : config.entries) {
        lines << entry.program + QLatin1Char(';') + entry.icon + QLatin1Char(';') + entry.title +
                     QLatin1Char(';') + QString::number(entry.state);
    }
    return lines;
}

QByteArray encode(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

bool write(const QString& folder, const QStringList& lines, QString* error)
{
    const QString tempPath = QDir(folder).filePath(QString::fromLatin1(TempFileName));
    const QString finalPath = QDir(folder).filePath(QString::fromLatin1(FileName));
    auto fail = [&](const QString& why) {
        if (error != nullptr)
            *error = why;
        QFile::remove(tempPath);
        return false;
    };

    // A line break inside a line would make the file read back as other lines than were written.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).contains(QLatin1Char('\n')) || lines.at(i).contains(QLatin1Char('\r')))
            return fail(QStringLiteral("line %1 holds a line break").arg(i + 1));
    }

    // The temporary file is itself put in place whole and on disk (written under a name of its own,
    // synced, renamed): after a power cut either name holds a complete file, never an empty one.
    // It is made anew: one left read-only would refuse the save, a link would be written through.
    QFile::remove(tempPath);
    QSaveFile temp(tempPath);
    if (!temp.open(QIODevice::WriteOnly))
        return fail(temp.errorString());
    const QByteArray bytes = encode(lines);
    if (temp.write(bytes) != bytes.size()) {
        const QString why = temp.errorString();
        temp.cancelWriting();
        return fail(why);
    }
    if (!temp.commit())
        return fail(temp.errorString());

    // A configuration kept elsewhere through a link is written there, and the link stays. The new
    // file keeps the old one's permissions: a file the user made private stays private.
    // Links are followed to the end, as far as the system itself would follow them.
    QString destination = finalPath;
    for (int hops = 0; QFileInfo(destination).isSymLink(); ++hops) {
        if (hops == 40)
            return fail(
                QStringLiteral("%1: too many levels of links").arg(QDir::toNativeSeparators(finalPath)));
        destination = QFileInfo(destination).symLinkTarget();
    }
    if (QFileInfo::exists(destination))
        QFile::setPermissions(tempPath, QFile::permissions(destination));

    // One rename puts the new file in place of the old one, read-only or not: there is always a
    // complete DoviConfig.txt on disk.
    std::error_code code;
    std::filesystem::rename(std::filesystem::path(tempPath.toStdU16String()),
                            std::filesystem::path(destination.toStdU16String()), code);
    if (code == std::errc::cross_device_link) {
        // A link into another file system: the file is put in place whole on that side.
        QSaveFile there(destination);
        if (!there.open(QIODevice::WriteOnly) || there.write(bytes) != bytes.size() || !there.commit())
            return fail(there.errorString());
        QFile::remove(tempPath);
        return true;
    }
    if (code)
        return fail(QString::fromStdString(code.message()));
    return true;
}

} // namespace configfile
