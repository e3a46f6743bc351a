#pragma once

#include "platform/pictureloader.h"

namespace platform {

class QtPictureLoader final : public PictureLoader {
public:
    LoadedPicture load(const QString& path) const override;
};

} // namespace platform
