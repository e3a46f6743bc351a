#include "bar/configfile.h"

namespace configfile {

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

QString ReadError::message() const
{
    return {};
}

QString decode(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes);
}

ReadResult parse(const QString&, const QString& fileName)
{
    ReadResult result;
    result.error = {fileName, 0, QStringLiteral("not implemented")};
    return result;
}

ReadResult read(const QString& path)
{
    return parse({}, path);
}

QStringList format(const Config&)
{
    return {};
}

QByteArray encode(const QStringList&)
{
    return {};
}

bool write(const QString&, const QStringList&, QString*)
{
    return false;
}

} // namespace configfile
