#pragma once
// The images of the resource tables as Qt objects.

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace res {

QPixmap LoadBitmap(int nId);
QIcon LoadIcon(int nId);
QCursor LoadCursor(int nId);

} // namespace res
