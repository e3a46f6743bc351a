#pragma once

#include "platform/export.h"
#include "platform/iconprovider.h"

#include <QIcon>

namespace platform {

// Icons from the desktop's icon theme by MIME type, the Icon= of .desktop files, and Qt's file
// icons as the last resort. Adwaita serves as fallback theme when the desktop names none.
class DOVI_PLATFORM_EXPORT XdgIconProvider final : public IconProvider {
public:
    QPixmap iconFor(const QString& path, int sizePixels) const override;
    // An application entry (.desktop) by its Name=.
    // An entry's Name[fr] or Name[en], else its Name=.
    QString nameFor(const QString& path, int lang) const override;

    // The icon before it is turned into a picture; null when the path names nothing.
    QIcon iconForPath(const QString& path) const;

private:
    // Done on first use, once the application (and its platform theme) exists.
    void ensureTheme() const;
    mutable bool m_themeChecked = false;
};

} // namespace platform
