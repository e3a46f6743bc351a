#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// DoviConfig.txt: the bar position, twelve bar-wide settings and one line per button.
namespace configfile {

inline constexpr const char* FileName = "DoviConfig.txt";
inline constexpr const char* TempFileName = "tmpconfig.txt";
// The configuration a first launch found and replaced.
inline constexpr const char* KeptFileName = "DoviConfig.old.txt";

// One button line: program;icon;title;state
struct ButtonEntry {
    QString program;
    QString icon;
    QString title;
    int state = 0; // 1 normal, 2 minimized, 3 maximized; 0 when the field is empty

    bool operator==(const ButtonEntry& other) const;
};

struct Config {
    int x = 0; // line 1, pixels
    int y = 0;
    // Lines 2 to 8 as they stand in the file ("TRUE" is case-sensitive; anything else counts as false).
    QString autoLaunch;
    QString onTop;
    QString iconMove;
    QString toolTip;
    QString extractIcon;
    QString graphicMode;
    QString align;
    qint16 iconMovingValue = 0; // line 9
    qint64 maskColor = 0;       // line 10, RGB with red in the low byte
    QString skinUp;             // line 11
    QString skinDown;           // line 12
    QString skinMask;           // line 13
    QList<ButtonEntry> entries; // lines 14 and on, in file order

    bool operator==(const Config& other) const;
};

// What was wrong in a file that could not be read.
enum class ReadProblem {
    None,
    CannotOpen,  // missing, unreadable or far too large
    TooShort,    // ends before the thirteen lines of position and settings
    Position,    // line 1 is not two whole numbers separated by one space
    IconMoving,  // line 9 is not a 16-bit whole number
    MaskColor,   // line 10 is not a 32-bit whole number
    WindowState, // a character after the third ";" of a button line is not a digit
};

// Why a file could not be read: which file, which line (1-based, 0 for the whole file) and what was expected.
struct ReadError {
    QString file;
    int line = 0;
    ReadProblem problem = ReadProblem::None;
    // The text shown to the user, in French when lang is 0, otherwise in English.
    QString message(int lang) const;
};

struct ReadResult {
    std::optional<Config> config;
    ReadError error;
    bool ok() const { return config.has_value(); }
};

// Text of a file: UTF-16 or UTF-32 behind a byte order mark, else UTF-8 when valid, otherwise
// Windows-1252; CR LF and LF alike.
QString decode(const QByteArray& bytes);

// Parses the text of a file; fileName only names it in errors.
ReadResult parse(const QString& text, const QString& fileName);
ReadResult read(const QString& path);

// The lines of a file in the exact format; booleans written "TRUE"/"FALSE", orientation
// "HORIZONTAL" when it is exactly that, otherwise "VERTICAL".
QStringList format(const Config& config);
// UTF-8 bytes, every line ended by CR LF, the last one too.
QByteArray encode(const QStringList& lines);

// Writes lines to <folder>/tmpconfig.txt, then puts it in place of <folder>/DoviConfig.txt in one
// step (a read-only old file is replaced too). On failure the old file is untouched and error says why.
bool write(const QString& folder, const QStringList& lines, QString* error = nullptr);

} // namespace configfile
