#pragma once

#include "platform/iconprovider.h"

namespace platform {

class XdgIconProvider final : public IconProvider {
public:
    QPixmap iconFor(const QString& path, int sizePixels) const override;
};

} // namespace platform
