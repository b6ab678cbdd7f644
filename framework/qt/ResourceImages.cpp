#include "ResourceImages.h"

#include "res/ResourceTypes.h"

namespace res {

QPixmap LoadBitmap(int nId)
{
    const char* pszPath = ImagePath(nId);
    return pszPath != nullptr ? QPixmap(QString::fromUtf8(pszPath)) : QPixmap();
}

QIcon LoadIcon(int nId) { return QIcon(LoadBitmap(nId)); }

QCursor LoadCursor(int nId)
{
    const QPixmap pixmap = LoadBitmap(nId);
    if (pixmap.isNull())
        return QCursor(Qt::PointingHandCursor);
    int x = 0;
    int y = 0;
    CursorHotSpot(nId, x, y);
    return QCursor(pixmap, x, y);
}

} // namespace res
