#include "pictures/picture.h"

namespace velmora {

Picture MakePicture(int width, int height, QColor fill) {
    if (width < 1 || height < 1)
        return {};
    Picture picture(width, height, kPictureFormat);
    if (!picture.isNull())
        picture.fill(fill);
    return picture;
}

Picture ToPicture(const QImage &image) {
    if (image.isNull() || image.format() == kPictureFormat)
        return image;
    return image.convertToFormat(kPictureFormat);
}

void ConvertToPicture(QImage &image) {
    if (!image.isNull() && image.format() != kPictureFormat)
        image.convertTo(kPictureFormat);
}

} // namespace velmora
