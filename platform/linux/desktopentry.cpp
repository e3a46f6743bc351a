#include "platform/linux/desktopentry.h"

namespace platform::desktopentry {

namespace {

bool isReserved(QChar ch)
{
    return QStringView(u" \t\n\"'\\><~|&;$*?#()`").contains(ch);
}

bool escapedInQuotes(QChar ch)
{
    return ch == QLatin1Char('"') || ch == QLatin1Char('`') || ch == QLatin1Char('$') ||
           ch == QLatin1Char('\\');
}

} // namespace

QString quoteArgument(const QString& argument)
{
    bool needsQuotes = argument.isEmpty();
    for (const QChar ch : argument)
        needsQuotes = needsQuotes || isReserved(ch);
    if (!needsQuotes)
        return argument;
    QString quoted = QStringLiteral("\"");
    for (const QChar ch : argument) {
        if (escapedInQuotes(ch))
            quoted += QLatin1Char('\\');
        quoted += ch;
    }
    quoted += QLatin1Char('"');
    return quoted;
}

QString execValue(const QStringList& arguments)
{
    QStringList parts;
    for (const QString& argument : arguments) {
        QString part = quoteArgument(argument);
        part.replace(QLatin1Char('%'), QLatin1String("%%"));
        parts.append(part);
    }
    return escapeString(parts.join(QLatin1Char(' ')));
}

std::optional<QStringList> parseExec(const QString& value)
{
    const QString line = unescapeString(value);
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool inQuotes = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar ch = line.at(i);
        if (ch == QLatin1Char('%')) {
            if (i + 1 >= line.size())
                return std::nullopt;
            const QChar code = line.at(++i);
            if (code == QLatin1Char('%')) {
                current += code;
                inArgument = true;
            }
            // Any other field code stands for what the launcher fills in: nothing here.
            continue;
        }
        if (inQuotes) {
            if (ch == QLatin1Char('"')) {
                inQuotes = false;
            } else if (ch == QLatin1Char('\\') && i + 1 < line.size() && escapedInQuotes(line.at(i + 1))) {
                current += line.at(++i);
            } else {
                current += ch;
            }
            continue;
        }
        if (ch == QLatin1Char(' ') || ch == QLatin1Char('\t')) {
            if (inArgument)
                arguments.append(current);
            current.clear();
            inArgument = false;
        } else if (ch == QLatin1Char('"')) {
            inQuotes = true;
            inArgument = true;
        } else {
            current += ch;
            inArgument = true;
        }
    }
    if (inQuotes)
        return std::nullopt;
    if (inArgument)
        arguments.append(current);
    return arguments;
}

QString escapeString(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == QLatin1Char('\\'))
            escaped += QLatin1String("\\\\");
        else if (ch == QLatin1Char('\n'))
            escaped += QLatin1String("\\n");
        else if (ch == QLatin1Char('\t'))
            escaped += QLatin1String("\\t");
        else if (ch == QLatin1Char('\r'))
            escaped += QLatin1String("\\r");
        else if (ch == QLatin1Char(' ') && i == 0)
            escaped += QLatin1String("\\s");
        else
            escaped += ch;
    }
    return escaped;
}

QString unescapeString(const QString& value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar ch = value.at(i);
        if (ch != QLatin1Char('\\') || i + 1 >= value.size()) {
            text += ch;
            continue;
        }
        const QChar next = value.at(++i);
        if (next == QLatin1Char('s'))
            text += QLatin1Char(' ');
        else if (next == QLatin1Char('n'))
            text += QLatin1Char('\n');
        else if (next == QLatin1Char('t'))
            text += QLatin1Char('\t');
        else if (next == QLatin1Char('r'))
            text += QLatin1Char('\r');
        else if (next == QLatin1Char('\\'))
            text += QLatin1Char('\\');
        else {
            // Not a string escape: left for the Exec= quoting rules to read.
            text += ch;
            text += next;
        }
    }
    return text;
}

namespace {

// The value of key in the [Desktop Entry] group, as written in the file (escapes not applied).
QString rawEntryValue(const QString& fileText, const QString& key)
{
    bool inEntry = false;
    const QStringList lines = fileText.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line.trimmed() == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || line.left(eq).trimmed() != key)
            continue;
        return line.mid(eq + 1).trimmed();
    }
    return {};
}

} // namespace

QString entryValue(const QString& fileText, const QString& key)
{
    return unescapeString(rawEntryValue(fileText, key));
}

std::optional<Command> applicationCommand(const QString& fileText)
{
    if (entryValue(fileText, QStringLiteral("Type")) != QLatin1String("Application"))
        return std::nullopt;
    // The Exec= value goes to its own reader as written: its quoting comes after the string escapes.
    std::optional<QStringList> arguments = parseExec(rawEntryValue(fileText, QStringLiteral("Exec")));
    if (!arguments || arguments->isEmpty() || arguments->constFirst().isEmpty())
        return std::nullopt;
    return Command{std::move(*arguments), entryValue(fileText, QStringLiteral("Path")),
                   entryValue(fileText, QStringLiteral("Terminal")) == QLatin1String("true")};
}

} // namespace platform::desktopentry
