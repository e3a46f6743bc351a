#pragma once

#include "bar/configfile.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class frmMain;

// What is dropped on the bar: files, folders, addresses and applications' entries become buttons,
// and a button dragged along the bar moves. Every change is saved as the preferences save.
namespace droppedlaunchers {

// Where a drop at `at` lands among buttons laid out in a row ("HORIZONTAL") or a column
// ("VERTICAL"): the index (0..n) of the button it goes before, n for the end. Any other
// orientation piles the buttons up at the corner: a drop goes to the end.
int dropSlot(const QString& align, const QList<QRectF>& buttons, const QPointF& at);

// A text as a button's title: no ";" (the file's separator) nor line break, blanks folded.
QString titleText(const QString& text);

// The applications folders of the desktop: $XDG_DATA_HOME/applications (default
// ~/.local/share/applications) and those of $XDG_DATA_DIRS (default /usr/local/share:/usr/share).
QStringList applicationFolders(const QString& dataHome, const QString& dataDirs, const QString& home);
// The same from the environment.
QStringList applicationFolders();

// What one dropped item is.
struct Launcher {
    enum class Kind {
        Refused,   // not an existing file or folder, nor an address
        Untrusted, // an entry outside the applications folders that is not marked executable
        File,
        Folder,
        Entry,
        Address,
    };
    Kind kind = Kind::Refused;
    configfile::ButtonEntry entry; // the button line it makes (state 1, no icon file)
    QString shown;                 // how the item is named to the user
};

// Reads a dropped item: a local file, folder or .desktop entry, or an address. The title comes
// from the entry's Name= in the language, else the file or folder name, else the address's host.
Launcher launcherFor(const QUrl& url, int lang, const QStringList& applicationFolders);

// The entries with a button moved from index `from` to where slot points (as dropSlot counts); no
// value when nothing moves.
std::optional<QList<configfile::ButtonEntry>> moved(const QList<configfile::ButtonEntry>& entries, int from,
                                                    int slot);

// Whether the bar takes a drop now: not while its preferences or another of its dialogs are open,
// nor while it is being laid out.
bool takesDrops(frmMain& bar);
// Whether every item of a drop is a file, folder, address or entry (trusted or not).
bool acceptable(const QList<QUrl>& urls);

// Adds a button per item before the button at slot (the end when slot is the count), in their
// order, saves the file and lays the bar out again. An item that cannot become a button (an
// untrusted entry) or a file that cannot be written is told, and nothing changes.
void addDropped(frmMain& bar, const QList<QUrl>& urls, int slot);
// Moves the button at index (1-based) to slot, saves and lays out again.
void moveButton(frmMain& bar, int index, int slot);

} // namespace droppedlaunchers
